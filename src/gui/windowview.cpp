#include "gui/windowview.h"

#include "gui/logo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace softswitch::gui {

namespace {

QString latin1(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string bytes(const QString& text)
{
    const QByteArray latin = text.toLatin1();
    return {latin.constData(), static_cast<std::size_t>(latin.size())};
}

// The log shows the raw replies: a control character a printer sent (its
// NUL terminator, mostly) appears as \0 or \xNN, lines break at CR LF.
QString shownLog(const std::string& text)
{
    QString shown;
    shown.reserve(static_cast<qsizetype>(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (c == 0)
            shown += QLatin1String("\\0");
        else if (c < 0x20 && c != '\n')
            shown += QString::asprintf("\\x%02X", c);
        else
            shown += QChar(c);
    }
    return shown;
}

QColor colour(std::uint32_t rgb)
{
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// A control the model hides keeps its place: what is around it does not
// move, and the window keeps its size whatever is shown.
void keepPlaceWhenHidden(QWidget* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

// A caption as a screen reader names what it labels: "IP Address: " -> "IP Address".
QString accessibleCaption(const std::string& caption)
{
    QString name = latin1(caption).trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name.trimmed();
}

// Room between a button's text and its border: the style's own margin is
// tight on some styles; a text-height each side reads as a button everywhere.
void padButton(QAbstractButton* button)
{
    const QFontMetrics metrics = button->fontMetrics();
    const int padded = metrics.horizontalAdvance(button->text()) + 2 * metrics.height();
    button->setMinimumWidth(std::max(button->sizeHint().width(), padded));
}

} // namespace

WindowView::WindowView(MainWindow& window) : m_window(window), m_form(window.form())
{
    setObjectName("Form1");
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(buildPortArea());
    layout->addWidget(buildButtons());

    m_tabs = new QTabWidget(central);
    bind(m_form.SSTab1, m_tabs);
    m_tabs->addTab(buildInfoTab(), latin1(m_form.SSTab1.tabCaptions[0]));
    for (int sw = 1; sw <= kSwitchCount; ++sw)
        m_tabs->addTab(buildSwitchTab(m_form.switchTab(sw)), latin1(m_form.SSTab1.tabCaptions.at(static_cast<std::size_t>(sw))));
    m_tabs->addTab(buildLanguageTab(), latin1(m_form.SSTab1.tabCaptions[5]));
    m_tabs->addTab(buildLogTab(), latin1(m_form.SSTab1.tabCaptions[6]));
    m_tabs->tabBar()->setExpanding(false);
    m_tabs->setUsesScrollButtons(false); // one row of tabs, all visible
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (!m_refreshing)
            act(m_form.SSTab1, [this, index] { return m_window.selectTab(index); });
    });
    layout->addWidget(m_tabs, 1);
    setCentralWidget(central);

    // A frame's depth is below that of what it holds: refresh() shows the
    // contents before the frame.
    const auto depth = [](const QWidget* widget) {
        int levels = 0;
        for (; widget; widget = widget->parentWidget())
            ++levels;
        return levels;
    };
    std::stable_sort(m_innermostFirst.begin(), m_innermostFirst.end(),
                     [&](const auto& a, const auto& b) { return depth(a.second) > depth(b.second); });
    refresh();
}

void WindowView::act(const Control& control, const std::function<bool()>& action)
{
    // A widget may not have caught up with its control yet while a flow lets
    // events through: the model decides whether the user can act on it.
    if (!m_form.reachable(control)) {
        refresh();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    action();
    QApplication::restoreOverrideCursor();
    if (m_window.ended()) {
        m_closing = true;
        close();
        return;
    }
    refresh();
}

void WindowView::closeEvent(QCloseEvent* event)
{
    if (!m_closing && !m_window.ended())
        m_window.close(); // the unload handler closes the link
    m_closing = true;
    event->accept();
}

void WindowView::bind(Control& control, QWidget* widget)
{
    widget->setObjectName(QString::fromStdString(control.name()));
    m_widgets[&control] = widget;
    m_innermostFirst.emplace_back(&control, widget);
}

QWidget* WindowView::widgetFor(const Control& control) const
{
    const auto found = m_widgets.find(&control);
    return found == m_widgets.end() ? nullptr : found->second;
}

QLabel* WindowView::label(Control& control)
{
    auto* widget = new QLabel;
    bind(control, widget);
    return widget;
}

QLabel* WindowView::textLabel(Control& control)
{
    auto* widget = new QLabel;
    bind(control, widget);
    return widget;
}

QAbstractButton* WindowView::button(Control& control)
{
    auto* widget = new QPushButton;
    bind(control, widget);
    connect(widget, &QPushButton::clicked, this, [this, &control] { act(control, [this, &control] { return m_window.click(control); }); });
    return widget;
}

QAbstractButton* WindowView::option(Control& control)
{
    auto* widget = new QRadioButton;
    // The model keeps each row exclusive; Qt's own exclusivity would refuse
    // to show a row with neither button selected.
    widget->setAutoExclusive(false);
    bind(control, widget);
    connect(widget, &QRadioButton::clicked, this, [this, &control] { act(control, [this, &control] { return m_window.click(control); }); });
    return widget;
}

QComboBox* WindowView::combo(Control& control, bool editable)
{
    auto* widget = new QComboBox;
    widget->setEditable(editable);
    widget->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& entry : control.list)
        widget->addItem(latin1(entry));
    bind(control, widget);
    connect(widget, &QComboBox::activated, this, [this, &control](int index) {
        act(control, [this, &control, index] { return m_window.pick(control, index); });
    });
    if (editable) {
        connect(widget, &QComboBox::editTextChanged, this, [this, &control](const QString& text) {
            if (!m_refreshing)
                control.setText(bytes(text));
        });
    }
    return widget;
}

QLineEdit* WindowView::lineEdit(Control& control, bool readOnly)
{
    auto* widget = new QLineEdit;
    widget->setReadOnly(readOnly);
    if (readOnly)
        widget->setFocusPolicy(Qt::NoFocus); // a caption or the status: nothing to type, no stop for Tab
    bind(control, widget);
    connect(widget, &QLineEdit::textEdited, this, [&control](const QString& text) { control.Text = bytes(text); });
    return widget;
}

QGroupBox* WindowView::frame(Control& control)
{
    auto* widget = new QGroupBox;
    bind(control, widget);
    return widget;
}

QWidget* WindowView::buildPortArea()
{
    auto* area = new QWidget;
    auto* row = new QHBoxLayout(area);
    auto* logo = new QLabel;
    logo->setObjectName("Logo");
    logo->setPixmap(makeLogo(96));
    logo->setAccessibleName(QStringLiteral("Logo"));
    row->addWidget(logo);

    auto* portColumn = new QVBoxLayout;
    QLabel* portLabel = label(m_form.lblPORT);
    QComboBox* ports = combo(m_form.Combo1);
    portLabel->setBuddy(ports);
    ports->setAccessibleName(accessibleCaption(m_form.lblPORT.caption()));
    portColumn->addWidget(portLabel);
    portColumn->addWidget(ports);
    portColumn->addStretch();
    row->addLayout(portColumn);

    QGroupBox* serial = frame(m_form.frameCOMm);
    serial->setAccessibleName(QStringLiteral("Serial port settings"));
    auto* serialRow = new QHBoxLayout(serial);
    const std::vector<std::vector<Control*>> groups = {
        {&m_form.com_BR_115200, &m_form.com_BR_38400, &m_form.com_BR_19200, &m_form.com_BR_9600},
        {&m_form.com_HS_HW, &m_form.com_HS_SW},
        {&m_form.com_PK_EVEN, &m_form.com_PK_NONE},
    };
    for (int i = 0; i < 3; ++i) {
        QGroupBox* box = frame(m_form.frameCOM[i]);
        auto* column = new QVBoxLayout(box);
        for (Control* choice : groups[static_cast<std::size_t>(i)])
            column->addWidget(option(*choice));
        column->addStretch();
        serialRow->addWidget(box);
    }

    QGroupBox* tcp = frame(m_form.frameTCPIP);
    tcp->setAccessibleName(QStringLiteral("TCP/IP settings"));
    auto* grid = new QGridLayout(tcp);
    const auto addLabelled = [&](Control& caption, Control& text, int r) {
        QLabel* name = label(caption);
        QLineEdit* edit = lineEdit(text);
        name->setBuddy(edit);
        edit->setAccessibleName(accessibleCaption(caption.caption()));
        grid->addWidget(name, r, 0);
        grid->addWidget(edit, r, 1);
    };
    addLabelled(m_form.tcpLBL1, m_form.tcpIP, 0);
    addLabelled(m_form.tcpLBL2, m_form.tcpListenPort, 1);
    QLineEdit* status = lineEdit(m_form.txtSTATUS, true);
    status->setStyleSheet("background-color: #D3D3D3;");
    status->setAccessibleName(QStringLiteral("Connection status"));
    grid->addWidget(status, 2, 0);
    grid->addWidget(button(m_form.cmdSTATUS), 2, 1);

    // The serial and the TCP/IP settings share one place: which of them, or
    // neither (USB, LPT1), is shown moves nothing else.
    auto* settings = new QGridLayout;
    for (QGroupBox* box : {serial, tcp}) {
        keepPlaceWhenHidden(box);
        settings->addWidget(box, 0, 0);
    }
    row->addLayout(settings, 1);
    return area;
}

QWidget* WindowView::buildButtons()
{
    auto* area = new QWidget;
    auto* row = new QHBoxLayout(area);
    for (Control* c : {&m_form.cmdCommunicate, &m_form.cmd1, &m_form.cmd2, &m_form.cmd01, &m_form.cmd02,
                       &m_form.cmdHELP, &m_form.cmdEXIT}) {
        QAbstractButton* widget = button(*c);
        widget->setText(latin1(c->caption()));
        padButton(widget);
        keepPlaceWhenHidden(widget);
        row->addWidget(widget);
    }
    return area;
}

QWidget* WindowView::buildInfoTab()
{
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    QGroupBox* info = frame(m_form.framePrinterInfo);
    auto* grid = new QGridLayout(info);
    const std::vector<std::array<Control*, 4>> rows = {
        {&m_form.lblINFO[0], &m_form.lblKR_INFO[0], &m_form.lblINFO[4], &m_form.lblKR_INFO[4]},
        {&m_form.lblINFO[1], &m_form.lblKR_INFO[1], &m_form.krLabel3[10], &m_form.lblKR_INFO[5]},
        {&m_form.lblINFO[2], &m_form.lblKR_INFO[2], &m_form.lblINFO[3], &m_form.lblKR_INFO[3]},
        {&m_form.krLabel3[22], &m_form.lblKR_INFO[6], &m_form.krLabel3[17], &m_form.lblKR_INFO[7]},
    };
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < 4; ++c)
            grid->addWidget(label(*rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]), r, c);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    column->addWidget(info);

    QGroupBox* language = frame(m_form.frameLanguageInfo);
    auto* languageGrid = new QGridLayout(language);
    const std::vector<std::pair<int, int>> languageRows = {{12, 0}, {15, 1}, {13, 2}, {14, 3}, {11, 4}, {10, 5}, {5, 6}};
    int r = 0;
    for (const auto& [captionIndex, valueIndex] : languageRows) {
        languageGrid->addWidget(label(m_form.lblINFO[captionIndex]), r, 0);
        languageGrid->addWidget(label(m_form.lblLANG_INFO[valueIndex]), r, 1);
        ++r;
    }
    languageGrid->setColumnStretch(1, 1);
    column->addWidget(language);
    column->addStretch();
    return page;
}

QWidget* WindowView::buildSwitchTab(SwitchTab& tab)
{
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    QGroupBox* switchFrame = frame(tab.frame);
    auto* grid = new QGridLayout(switchFrame);
    QLabel* titleLabel = label(tab.title);
    QFont bold = titleLabel->font();
    bold.setBold(true);
    titleLabel->setFont(bold);
    grid->addWidget(titleLabel, 0, 0);
    const QString switchName = latin1(tab.title.caption());
    for (int i = 0; i < kSwitchBits; ++i) {
        QGroupBox* row = frame(tab.rows[i]);
        row->setFlat(true);
        keepPlaceWhenHidden(row);
        auto* buttons = new QHBoxLayout(row);
        buttons->setContentsMargins(2, 0, 2, 0);
        // A screen reader names the bit an ON or OFF belongs to; the row's
        // text tells what the choice means.
        QLabel* text = label(tab.function[i]);
        for (Control* choice : {&tab.on[i], &tab.off[i]}) {
            QAbstractButton* radio = option(*choice);
            radio->setAccessibleName(QStringLiteral("%1 bit %2 %3").arg(switchName).arg(i + 1)
                                         .arg(choice == &tab.on[i] ? "ON" : "OFF"));
            buttons->addWidget(radio);
        }
        grid->addWidget(row, i + 1, 0);
        text->setMinimumWidth(360);
        grid->addWidget(text, i + 1, 1);
    }
    grid->setColumnStretch(1, 1);
    keepPlaceWhenHidden(switchFrame);
    column->addWidget(switchFrame);
    column->addStretch();
    return page;
}

QWidget* WindowView::buildLanguageTab()
{
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    struct Row {
        Control* caption; // a fixed caption, or none
        Control* choice;
        const char* name; // for a list without a caption of its own
    };
    // One caption column as wide as the widest caption, so the lists of all
    // frames start at one left edge.
    const std::vector<Control*> captions = {&m_form.Text4, &m_form.Text7, &m_form.Text2, &m_form.Text3, &m_form.Text5};
    int captionWidth = 0;
    for (const Control* caption : captions)
        captionWidth = std::max(captionWidth, page->fontMetrics().horizontalAdvance(latin1(caption->Text)));
    const auto addFrame = [&](Control& frameControl, const std::vector<Row>& rows) {
        QGroupBox* box = frame(frameControl);
        auto* grid = new QGridLayout(box);
        grid->setColumnMinimumWidth(0, captionWidth);
        int r = 0;
        for (const Row& row : rows) {
            QComboBox* list = combo(*row.choice);
            // Wide enough for its longest entry, not the whole frame.
            list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
            if (row.caption) {
                // A caption, not a box to type in; it names its list for
                // assistive technology and gives the list its shortcut.
                QLabel* fixed = textLabel(*row.caption);
                fixed->setBuddy(list);
                list->setAccessibleName(accessibleCaption(row.caption->Text));
                grid->addWidget(fixed, r, 0);
            } else {
                list->setAccessibleName(QString::fromLatin1(row.name));
            }
            grid->addWidget(list, r, 1);
            ++r;
        }
        grid->setColumnStretch(2, 1);
        column->addWidget(box);
    };
    addFrame(m_form.frameChangeCP, {{&m_form.Text4, &m_form.comboCodePage, nullptr},
                                    {nullptr, &m_form.comboCodePageName, "Code page name"},
                                    {&m_form.Text7, &m_form.comboInterChars, nullptr}});
    addFrame(m_form.frameDensity, {{&m_form.Text2, &m_form.comboDensity, nullptr}});
    addFrame(m_form.frameNew8x16, {{&m_form.Text3, &m_form.comboNew8x16, nullptr}});
    addFrame(m_form.frameTHAI, {{&m_form.Text5, &m_form.comboTHAI, nullptr}});
    column->addStretch();
    return page;
}

QWidget* WindowView::buildLogTab()
{
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    m_log = new QPlainTextEdit;
    m_log->setReadOnly(true);
    m_log->setAccessibleName(latin1(m_form.SSTab1.tabCaptions[6]));
    bind(m_form.txtLOG, m_log);
    column->addWidget(m_log, 1);
    auto* clear = button(m_form.cmdCLEARlst);
    column->addWidget(clear, 0, Qt::AlignLeft);
    return page;
}

void WindowView::refresh()
{
    m_refreshing = true;
    setWindowTitle(latin1(m_form.Caption));
    // Every widget gets its text, font and state before any is shown or
    // hidden: showing a widget lays out what it holds at once, and a layout
    // made from captions still to come is not always redone once they come.
    // Showing then goes innermost first, so a frame is laid out only when
    // what it holds is final.
    for (const auto& [control, widget] : m_innermostFirst)
        copyIn(*control, widget);
    for (const auto& [control, widget] : m_innermostFirst)
        widget->setHidden(!control->Visible);
    m_tabs->setCurrentIndex(m_form.SSTab1.tab());
    // The focus moves only when a flow names another control, so the
    // user's own moves between refreshes are kept.
    if (const Control* active = m_form.activeControl(); active != m_focused) {
        m_focused = active;
        if (QWidget* widget = active ? widgetFor(*active) : nullptr)
            widget->setFocus(Qt::OtherFocusReason);
    }
    m_refreshing = false;
}

void WindowView::copyIn(const Control& control, QWidget* widget)
{
    widget->setEnabled(control.enabled());
    switch (control.kind()) {
    case ControlKind::Label:
        static_cast<QLabel*>(widget)->setText(latin1(control.caption()));
        break;
    case ControlKind::Button:
        static_cast<QAbstractButton*>(widget)->setText(latin1(control.caption()));
        break;
    case ControlKind::Option: {
        auto* radio = static_cast<QAbstractButton*>(widget);
        radio->setText(latin1(control.caption()));
        radio->setChecked(control.value());
        QFont font = radio->font();
        font.setBold(control.FontBold);
        radio->setFont(font);
        break;
    }
    case ControlKind::Combo: {
        auto* box = static_cast<QComboBox*>(widget);
        box->setCurrentIndex(control.listIndex());
        if (box->isEditable() && box->currentText() != latin1(control.Text))
            box->setEditText(latin1(control.Text));
        break;
    }
    case ControlKind::TextBox:
        if (widget == m_log) {
            const QString text = shownLog(control.Text);
            if (m_log->toPlainText() != text) {
                m_log->setPlainText(text);
                m_log->verticalScrollBar()->setValue(m_log->verticalScrollBar()->maximum());
            }
        } else if (auto* caption = qobject_cast<QLabel*>(widget)) {
            caption->setText(latin1(control.Text));
        } else {
            auto* edit = static_cast<QLineEdit*>(widget);
            if (edit->text() != latin1(control.Text))
                edit->setText(latin1(control.Text));
            // The text's colour while the box can be used; a disabled box
            // keeps the style's grey.
            QPalette palette = edit->palette();
            for (const auto group : {QPalette::Active, QPalette::Inactive})
                palette.setColor(group, QPalette::Text, colour(control.ForeColor));
            edit->setPalette(palette);
        }
        break;
    case ControlKind::Frame:
        static_cast<QGroupBox*>(widget)->setTitle(latin1(control.caption()));
        break;
    case ControlKind::TabControl: // its page is chosen once all are shown
    case ControlKind::Timer:
        break;
    }
}

} // namespace softswitch::gui
