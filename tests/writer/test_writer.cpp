// Write Settings, Self Test and Fonts Test as the window runs them, on the
// fakes. Every kind of write byte for byte on a real link is in the e2e
// writer cases (COM, TCP/IP, LPT, and USB in the fault matrix).

#include "app/mainwindow.h"
#include "fakeplatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <sstream>

namespace softswitch {
namespace {

using namespace std::chrono_literals;
using testing::FakePlatform;
using Bytes = std::vector<std::uint8_t>;

// "1D 67 38" as bytes.
Bytes hex(const std::string& text)
{
    Bytes bytes;
    std::istringstream words(text);
    for (std::string word; words >> word;)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(word, nullptr, 16)));
    return bytes;
}

// The window on the fakes, connected over one link to one model, with the
// settings changed and the buttons as a Communication Test leaves them.
struct Window {
    FakePlatform fake;
    MainWindow window{fake.platform()};
    Form1& form = window.form();
    SharedState& state = window.state();

    void prepare(const std::string& port, const std::string& model, int tab)
    {
        ASSERT_TRUE(window.load());
        const auto& ports = form.Combo1.list;
        ASSERT_TRUE(window.pick(form.Combo1, static_cast<int>(std::find(ports.begin(), ports.end(), port) - ports.begin())));
        fake.socket.stateNumber = state.LastTcpState = 7;
        fake.serial.lineSettings = {BaudRate::Baud115200, Parity::None};
        fake.serial.inbox = fake.socket.inbox = "_1"; // an answer that only a read takes
        fake.usb.reads = {{"_1", 0}, {"", 0}};
        form.lblKR_INFO[0].setCaption(model);
        form.SSTab1.setTab(tab);
        form.comboCodePage.setListIndex(0);
        form.comboCodePageName.setListIndex(0);
        form.comboTHAI.setListIndex(1);
        for (Control* button : {&form.cmd2, &form.cmd01, &form.cmd02})
            button->setEnabled(true);
        state.SettingsChanged = true;
    }
    Bytes wire() const
    {
        if (state.PortType == LinkKind::Serial)
            return fake.serial.written;
        if (state.PortType == LinkKind::Tcp)
            return fake.socket.sent;
        if (state.PortType == LinkKind::Parallel)
            return fake.parallel.written;
        Bytes all;
        for (const auto& call : fake.usb.calls)
            if (call.mode == 0)
                all.insert(all.end(), call.data.begin(), call.data.end());
        return all;
    }
};

using Tweak = std::function<void(Window&)>;

const Tweak nothingChanged = [](Window& w) { w.state.SettingsChanged = false; };
Tweak shownBaud(const char* field)
{
    return [=](Window& w) { w.form.lblSW1Function[0].setCaption(field); };
}
Tweak typed(Control Form1::*box, const char* text)
{
    return [=](Window& w) { (w.form.*box).setText(text); };
}

// The first bytes on the wire and how many went out.
struct Sent {
    const char* start;
    std::size_t bytes;
};
const Sent kNothing{"", 0}, kSwitch1{"1D 67 75 6E 6C 00 1D 67 38 27", 20}, kSwitch2{"1D 67 75 6E 6C 00 1D 67 38 28", 20},
    kLanguage{"1D 67 75 6E 6C 00 1D 67 38 21", 67}, kSelfTest{"1D 28 41 02 00 00 02", 7},
    kFontsTest{"1B 21 01 46 4F 4E 54 3A 30 38", 490};

const char* const kNoData = "There is no data changed...";
const char* const kRepower = "After writed software switch, please re-power on printer!!";
const char* const kRefused = "Could not send data now, please check lan printer status... 0";
std::string notSent(const std::string& what)
{
    return what + ": the printer stopped taking data.\r\n\r\nPlease switch the printer off and on, then read the settings again.";
}
// The printer takes so many bytes and then nothing more, on every link.
Tweak takesOnly(int bytes)
{
    return [=](Window& w) { w.fake.serial.stall.takes = w.fake.parallel.stall.takes = w.fake.socket.stall.takes = bytes; };
}

struct FlowRow {
    const char* name;
    Control Form1::*button;
    const char *port, *model;
    int tab;
    Tweak tweak;
    std::vector<std::string> boxes; // every message box, in order
    Sent sent;
    bool ended, stillChanged, focused;
};

const auto cmd2 = &Form1::cmd2;
const FlowRow kFlowRows[] = {
    {"NothingChangedOnlySaysSo", cmd2, "COM1", "KR-5050", 1, nothingChanged, {kNoData}, kNothing, false, false, false},
    {"PrinterInfoTabClearsTheFlagOnly", cmd2, "TCP/IP", "KR-5050", 0, {}, {}, kNothing, false, false, true},
    {"LogTabClearsTheFlagOnly", cmd2, "TCP/IP", "KR-5050", 6, {}, {}, kNothing, false, false, true},
    {"Switch2OverTcpEnds", cmd2, "TCP/IP", "KR-5050", 2, {}, {kRepower}, kSwitch2, true, false, false},
    {"LanguageOverTcpEnds", cmd2, "TCP/IP", "KR-4450", 5, {}, {kRepower}, kLanguage, true, false, false},
    {"LostConnectionStillAsksForRepowerAndEnds", cmd2, "TCP/IP", "KR-5050", 1,
     [](Window& w) { w.fake.socket.stateNumber = 0; }, {kRefused, kRefused, kRefused, kRepower}, kNothing, true, false, false},
    {"ZqOverComAtAnotherBaudEnds", cmd2, "COM1", "ZQ-PRINTER", 1, shownBaud("Baud Rate = 9600  "), {kRepower}, kSwitch1, true, false, false},
    {"ZqOverComAtTheSameBaudStays", cmd2, "COM1", "ZQ-PRINTER", 1, shownBaud("Baud Rate = 115200"), {kRepower}, kSwitch1, false, false, true},
    {"ZqUnknownBaudEnds", cmd2, "COM1", "ZQ-PRINTER", 1, shownBaud("Unknown "), {kRepower}, kSwitch1, true, false, false},
    {"Zq2OverComAtAnotherBaudEnds", cmd2, "COM1", "ZQ2-PRINTER", 1, shownBaud("Baud Rate = 38400 "), {kRepower}, kSwitch1, true, false, false},
    {"Zq3OverComAtAnotherBaudEnds", cmd2, "COM1", "ZQ3-PRINTER", 1, shownBaud("Baud Rate = 19200 "), {kRepower}, kSwitch1, true, false, false},
    {"Zq3IIOverComAtAnotherBaudEnds", cmd2, "COM1", "ZQ3-PRINTER-II", 1, shownBaud("Unknown "), {kRepower}, kSwitch1, true, false, false},
    {"EvenParityPortAtTheSameBaudStays", cmd2, "COM1", "ZQ-PRINTER", 1,
     [](Window& w) { w.fake.serial.lineSettings = {BaudRate::Baud9600, Parity::Even}; shownBaud("Baud Rate = 9600  ")(w); },
     {kRepower}, kSwitch1, false, false, true},
    {"Zq2OverUsbHasNoBaudCheck", cmd2, "USB", "ZQ2-PRINTER", 1, shownBaud("Baud Rate = 9600  "), {kRepower}, kSwitch1, false, false, true},
    {"Zq2OverLptHasNoBaudCheck", cmd2, "LPT1", "ZQ2-PRINTER", 1, shownBaud("Baud Rate = 9600  "), {kRepower}, kSwitch1, false, false, true},
    {"Kr5050OverComHasNoBaudCheck", cmd2, "COM1", "KR-5050", 1, shownBaud("Baud Rate = 9600  "), {kRepower}, kSwitch1, false, false, true},
    {"ZqSwitch2HasNoBaudCheck", cmd2, "COM1", "ZQ-PRINTER", 2, shownBaud("Baud Rate = 9600  "), {kRepower}, kSwitch2, false, false, true},
    {"ZqLanguageHasNoBaudCheck", cmd2, "COM1", "ZQ-PRINTER", 5, shownBaud("Baud Rate = 9600  "), {kRepower}, kLanguage, false, false, true},
    {"EmptyCodePageIsAskedFor", cmd2, "TCP/IP", "KR-4450", 5, typed(&Form1::comboCodePage, ""),
     {"Please choose a code page from the list before writing."}, kNothing, false, true, true},
    {"TypedCodePageIsAskedFor", cmd2, "TCP/IP", "KR-4450", 5, typed(&Form1::comboCodePage, "17"),
     {"Please choose a code page from the list before writing."}, kNothing, false, true, true},
    {"CodePageNameNotInTheListIsAskedFor", cmd2, "COM1", "KR-4450", 5, typed(&Form1::comboCodePageName, "0  - Standard "),
     {"Please choose a code page name from the list before writing."}, kNothing, false, true, true},
    {"EmptyCharacterSetIsAskedFor", cmd2, "COM1", "KR-4450", 5, typed(&Form1::comboInterChars, ""),
     {"Please choose an international character set from the list before writing."}, kNothing, false, true, true},
    {"EmptyThaiIsAskedForOnKr5050", cmd2, "COM1", "KR-5050", 5, typed(&Form1::comboTHAI, ""),
     {"Please choose a Thai font pass from the list before writing."}, kNothing, false, true, true},
    {"EmptyThaiIsNotNeededElsewhere", cmd2, "COM1", "KR-4450", 5, typed(&Form1::comboTHAI, ""), {kRepower}, kLanguage, false, false, true},
    {"SelfTestWithoutAnswer", &Form1::cmd01, "TCP/IP", "KR-5050", 0, [](Window& w) { w.fake.socket.inbox.clear(); }, {},
     kSelfTest, false, true, true},
    {"FontsTest", &Form1::cmd02, "TCP/IP", "KR-5050", 0, {}, {}, kFontsTest, false, true, true},
    // A printer that stops taking data: nothing after that command, one message, the changes still pending.
    {"StallInTheUnlockSendsNoSetting", cmd2, "COM1", "KR-5050", 2, takesOnly(3),
     {notSent("Soft switch 2 could not be written whole (the unlock did not go out)")}, {"1D 67 75", 3}, false, true, true},
    {"StallInTheSettingSendsNoLock", cmd2, "LPT1", "KR-5050", 2, takesOnly(10),
     {notSent("Soft switch 2 could not be written whole (switch 2 did not go out)")}, {"1D 67 75 6E 6C 00 1D 67 38 28", 10},
     false, true, true},
    {"StallInTheLockOverTcpKeepsTheWindow", cmd2, "TCP/IP", "KR-5050", 1, takesOnly(19),
     {notSent("Soft switch 1 could not be written whole (the lock did not go out)")}, {kSwitch1.start, 19}, false, true, true},
    {"StallOfALanguageWriteNeedsNoPause", cmd2, "TCP/IP", "KR-5050", 5, takesOnly(0),
     {notSent("The language settings could not be written whole (the unlock did not go out)")}, kNothing, false, true, true},
    {"StallOfTheSelfTest", &Form1::cmd01, "COM1", "KR-5050", 0, takesOnly(6), {notSent("The self test could not be sent whole")},
     {"1D 28 41 02 00 00", 6}, false, true, true},
    {"StallOfTheFontsTestEndsIt", &Form1::cmd02, "LPT1", "KR-5050", 0, takesOnly(100),
     {notSent("The fonts test could not be sent whole")}, {kFontsTest.start, 100}, false, true, true},
};

class Flows : public ::testing::TestWithParam<FlowRow> {};

TEST_P(Flows, SendTellEndAndGiveTheFocusBack)
{
    const FlowRow& row = GetParam();
    Window w;
    w.prepare(row.port, row.model, row.tab);
    if (row.tweak)
        row.tweak(w);
    Control& button = w.form.*row.button;
    bool enabledWhileBusy = false;
    w.fake.loop.onEvents = [&] { enabledWhileBusy |= button.enabled(); };

    EXPECT_EQ(w.window.click(button), !row.ended);

    EXPECT_EQ(w.window.ended(), row.ended);
    std::vector<std::string> texts;
    for (const auto& box : w.fake.boxes.shown) {
        texts.push_back(box.text);
        const bool stopped = box.text.find("stopped taking") != std::string::npos;
        EXPECT_EQ(box.icon, box.text == kRefused ? MsgIcon::None : stopped ? MsgIcon::Critical : MsgIcon::Information)
            << box.text;
    }
    EXPECT_EQ(texts, row.boxes);
    const Bytes sent = w.wire(), start = hex(row.sent.start);
    EXPECT_EQ(sent.size(), row.sent.bytes);
    EXPECT_EQ(Bytes(sent.begin(), sent.begin() + std::min(sent.size(), start.size())), start);
    const bool languageSent = row.sent.bytes == kLanguage.bytes;
    EXPECT_EQ(std::count(w.fake.loop.sleeps.begin(), w.fake.loop.sleeps.end(), 1000ms), languageSent ? 1 : 0)
        << "the pause before the code page name";
    EXPECT_EQ(w.state.SettingsChanged, row.stillChanged);
    EXPECT_FALSE(enabledWhileBusy);
    EXPECT_EQ(button.enabled(), !row.ended);
    EXPECT_EQ(w.form.activeControl(), row.focused ? &button : nullptr);
    EXPECT_EQ(w.form.txtLOG.Text, "") << "writes and test prints are not logged";
}

INSTANTIATE_TEST_SUITE_P(Rows, Flows, ::testing::ValuesIn(kFlowRows),
                         [](const auto& row) { return std::string(row.param.name); });

// The Self Test asks for a reply like a query: it waits as a query does and
// takes the answer, so that nothing is left for the next query.
TEST(SelfTest, WaitsForTheAnswerAndTakesIt)
{
    using Waits = std::vector<std::chrono::milliseconds>;
    for (const auto& [port, waits] : {std::pair{"COM1", Waits{30ms}}, std::pair{"TCP/IP", Waits{5ms, 10ms}},
                                      std::pair{"USB", Waits{70ms, 70ms, 70ms}}}) {
        Window w;
        w.prepare(port, "KR-5050", 0);
        w.window.click(w.form.cmd01);
        EXPECT_EQ(w.fake.loop.sleeps, waits) << port;
        const bool unread = w.state.PortType == LinkKind::Serial ? !w.fake.serial.inbox.empty()
                            : w.state.PortType == LinkKind::Tcp ? !w.fake.socket.inbox.empty()
                                                        : !w.fake.usb.reads.empty();
        EXPECT_FALSE(unread) << port;
    }
}

} // namespace
} // namespace softswitch
