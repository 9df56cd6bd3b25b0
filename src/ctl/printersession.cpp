#include "ctl/printersession.h"

#include "catalogue/modelfamilies.h"
#include "form/text.h"

#include <QCoreApplication>
#include <QThread>

#include <exception>
#include <functional>
#include <stdexcept>

namespace softswitch::ctl {

namespace {

constexpr std::chrono::milliseconds kConnectPoll{1};

// Where each value sits on the window: the caption beside it and its label.
struct InfoPlace {
    const char* key;
    ControlArray Form1::*captions;
    int caption;
    int label; // index into lblKR_INFO or lblLANG_INFO
    const char* query = nullptr; // the log name that says it was answered
};

constexpr InfoPlace kIdentity[] = {
    {"model", &Form1::lblINFO, 0, 0},
    {"firmware", &Form1::lblINFO, 1, 1},
    {"serialNumber", &Form1::lblINFO, 4, 4},
};
constexpr InfoPlace kCounters[] = {
    {"hoursPowered", &Form1::lblINFO, 2, 2},
    {"linesPrinted", &Form1::krLabel3, 22, 6},
    {"cutPaperCount", &Form1::lblINFO, 3, 3},
    {"failedPaperCut", &Form1::krLabel3, 17, 7},
    {"installationDate", &Form1::krLabel3, 10, 5},
};
// The 8x16 label shows ON or OFF whenever its query ran, even unanswered.
constexpr InfoPlace kLanguage[] = {
    {"languageModel", &Form1::lblINFO, 12, 0, "getLanguageInfo1"},
    {"fontRom", &Form1::lblINFO, 15, 1, "getLanguageInfo2"},
    {"codePage", &Form1::lblINFO, 13, 2, "getLanguageInfo3"},
    {"interChars", &Form1::lblINFO, 14, 3, "getLanguageInfo4"},
    {"density", &Form1::lblINFO, 11, 4, "getLanguageInfo5"},
    {"new8x16", &Form1::lblINFO, 10, 5},
    {"thai", &Form1::lblINFO, 5, 6, "getLanguageInfo7"},
};

// How a language value picks its entry in the box of the language tab: the
// same parts of the entries the window compares with the printer's reply.
enum class EntryPart { LeadingNumber, WholeTrimmed, LastSix };
struct LanguageBox {
    const char* key;
    Control Form1::*box;
    EntryPart part;
    std::size_t width; // characters of the leading number
};
// The code page first: choosing it resets the character set in the window.
constexpr LanguageBox kLanguageBoxes[] = {
    {"codePage", &Form1::comboCodePage, EntryPart::LeadingNumber, 3},
    {"interChars", &Form1::comboInterChars, EntryPart::LeadingNumber, 2},
    {"density", &Form1::comboDensity, EntryPart::LeadingNumber, 2},
    {"new8x16", &Form1::comboNew8x16, EntryPart::WholeTrimmed, 0},
    {"thai", &Form1::comboTHAI, EntryPart::LastSix, 0},
};

bool entryMatches(const std::string& entry, const LanguageBox& box, const std::string& value)
{
    switch (box.part) {
    case EntryPart::LeadingNumber:
        return trimTrailingBlanks(left(entry, box.width)) == trimBlanks(value);
    case EntryPart::WholeTrimmed:
        return trimBlanks(entry) == trimBlanks(value);
    case EntryPart::LastSix:
        return right(entry, 6) == value;
    }
    return false;
}

std::map<int, std::string> serialPaths(const Target& target, const SessionOptions& options)
{
    std::map<int, std::string> paths = options.comPaths;
    if (target.kind == LinkKind::Serial && target.comNumber == 0)
        paths[1] = target.path; // serial:PATH is opened as COM1 of this session
    return paths;
}

std::string flatten(const std::string& text)
{
    std::string flat;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            if (!flat.empty() && flat.back() != ' ')
                flat += ' ';
        } else {
            flat += c;
        }
    }
    return trimBlanks(flat);
}

} // namespace

void WaitingTcpSocket::connect()
{
    QtTcpSocket::connect();
    const auto deadline = std::chrono::steady_clock::now() + m_limit;
    while (std::chrono::steady_clock::now() < deadline) {
        const int now = state();
        if (now != 4 && now != 6)
            return; // connected, or refused
        QCoreApplication::processEvents();
        QThread::msleep(static_cast<unsigned long>(kConnectPoll.count()));
    }
}

PrinterSession::PrinterSession(const Target& target, const SessionOptions& options)
    : m_target(target), m_serial(serialPaths(target, options)), m_socket(options.connectLimit),
      m_parallel(target.kind == LinkKind::Parallel && !target.path.empty() ? target.path : options.lptPath),
      m_timer([this] {
          if (m_window)
              m_window->timerTick();
      })
{
    m_mainWindow = std::make_unique<MainWindow>(Platform{.serial = m_serial,
                                                         .socket = m_socket,
                                                         .parallel = m_parallel,
                                                         .usb = m_usb,
                                                         .loop = m_loop,
                                                         .timer = m_timer,
                                                         .boxes = m_boxes,
                                                         .shell = m_shell});
    m_window = m_mainWindow.get();
    m_window->load();
    for (std::size_t i = 0; i < m_startInfo.size(); ++i)
        m_startInfo[i] = m_window->form().lblKR_INFO[static_cast<int>(i)].caption();
    selectLink();
}

PrinterSession::~PrinterSession()
{
    m_window->close(); // closes the link as the window's unload does
    m_window = nullptr;
}

void PrinterSession::selectLink()
{
    Form1& form = m_window->form();
    std::string entry;
    switch (m_target.kind) {
    case LinkKind::Tcp:
        entry = "TCP/IP";
        break;
    case LinkKind::Serial:
        entry = "COM" + std::to_string(m_target.comNumber > 0 ? m_target.comNumber : 1);
        break;
    case LinkKind::Usb:
        entry = "USB";
        break;
    case LinkKind::Parallel:
        entry = "LPT1";
        break;
    case LinkKind::None:
        break;
    }
    for (std::size_t i = 0; i < form.Combo1.list.size(); ++i)
        if (form.Combo1.list[i] == entry)
            m_window->pick(form.Combo1, static_cast<int>(i));
    if (m_target.kind == LinkKind::Tcp) {
        form.tcpIP.setText(m_target.host);
        form.tcpListenPort.setText(std::to_string(m_target.port));
    } else if (m_target.kind == LinkKind::Serial) {
        const std::pair<int, Control*> speeds[] = {{115200, &form.com_BR_115200}, {38400, &form.com_BR_38400},
                                                   {19200, &form.com_BR_19200}, {9600, &form.com_BR_9600}};
        for (const auto& [baud, button] : speeds)
            if (baud == m_target.baud)
                m_window->click(*button);
        m_window->click(m_target.parity == Parity::Even ? form.com_PK_EVEN : form.com_PK_NONE);
        m_window->click(m_target.handshake == Handshaking::XonXoff ? form.com_HS_SW : form.com_HS_HW);
    }
}

std::set<std::string> PrinterSession::harvestLog()
{
    std::string& log = m_window->form().txtLOG.Text;
    std::set<std::string> names;
    std::size_t start = 0;
    while (start < log.size()) {
        std::size_t end = log.find("\r\n", start);
        if (end == std::string::npos)
            end = log.size();
        const std::string line = log.substr(start, end - start);
        if (const std::size_t arrow = line.find("-->"); arrow != std::string::npos)
            names.insert(line.substr(0, arrow));
        start = end + 2;
    }
    log.clear();
    return names;
}

Readout PrinterSession::build(const std::set<std::string>& answered) const
{
    const Form1& form = m_window->form();
    Readout readout;
    const auto infoField = [&](const InfoPlace& place) {
        const std::string& value = form.lblKR_INFO[place.label].caption();
        Field field{place.key, (form.*place.captions)[place.caption].caption(), std::nullopt};
        if (value != m_startInfo.at(static_cast<std::size_t>(place.label)))
            field.value = value;
        return field;
    };
    for (const InfoPlace& place : kIdentity)
        readout.identity.push_back(infoField(place));
    for (const InfoPlace& place : kCounters)
        readout.counters.push_back(infoField(place));
    for (const InfoPlace& place : kLanguage) {
        const Control& label = form.lblLANG_INFO[place.label];
        Field field{place.key, (form.*place.captions)[place.caption].caption(), std::nullopt};
        const bool read = place.query ? answered.count(place.query) > 0 : label.caption() != " ";
        if (read)
            field.value = label.caption();
        readout.language.push_back(field);
    }
    for (int sw = 1; sw <= kSwitchCount; ++sw) {
        const SwitchTab& tab = form.switchTab(sw);
        SwitchState& state = readout.switches.at(static_cast<std::size_t>(sw - 1));
        state.locked = !tab.off[0].enabled();
        int value = 0;
        for (int i = 0; i < kSwitchBits; ++i) {
            SwitchBit& bit = state.bits.at(static_cast<std::size_t>(i));
            bit.off = tab.off[i].value();
            bit.text = tab.function[i].caption();
            if (bit.off)
                value |= 1 << i;
        }
        if (answered.count("getSW" + std::to_string(sw)))
            state.value = value;
    }
    return readout;
}

bool PrinterSession::communicationTest(std::string& why)
{
    Form1& form = m_window->form();
    m_window->click(form.cmdCommunicate);
    m_answered = harvestLog();
    if (form.SSTab1.Visible)
        return true;
    why = takeFailures();
    if (why.empty())
        why = "the Communication Test did not finish";
    if (m_target.kind == LinkKind::Tcp && m_socket.state() != kTcpConnected)
        why = "no connection: " + why;
    return false;
}

Readout PrinterSession::readout() const
{
    return build(m_answered);
}

bool PrinterSession::identify(Identity& identity)
{
    try {
        bool ok = true;
        m_window->link().OpenPort(m_window->state().PortName, true, ok);
        if (!ok || (m_target.kind == LinkKind::Tcp && m_socket.state() != kTcpConnected))
            return false;
        PrinterInfo& printer = m_window->queries().printer;
        if (!printer.getMakerInfo())
            return false;
        printer.getPrinterInfo1();
        printer.getPrinterInfo2();
        printer.getPrinterInfo5(0);
    } catch (const std::exception&) {
        return false;
    }
    const Readout readout = build({});
    const auto value = [&](std::size_t i) { return readout.identity.at(i).value.value_or(""); };
    identity = {value(0), value(1), value(2)};
    return true;
}

void PrinterSession::writeSwitch(int sw, int value)
{
    // The buttons show the byte as a read would; the write encodes them.
    m_window->queries().switches.ShowSwitchBits(sw, static_cast<std::int16_t>(value));
    Writer& writer = m_window->writer();
    switch (sw) {
    case 1: writer.WriteSwitch1(); break;
    case 2: writer.WriteSwitch2(); break;
    case 3: writer.WriteSwitch3(); break;
    case 4: writer.WriteSwitch4(); break;
    default: throw std::out_of_range("switch " + std::to_string(sw));
    }
}

bool PrinterSession::writeLanguage(const std::map<std::string, std::string>& values, std::string& why)
{
    Form1& form = m_window->form();
    for (const LanguageBox& box : kLanguageBoxes) {
        const auto value = values.find(box.key);
        if (value == values.end())
            continue;
        Control& combo = form.*box.box;
        int index = -1;
        for (std::size_t i = 0; i < combo.list.size() && index < 0; ++i)
            if (entryMatches(combo.list[i], box, value->second))
                index = static_cast<int>(i);
        if (index < 0) {
            why = std::string(box.key) + " \"" + value->second + "\" is none of the window's choices";
            return false;
        }
        m_window->pick(combo, index);
    }
    why = m_window->writer().LanguageChoiceMissing();
    if (!why.empty())
        return false;
    m_window->writer().WriteLanguage();
    return true;
}

Readout PrinterSession::readBack(const std::vector<int>& tabs)
{
    harvestLog();
    for (int tab : tabs)
        m_window->queries().settingsReader.ReadSettings(tab);
    return build(harvestLog());
}

std::vector<Box> PrinterSession::takeBoxes()
{
    return std::exchange(m_boxes.boxes, {});
}

std::string PrinterSession::takeFailures()
{
    std::string failures;
    for (const Box& box : takeBoxes()) {
        // The welcome message is the maker check passing.
        if (box.icon == MsgIcon::Information && box.text.rfind("Welcome to ", 0) == 0)
            continue;
        failures += (failures.empty() ? "" : "; ") + flatten(box.text);
    }
    return failures;
}

} // namespace softswitch::ctl
