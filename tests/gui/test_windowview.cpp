// The real window, started offscreen: every model control has its widget,
// named after it and showing what the model holds; user actions reach the model.

#include "app/mainwindow.h"
#include "gui/guiplatform.h"
#include "gui/windowview.h"

#include "scriptedprinter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace softswitch::gui {
namespace {

QString latin1(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

template <typename W>
W* named(const QWidget& window, const std::string& name) { return window.findChild<W*>(QString::fromStdString(name)); }

struct WindowViewTest : ::testing::Test {
    testing::ScriptedPrinter printer; // a KR-5050 on COM1
    testing::FakePlatform& fakes = printer.fakes;
    MainWindow& window = printer.window;
    Form1& form = window.form();
    std::unique_ptr<WindowView> view;

    void SetUp() override
    {
        form.lblKR_INFO[0].setCaption(" "); // as at start: the test reads the model
        view = std::make_unique<WindowView>(window);
        view->show();
    }
    template <typename W>
    W* widget(const std::string& name) { return named<W>(*view, name); }

    // The text a widget shows for its control: caption, entry, text or title.
    static QString shown(QWidget* w)
    {
        if (auto* label = qobject_cast<QLabel*>(w))
            return label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            return button->text();
        if (auto* box = qobject_cast<QComboBox*>(w))
            return box->currentText();
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            return edit->text();
        if (auto* text = qobject_cast<QPlainTextEdit*>(w))
            return text->toPlainText();
        return qobject_cast<QGroupBox*>(w)->title();
    }
    void expectWidgetsMatchTheModel()
    {
        for (const Control* c : form.controls()) {
            if (c->kind() == ControlKind::Timer)
                continue;
            QWidget* w = view->findChild<QWidget*>(QString::fromStdString(c->name()));
            ASSERT_NE(w, nullptr) << "no widget named " << c->name();
            EXPECT_EQ(w, view->widgetFor(*c)) << c->name();
            EXPECT_EQ(w->testAttribute(Qt::WA_ForceDisabled), !c->enabled()) << c->name();
            EXPECT_EQ(w->isHidden(), !c->Visible) << c->name();
            if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
                ASSERT_EQ(tabs->count(), 7);
                for (int i = 0; i < 7; ++i)
                    EXPECT_EQ(tabs->tabText(i), latin1(c->tabCaptions[static_cast<std::size_t>(i)]));
                EXPECT_EQ(tabs->currentIndex(), c->tab());
                continue;
            }
            const bool text = c->kind() == ControlKind::Combo || c->kind() == ControlKind::TextBox;
            // Texts keep CR LF; the log and labels break their lines at it.
            EXPECT_EQ(shown(w).replace("\r\n", "\n"), latin1(text ? c->Text : c->caption()).replace("\r\n", "\n"))
                << c->name();
            if (auto* box = qobject_cast<QComboBox*>(w)) {
                ASSERT_EQ(box->count(), static_cast<int>(c->list.size())) << c->name();
                for (int i = 0; i < box->count(); ++i)
                    EXPECT_EQ(box->itemText(i), latin1(c->list[static_cast<std::size_t>(i)])) << c->name();
            }
            if (c->kind() == ControlKind::Option) {
                auto* radio = qobject_cast<QAbstractButton*>(w);
                EXPECT_EQ(radio->isChecked(), c->value()) << c->name();
                EXPECT_EQ(radio->font().bold(), c->FontBold) << c->name();
            }
        }
    }
};

TEST_F(WindowViewTest, TheStartStateAndEveryTabAfterACommunicationTestMirrorTheModel)
{
    EXPECT_EQ(view->windowTitle(), QString("Soft Switch Utility 1.0.0"));
    expectWidgetsMatchTheModel();
    printer.queue("sw2", "37");
    widget<QAbstractButton>("cmdCommunicate")->click();
    ASSERT_TRUE(form.SSTab1.Visible);
    auto* tabs = widget<QTabWidget>("SSTab1");
    for (int tab = 0; tab < tabs->count(); ++tab) {
        SCOPED_TRACE(tab);
        tabs->setCurrentIndex(tab);
        EXPECT_EQ(form.SSTab1.tab(), tab);
        expectWidgetsMatchTheModel();
    }
    form.txtSTATUS.ForeColor = 0x0000C0;
    view->refresh();
    EXPECT_EQ(widget<QLineEdit>("txtSTATUS")->palette().color(QPalette::Text), QColor(0, 0, 192));
    tabs->setCurrentIndex(2);
    widget<QAbstractButton>("cmd1")->click();
    EXPECT_EQ(view->focusWidget(), widget<QWidget>("cmd1")) << "Read Settings gives its button the focus";
}

TEST_F(WindowViewTest, UserActionsGoThroughTheModel)
{
    widget<QAbstractButton>("com_BR_19200")->click();
    EXPECT_TRUE(form.com_BR_19200.value());
    EXPECT_FALSE(widget<QAbstractButton>("com_BR_115200")->isChecked());
    EXPECT_TRUE(widget<QAbstractButton>("com_HS_HW")->isChecked());

    auto* ports = widget<QComboBox>("Combo1");
    ports->setCurrentIndex(0);
    emit ports->activated(0); // the user chose "TCP/IP"
    EXPECT_EQ(window.state().PortName, "TCP/IP");
    EXPECT_TRUE(widget<QGroupBox>("frameCOMm")->isHidden());
    EXPECT_FALSE(widget<QGroupBox>("frameTCPIP")->isHidden());

    auto* address = widget<QLineEdit>("tcpIP");
    address->selectAll();
    address->insert("127.0.0.1"); // as typed: textEdited fires
    EXPECT_EQ(form.tcpIP.Text, "127.0.0.1");
    // The serial settings are hidden now: a click that reaches a widget
    // before the view caught up goes no further than the view.
    widget<QAbstractButton>("com_BR_9600")->click();
    EXPECT_TRUE(form.com_BR_19200.value());

    widget<QAbstractButton>("cmdHELP")->click();
    EXPECT_EQ(fakes.shell.launched, (std::vector<std::string>{"NotePad.exe KR_SW_Help.txt"}));
    widget<QAbstractButton>("cmdEXIT")->click();
    EXPECT_TRUE(window.ended());
    EXPECT_FALSE(view->isVisible());
}

// The port list and its label stay where a second click finds them whatever
// port is chosen, and the window has one size from its first paint on, on
// every tab. The model lives on the stack as in the program, so its control
// arrays' items (on the heap) lie below its own controls: the window must lay
// itself out from the final captions whatever order it meets its controls in.
// SOFTSWITCH_SHOTS=DIR also saves the pictures of the README's install notes.
TEST(WindowGeometryTest, TheGeometryStaysPutWhateverThePortAndTab)
{
    testing::ScriptedPrinter printer; // a KR-5050 on COM1
    Form1& form = printer.form;
    form.lblKR_INFO[0].setCaption(" "); // as at start
    WindowView window(printer.window);
    WindowView* const view = &window;
    view->show();
    const QString shots = qEnvironmentVariable("SOFTSWITCH_SHOTS");
    const auto settle = [view] {
        QApplication::processEvents();
        view->layout()->activate();
    };
    settle();
    const QSize windowSize = view->size();
    auto* ports = named<QComboBox>(*view, "Combo1");
    auto* caption = named<QLabel>(*view, "lblPORT");
    const QRect listPlace = ports->geometry();
    const QRect captionPlace = caption->geometry();
    for (const char* port : {"USB", "LPT1", "TCP/IP", "COM1"}) {
        SCOPED_TRACE(port);
        const int index = ports->findText(port);
        ASSERT_GE(index, 0);
        ports->setCurrentIndex(index);
        emit ports->activated(index);
        settle();
        EXPECT_EQ(ports->geometry(), listPlace);
        EXPECT_EQ(caption->geometry(), captionPlace);
        EXPECT_EQ(view->size(), windowSize);
        if (!shots.isEmpty() && (port == std::string("USB") || port == std::string("COM1")))
            view->grab().save(shots + "/port-" + QString(port).toLower() + ".png");
    }
    printer.queue("sw2", "37");
    named<QAbstractButton>(*view, "cmdCommunicate")->click();
    settle();
    const QSize testedSize = view->size(); // the tabs are shown now
    auto* tabs = named<QTabWidget>(*view, "SSTab1");
    for (int tab = 0; tab < tabs->count(); ++tab) {
        SCOPED_TRACE(tab);
        tabs->setCurrentIndex(tab);
        settle();
        EXPECT_EQ(view->size(), testedSize);
        EXPECT_EQ(ports->geometry(), listPlace);
    }
    // Additional Soft_Switch: the lists of all frames start at one left edge,
    // each names itself after its caption, and none is stretched to the frame.
    tabs->setCurrentIndex(5);
    settle();
    if (!shots.isEmpty())
        view->grab().save(shots + "/additional.png");
    const std::pair<const char*, const char*> lists[] = {
        {"comboCodePage", "Select Code Page"}, {"comboInterChars", "International Character Set"},
        {"comboNew8x16", "Select New 8x16 font"}, {"comboTHAI", "Thai 1Pass or 3Pass"}};
    const int left = named<QComboBox>(*view, "comboCodePage")->mapTo(view, QPoint(0, 0)).x();
    for (const auto& [name, accessible] : lists) {
        SCOPED_TRACE(name);
        auto* list = named<QComboBox>(*view, name);
        EXPECT_EQ(list->mapTo(view, QPoint(0, 0)).x(), left);
        EXPECT_EQ(list->accessibleName(), accessible);
        EXPECT_LT(list->width(), list->parentWidget()->width() / 2);
    }
    EXPECT_EQ(named<QLabel>(*view, "Text4")->buddy(), named<QWidget>(*view, "comboCodePage"));
    EXPECT_EQ(ports->accessibleName(), "Printer port selection");
    EXPECT_EQ(named<QLineEdit>(*view, "tcpIP")->accessibleName(), "IP Address");
    // A disabled text box greys its text whatever its colour.
    form.tcpIP.ForeColor = 0x000000;
    form.frameTCPIP.Visible = true;
    form.tcpIP.setEnabled(false);
    view->refresh();
    EXPECT_EQ(named<QLineEdit>(*view, "tcpIP")->palette().color(QPalette::Disabled, QPalette::Text),
              QApplication::palette().color(QPalette::Disabled, QPalette::Text));
}

TEST_F(WindowViewTest, ClosingTheWindowUnloadsTheModel)
{
    view->close();
    EXPECT_TRUE(window.ended());
    EXPECT_EQ(fakes.shell.ends, 0);
}

// HELP hands the help file to the desktop's opener; when the opener fails
// the window is told the file's path. "sh" stands in for the opener here,
// so the help file's text decides how the opener ends.
TEST(GuiShellTest, AnOpenerThatFailsIsToldWithTheFilesPath)
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const std::pair<const char*, bool> rows[] = {{"exit 4\n", true}, {"touch opened\n", false}};
    for (const auto& [helpText, fails] : rows) {
        SCOPED_TRACE(helpText);
        QFile help(dir.filePath("KR_SW_Help.txt"));
        ASSERT_TRUE(help.open(QIODevice::WriteOnly | QIODevice::Truncate));
        help.write(helpText);
        help.close();
        std::vector<std::string> told;
        GuiShell shell([] {}, [&told](const std::string& path) { told.push_back(path); }, "sh");
        ASSERT_TRUE(shell.launch("NotePad.exe KR_SW_Help.txt"));
        QElapsedTimer clock;
        clock.start();
        while (shell.running() > 0 && clock.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(QFile::exists(dir.filePath("opened")), !fails);
        EXPECT_EQ(told, fails ? std::vector<std::string>{QFileInfo(help).absoluteFilePath().toStdString()}
                              : std::vector<std::string>{});
    }
    QDir::setCurrent(previous);
}

} // namespace
} // namespace softswitch::gui

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
