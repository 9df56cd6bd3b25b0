// The real window, started offscreen: every model control has its widget,
// named after it and showing what the model holds.

#include "app/mainwindow.h"
#include "gui/windowview.h"

#include "fakeplatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace softswitch::gui {
namespace {

QString latin1(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

struct WindowViewTest : ::testing::Test {
    testing::FakePlatform fakes;
    MainWindow window{fakes.platform()};
    Form1& form = window.form();
    std::unique_ptr<WindowView> view;

    void SetUp() override
    {
        ASSERT_TRUE(window.load());
        view = std::make_unique<WindowView>(window);
        view->show();
    }

    template <typename W>
    W* widget(const std::string& name)
    {
        return view->findChild<W*>(QString::fromStdString(name));
    }

    // Compares every widget with its control.
    void expectWidgetsMatchTheModel()
    {
        for (const Control* control : form.controls()) {
            if (control->kind() == ControlKind::Timer)
                continue;
            QWidget* w = view->findChild<QWidget*>(QString::fromStdString(control->name()));
            ASSERT_NE(w, nullptr) << "no widget named " << control->name();
            EXPECT_EQ(w, view->widgetFor(*control)) << control->name();
            EXPECT_EQ(w->testAttribute(Qt::WA_ForceDisabled), !control->enabled()) << control->name();
            EXPECT_EQ(w->isHidden(), !control->Visible) << control->name();
            switch (control->kind()) {
            case ControlKind::Label:
                EXPECT_EQ(qobject_cast<QLabel*>(w)->text(), latin1(control->caption())) << control->name();
                break;
            case ControlKind::Button:
                EXPECT_EQ(qobject_cast<QAbstractButton*>(w)->text(), latin1(control->caption())) << control->name();
                break;
            case ControlKind::Option: {
                auto* radio = qobject_cast<QAbstractButton*>(w);
                EXPECT_EQ(radio->text(), latin1(control->caption())) << control->name();
                EXPECT_EQ(radio->isChecked(), control->value()) << control->name();
                EXPECT_EQ(radio->font().bold(), control->FontBold) << control->name();
                break;
            }
            case ControlKind::Combo: {
                auto* box = qobject_cast<QComboBox*>(w);
                ASSERT_EQ(box->count(), static_cast<int>(control->list.size())) << control->name();
                for (int i = 0; i < box->count(); ++i)
                    EXPECT_EQ(box->itemText(i), latin1(control->list[static_cast<std::size_t>(i)])) << control->name();
                EXPECT_EQ(box->currentText(), latin1(control->Text)) << control->name();
                break;
            }
            case ControlKind::TextBox:
                if (auto* edit = qobject_cast<QLineEdit*>(w))
                    EXPECT_EQ(edit->text(), latin1(control->Text)) << control->name();
                else
                    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(w)->toPlainText(), latin1(control->Text));
                break;
            case ControlKind::Frame:
                EXPECT_EQ(qobject_cast<QGroupBox*>(w)->title(), latin1(control->caption())) << control->name();
                break;
            case ControlKind::TabControl: {
                auto* tabs = qobject_cast<QTabWidget*>(w);
                ASSERT_EQ(tabs->count(), 7);
                for (int i = 0; i < 7; ++i)
                    EXPECT_EQ(tabs->tabText(i), latin1(control->tabCaptions[static_cast<std::size_t>(i)]));
                EXPECT_EQ(tabs->currentIndex(), control->tab());
                break;
            }
            case ControlKind::Timer:
                break;
            }
        }
    }
};

TEST_F(WindowViewTest, StartStateMatchesTheModel)
{
    EXPECT_EQ(view->windowTitle(), QString("Soft Switch Utility 1.0.0"));
    expectWidgetsMatchTheModel();
    EXPECT_TRUE(widget<QTabWidget>("SSTab1")->isHidden());
    EXPECT_TRUE(widget<QGroupBox>("frameTCPIP")->isHidden());
    EXPECT_FALSE(widget<QAbstractButton>("cmd2")->isEnabled());
}

TEST_F(WindowViewTest, PickingAPortInTheListSwitchesTheFrames)
{
    auto* ports = widget<QComboBox>("Combo1");
    ports->setCurrentIndex(0);
    emit ports->activated(0); // the user chose "TCP/IP"
    EXPECT_EQ(window.state().PortName, "TCP/IP");
    EXPECT_TRUE(widget<QGroupBox>("frameCOMm")->isHidden());
    EXPECT_FALSE(widget<QGroupBox>("frameTCPIP")->isHidden());
    expectWidgetsMatchTheModel();
}

TEST_F(WindowViewTest, RadioClicksGoThroughTheModelAndKeepRowsExclusive)
{
    widget<QAbstractButton>("com_BR_19200")->click();
    EXPECT_TRUE(form.com_BR_19200.value());
    EXPECT_FALSE(form.com_BR_115200.value());
    EXPECT_FALSE(widget<QAbstractButton>("com_BR_115200")->isChecked());
    EXPECT_TRUE(widget<QAbstractButton>("com_HS_HW")->isChecked());
}

TEST_F(WindowViewTest, TypingIntoTextBoxesReachesTheModel)
{
    form.Combo1.setText("TCP/IP");
    window.click(form.Combo1);
    view->refresh();
    auto* address = widget<QLineEdit>("tcpIP");
    address->selectAll();
    address->insert("127.0.0.1"); // as typed: textEdited fires
    EXPECT_EQ(form.tcpIP.Text, "127.0.0.1");
}

TEST_F(WindowViewTest, ButtonsRunTheirHandlers)
{
    widget<QAbstractButton>("cmdHELP")->click();
    EXPECT_EQ(fakes.shell.launched, (std::vector<std::string>{"NotePad.exe KR_SW_Help.txt"}));
    widget<QAbstractButton>("cmdEXIT")->click();
    EXPECT_TRUE(window.ended());
    EXPECT_FALSE(view->isVisible());
}

TEST_F(WindowViewTest, ModelChangesShowAfterARefresh)
{
    form.SSTab1.Visible = true;
    form.lblKR_INFO[0].setCaption("KR-5050");
    form.txtSTATUS.Text = "Connected";
    form.txtSTATUS.ForeColor = 0x0000C0;
    form.optSW3OFF[2].setValue(true);
    form.optSW3OFF[2].FontBold = true;
    form.txtLOG.Text = "getSW1-->30";
    view->refresh();
    expectWidgetsMatchTheModel();
    EXPECT_EQ(widget<QLineEdit>("txtSTATUS")->palette().color(QPalette::Text), QColor(0, 0, 192));
}

TEST_F(WindowViewTest, TabsSitInOneRow)
{
    form.SSTab1.Visible = true;
    view->refresh();
    auto* tabs = widget<QTabWidget>("SSTab1");
    const QRect first = tabs->tabBar()->tabRect(0);
    const QRect last = tabs->tabBar()->tabRect(6);
    EXPECT_EQ(first.top(), last.top());
}

TEST_F(WindowViewTest, ClosingTheWindowUnloadsTheModel)
{
    view->close();
    EXPECT_TRUE(window.ended());
    EXPECT_EQ(fakes.shell.ends, 0);
}

} // namespace
} // namespace softswitch::gui

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
