#include "writer/writer.h"

#include "catalogue/modelfamilies.h"
#include "form/text.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace softswitch {

namespace {

constexpr const char* kNoDataChanged = "There is no data changed...";
constexpr const char* kRepowerPrinter = "After writed software switch, please re-power on printer!!";
// When the printer stopped taking a command: what was not sent, then this.
constexpr const char* kSendStopped =
    ": the printer stopped taking data.\r\n\r\nPlease switch the printer off and on, then read the settings again.";

// The printer does not answer writes; any mode but "R" tells the link so.
constexpr const char* kWriteMode = "W";

// Settings are taken only between these two.
constexpr std::array<std::uint8_t, 6> kUnlockSettings = {29, 103, 117, 110, 108, 0}; // GS g u n l NUL
constexpr std::array<std::uint8_t, 6> kLockSettings = {29, 103, 108, 99, 107, 0};    // GS g l c k NUL

// A setting write: GS g 8, the selector, the encoder's Argument bytes from
// position 4 on, then 0 up to Length.
constexpr std::size_t kArgumentAt = 4;
template <std::size_t Argument, std::size_t Length>
struct SettingWrite {
    static_assert(kArgumentAt + Argument < Length, "every setting write ends in a 0");
    std::uint8_t selector;
};

constexpr std::array<SettingWrite<3, 8>, kSwitchCount> kSwitchWrites{{{39}, {40}, {41}, {42}}};
constexpr SettingWrite<3, 8> kCodePageWrite{33};       // "!"
constexpr SettingWrite<20, 25> kCodePageNameWrite{36}; // "$"
constexpr SettingWrite<2, 7> kInterCharsWrite{34};     // '"'
constexpr SettingWrite<1, 7> kDensityWrite{48};        // "0"
constexpr SettingWrite<2, 8> kNew8x16Write{37};        // "%"
constexpr SettingWrite<3, 12> kThaiWrite{43};          // "+"

template <std::size_t Argument, std::size_t Length, class Encode>
std::array<std::uint8_t, Length> settingCommand(SettingWrite<Argument, Length> write, Encode encode)
{
    std::array<std::uint8_t, Length> command{29, 103, 56, write.selector};
    encode(std::span<std::uint8_t, Argument>(command.data() + kArgumentAt, Argument));
    return command;
}

// The name a failure message gives a write command, by its selector.
struct CommandName {
    std::uint8_t selector;
    const char* name;
};
constexpr CommandName kCommandNames[] = {
    {kSwitchWrites[0].selector, "switch 1"},        {kSwitchWrites[1].selector, "switch 2"},
    {kSwitchWrites[2].selector, "switch 3"},        {kSwitchWrites[3].selector, "switch 4"},
    {kCodePageWrite.selector, "the code page"},     {kCodePageNameWrite.selector, "the code page name"},
    {kInterCharsWrite.selector, "the international character set"},
    {kDensityWrite.selector, "the print density"}, {kNew8x16Write.selector, "the new 8x16 font"},
    {kThaiWrite.selector, "the Thai passes"},
};

std::string commandName(std::span<const std::uint8_t> command)
{
    if (std::ranges::equal(command, kUnlockSettings))
        return "the unlock";
    if (std::ranges::equal(command, kLockSettings))
        return "the lock";
    for (const CommandName& entry : kCommandNames)
        if (command.size() > 3 && command[3] == entry.selector)
            return entry.name;
    return "a setting";
}

// GS ( A, two parameter bytes: roll paper (0), printer status print (2).
constexpr std::array<std::uint8_t, 7> kSelfTest = {29, 40, 65, 2, 0, 0, 2};

// ESC ! n selects the font, then its name "FONT:08X16" / "FONT:12X24", CR LF.
constexpr std::array<std::uint8_t, 15> kFont8x16Title = {27, 33, 1, 70, 79, 78, 84, 58, 48, 56, 88, 49, 54, 13, 10};
constexpr std::array<std::uint8_t, 15> kFont12x24Title = {27, 33, 2, 70, 79, 78, 84, 58, 49, 50, 88, 50, 52, 13, 10};
// ESC @ (initialise), CR LF, ESC i (cut the paper).
constexpr std::array<std::uint8_t, 6> kInitialiseAndCut = {27, 64, 13, 10, 27, 105};

// Every code from first to last once, then CR LF.
std::vector<std::uint8_t> characterLine(int first, int last)
{
    std::vector<std::uint8_t> line;
    for (int code = first; code <= last; ++code)
        line.push_back(static_cast<std::uint8_t>(code));
    line.insert(line.end(), {13, 10});
    return line;
}

// The character codes of the text, 0 once it has run out.
void putCharacters(std::string_view text, std::span<std::uint8_t> bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0;
}

// Boxes whose leading number or name is sent as it stands: a text that is
// not one of the entries would put bytes on the printer nobody chose.
struct ListChoice {
    Control Form1::*box;
    const char* what;
};
constexpr ListChoice kListChoices[] = {
    {&Form1::comboCodePage, "a code page"},
    {&Form1::comboCodePageName, "a code page name"},
    {&Form1::comboInterChars, "an international character set"},
};
constexpr ListChoice kThaiChoice{&Form1::comboTHAI, "a Thai font pass"};

bool holdsListEntry(const Control& box)
{
    return std::find(box.list.begin(), box.list.end(), box.Text) != box.list.end();
}

} // namespace

Writer::Writer(Context& ctx) : m_ctx(ctx)
{
    m_ctx.form.cmd2.onClick = [this] { cmd2_Click(); };
    m_ctx.form.cmd01.onClick = [this] { cmd01_Click(); };
    m_ctx.form.cmd02.onClick = [this] { cmd02_Click(); };
}

void Writer::write(std::span<const std::uint8_t> command)
{
    if (!m_notSent.empty())
        return; // an earlier command of this write did not go out: nothing after it does
    std::string mode = kWriteMode;
    if (!m_ctx.link.SendCommand(command, mode))
        m_notSent = commandName(command);
}

void Writer::tellNotSent(const std::string& what)
{
    m_ctx.dialogs.tell(what + kSendStopped, MsgIcon::Critical);
}

void Writer::WriteSwitch1() { writeSwitch(1); }
void Writer::WriteSwitch2() { writeSwitch(2); }
void Writer::WriteSwitch3() { writeSwitch(3); }
void Writer::WriteSwitch4() { writeSwitch(4); }
void Writer::EncodeSwitch1(std::span<std::uint8_t, 3> digits) const { encodeSwitch(1, digits); }
void Writer::EncodeSwitch2(std::span<std::uint8_t, 3> digits) const { encodeSwitch(2, digits); }
void Writer::EncodeSwitch3(std::span<std::uint8_t, 3> digits) const { encodeSwitch(3, digits); }
void Writer::EncodeSwitch4(std::span<std::uint8_t, 3> digits) const { encodeSwitch(4, digits); }

void Writer::encodeSwitch(int sw, std::span<std::uint8_t, 3> digits) const
{
    const SwitchTab& tab = m_ctx.form.switchTab(sw);
    int value = 0;
    for (int i = kSwitchBits - 1; i >= 0; --i)
        if (tab.off[i].value())
            value += m_ctx.state.BitMask.at(static_cast<std::size_t>(i));
    putCharacters(std::to_string(value), digits);
}

void Writer::writeSwitch(int sw)
{
    const auto& switchWrite = kSwitchWrites.at(static_cast<std::size_t>(sw - 1));
    write(kUnlockSettings);
    write(settingCommand(switchWrite, [this, sw](auto digits) { encodeSwitch(sw, digits); }));
    write(kLockSettings);
}

void Writer::EncodeCodePage(std::span<std::uint8_t, 3> bytes) const
{
    putCharacters(trimBlanks(left(m_ctx.form.comboCodePage.Text, 3)), bytes);
}

void Writer::EncodeCodePageName(std::span<std::uint8_t, 20> bytes)
{
    const std::string_view text = m_ctx.form.comboCodePageName.Text;
    const std::string name = upperCase(trimBlanks(text.substr(std::min<std::size_t>(5, text.size()), 20)));
    if (m_notSent.empty()) // a write already given up sends no name to wait for
        m_ctx.platform.loop.sleep(kCodePageNamePause);
    putCharacters(name, bytes);
}

void Writer::EncodeInterChars(std::span<std::uint8_t, 2> bytes) const
{
    putCharacters(trimBlanks(left(m_ctx.form.comboInterChars.Text, 2)), bytes);
}

void Writer::EncodeDensity(std::span<std::uint8_t, 1> bytes) const
{
    putCharacters(trimBlanks(left(m_ctx.form.comboDensity.Text, 1)), bytes);
}

void Writer::EncodeNew8x16(std::span<std::uint8_t, 2> bytes) const
{
    const bool on = trimBlanks(right(m_ctx.form.comboNew8x16.Text, 3)) == "ON";
    putCharacters(on ? "ON" : "", bytes);
}

void Writer::EncodeThai(std::span<std::uint8_t, 3> bytes) const
{
    putCharacters(trimBlanks(left(m_ctx.form.comboTHAI.Text, 3)), bytes);
}

std::string Writer::LanguageChoiceMissing() const
{
    const Form1& form = m_ctx.form;
    const auto askFor = [](const ListChoice& choice) {
        return std::string("Please choose ") + choice.what + " from the list before writing.";
    };
    for (const ListChoice& choice : kListChoices)
        if (!holdsListEntry(form.*choice.box))
            return askFor(choice);
    if (InFamily(ModelName(form), Family::ThaiPasses) && !holdsListEntry(form.*kThaiChoice.box))
        return askFor(kThaiChoice);
    return {};
}

void Writer::WriteLanguage()
{
    write(kUnlockSettings);
    write(settingCommand(kCodePageWrite, [this](auto bytes) { EncodeCodePage(bytes); }));
    write(settingCommand(kCodePageNameWrite, [this](auto bytes) { EncodeCodePageName(bytes); }));
    write(settingCommand(kInterCharsWrite, [this](auto bytes) { EncodeInterChars(bytes); }));
    write(settingCommand(kDensityWrite, [this](auto bytes) { EncodeDensity(bytes); }));
    write(settingCommand(kNew8x16Write, [this](auto bytes) { EncodeNew8x16(bytes); }));
    if (InFamily(ModelName(m_ctx.form), Family::ThaiPasses))
        write(settingCommand(kThaiWrite, [this](auto bytes) { EncodeThai(bytes); }));
    write(kLockSettings);
}

// Switch 1 of the generic models holds the baud rate: a serial port left at
// the old rate would no longer reach the printer.
bool Writer::baudRateChanged() const
{
    if (m_ctx.state.PortType != LinkKind::Serial || !InFamily(ModelName(m_ctx.form), Family::ZQGenericModels))
        return false;
    const double portBaud = bitsPerSecond(m_ctx.platform.serial.settings().baud);
    const double shownBaud = leadingNumber(right(m_ctx.form.lblSW1Function[0].caption(), 6));
    return portBaud != shownBaud;
}

void Writer::WriteSettings(int tab)
{
    if (tab == kLanguageTab) {
        const std::string missing = LanguageChoiceMissing();
        if (!missing.empty()) {
            m_ctx.dialogs.tell(missing, MsgIcon::Information);
            return; // the user's changes are still pending
        }
    }
    m_ctx.state.SettingsChanged = false;
    m_notSent.clear();
    if (tab >= 1 && tab <= kSwitchCount)
        writeSwitch(tab);
    else if (tab == kLanguageTab)
        WriteLanguage();
    else
        return;
    if (!m_notSent.empty()) {
        // What the printer holds is unknown: the choice on screen stays pending.
        m_ctx.state.SettingsChanged = true;
        const std::string what = tab == kLanguageTab ? "The language settings" : "Soft switch " + std::to_string(tab);
        tellNotSent(what + " could not be written whole (" + std::exchange(m_notSent, {}) + " did not go out)");
        return;
    }

    m_ctx.dialogs.tell(kRepowerPrinter, MsgIcon::Information);
    // EXIT is the window's own routine: it closes the link and ends the program.
    if (m_ctx.state.PortType == LinkKind::Tcp)
        m_ctx.form.cmdEXIT.click(); // the printer drops the connection when it restarts
    else if (tab == 1 && baudRateChanged())
        m_ctx.form.cmdEXIT.click();
}

void Writer::cmd2_Click()
{
    Form1& form = m_ctx.form;
    if (!m_ctx.state.SettingsChanged) {
        m_ctx.dialogs.tell(kNoDataChanged, MsgIcon::Information);
        return;
    }
    form.cmd2.setEnabled(false);
    WriteSettings(form.SSTab1.tab());
    form.cmd2.setEnabled(true);
    form.setFocus(form.cmd2);
}

void Writer::cmd01_Click()
{
    Form1& form = m_ctx.form;
    form.cmd01.setEnabled(false);
    std::string reply = "R"; // waits for an answer like a query; what comes back is not used
    if (!m_ctx.link.SendCommand(kSelfTest, reply))
        tellNotSent("The self test could not be sent whole");
    form.cmd01.setEnabled(true);
    form.setFocus(form.cmd01);
}

void Writer::cmd02_Click()
{
    Form1& form = m_ctx.form;
    form.cmd02.setEnabled(false);
    const std::vector<std::uint8_t> printable = characterLine(33, 127);
    const std::vector<std::uint8_t> upper = characterLine(128, 255);
    const std::span<const std::uint8_t> sends[] = {kFont8x16Title, printable, upper, kFont12x24Title,
                                                   printable, upper, kInitialiseAndCut};
    for (std::span<const std::uint8_t> send : sends) {
        std::string noReply;
        if (!m_ctx.link.SendCommand(send, noReply)) {
            tellNotSent("The fonts test could not be sent whole");
            break;
        }
    }
    form.cmd02.setEnabled(true);
    form.setFocus(form.cmd02);
}

} // namespace softswitch
