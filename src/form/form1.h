#pragma once
// The main window as data: every control by its name, with its start state.

#include "form/control.h"

#include <chrono>

#include <string>
#include <vector>

namespace softswitch {

inline constexpr const char* kAppTitle = "Soft Switch Utility";
inline constexpr const char* kAppVersion = "1.0.0";
// Timer1: how often the TCP/IP status box is refreshed while the link is open.
inline constexpr std::chrono::milliseconds kStatusTimerInterval{3000};
// The printer address offered at start: the box's factory default on a shop LAN.
inline constexpr const char* kDefaultPrinterAddress = "192.168.1.251";
inline constexpr int kSwitchCount = 4;
inline constexpr int kSwitchBits = 8;

// The controls of one soft switch's tab; the arrays are indexed by bit index 0 to 7.
struct SwitchTab {
    Control& frame;         // frameSWnm, the whole switch
    Control& title;         // "SWn"
    ControlArray& rows;     // frameSWn, one frame per bit keeping its pair exclusive
    ControlArray& on;       // optSWnON
    ControlArray& off;      // optSWnOFF
    ControlArray& function; // lblSWnFunction
};

class Form1 {
public:
    Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    std::string Caption;

    Control lblPORT{"lblPORT", ControlKind::Label};
    Control Combo1{"Combo1", ControlKind::Combo};
    Control frameCOMm{"frameCOMm", ControlKind::Frame};
    ControlArray frameCOM{"frameCOM", ControlKind::Frame, {0, 1, 2}};
    Control com_BR_115200{"com_BR_115200", ControlKind::Option};
    Control com_BR_38400{"com_BR_38400", ControlKind::Option};
    Control com_BR_19200{"com_BR_19200", ControlKind::Option};
    Control com_BR_9600{"com_BR_9600", ControlKind::Option};
    Control com_HS_HW{"com_HS_HW", ControlKind::Option};
    Control com_HS_SW{"com_HS_SW", ControlKind::Option};
    Control com_PK_EVEN{"com_PK_EVEN", ControlKind::Option};
    Control com_PK_NONE{"com_PK_NONE", ControlKind::Option};
    Control frameTCPIP{"frameTCPIP", ControlKind::Frame};
    Control tcpLBL1{"tcpLBL1", ControlKind::Label};
    Control tcpIP{"tcpIP", ControlKind::TextBox};
    Control tcpLBL2{"tcpLBL2", ControlKind::Label};
    Control tcpListenPort{"tcpListenPort", ControlKind::TextBox};
    Control txtSTATUS{"txtSTATUS", ControlKind::TextBox};
    Control cmdSTATUS{"cmdSTATUS", ControlKind::Button};
    Control cmdCommunicate{"cmdCommunicate", ControlKind::Button};
    Control cmd1{"cmd1", ControlKind::Button};
    Control cmd2{"cmd2", ControlKind::Button};
    Control cmd01{"cmd01", ControlKind::Button};
    Control cmd02{"cmd02", ControlKind::Button};
    Control cmdHELP{"cmdHELP", ControlKind::Button};
    Control cmdEXIT{"cmdEXIT", ControlKind::Button};
    Control SSTab1{"SSTab1", ControlKind::TabControl};

    // Tab 0: printer and language information.
    Control framePrinterInfo{"framePrinterInfo", ControlKind::Frame};
    ControlArray lblINFO{"lblINFO", ControlKind::Label, {0, 1, 2, 3, 4, 5, 10, 11, 12, 13, 14, 15}};
    ControlArray krLabel3{"krLabel3", ControlKind::Label, {10, 17, 22}};
    ControlArray lblKR_INFO{"lblKR_INFO", ControlKind::Label, {0, 1, 2, 3, 4, 5, 6, 7}};
    Control frameLanguageInfo{"frameLanguageInfo", ControlKind::Frame};
    ControlArray lblLANG_INFO{"lblLANG_INFO", ControlKind::Label, {0, 1, 2, 3, 4, 5, 6}};

    // Tabs 1 to 4: one per soft switch, eight bit rows each.
    Control frameSW1m{"frameSW1m", ControlKind::Frame};
    Control lblSW1{"lblSW1", ControlKind::Label};
    ControlArray frameSW1{"frameSW1", ControlKind::Frame, {0, 1, 2, 3, 4, 5, 6, 7}};
    ControlArray optSW1ON{"optSW1ON", ControlKind::Option, {0, 1, 2, 3, 4, 5, 6, 7}};
    ControlArray optSW1OFF{"optSW1OFF", ControlKind::Option, {0, 1, 2, 3, 4, 5, 6, 7}};
    ControlArray lblSW1Function{"lblSW1Function", ControlKind::Label, {0, 1, 2, 3, 4, 5, 6, 7}};
    Control frameSW2m{"frameSW2m", ControlKind::Frame};
    Control lblSW2{"lblSW2", ControlKind::Label};
    ControlArray frameSW2{"frameSW2", ControlKind::Frame, {0, 1, 2, 3, 4, 5, 6, 7}};
    ControlArray optSW2ON{"optSW2ON", ControlKind::Option, {0, 1, 2, 3, 4, 5, 6, 7}};
    ControlArray optSW2OFF{"optSW2OFF", ControlKind::Option, {0, 1, 2, 3, 4, 5, 6, 7}};
    ControlArray lblSW2Function{"lblSW2Function", ControlKind::Label, {0, 1, 2, 3, 4, 5, 6, 7}};
    Control frameSW3m{"frameSW3m", ControlKind::Frame};
    Control lblSW3{"lblSW3", ControlKind::Label};
    ControlArray frameSW3{"frameSW3", ControlKind::Frame, {0, 1, 2, 3, 4, 5, 6, 7}};
    ControlArray optSW3ON{"optSW3ON", ControlKind::Option, {0, 1, 2, 3, 4, 5, 6, 7}};
    ControlArray optSW3OFF{"optSW3OFF", ControlKind::Option, {0, 1, 2, 3, 4, 5, 6, 7}};
    ControlArray lblSW3Function{"lblSW3Function", ControlKind::Label, {0, 1, 2, 3, 4, 5, 6, 7}};
    Control frameSW4m{"frameSW4m", ControlKind::Frame};
    Control Label1{"Label1", ControlKind::Label};
    ControlArray frameSW4{"frameSW4", ControlKind::Frame, {0, 1, 2, 3, 4, 5, 6, 7}};
    ControlArray optSW4ON{"optSW4ON", ControlKind::Option, {0, 1, 2, 3, 4, 5, 6, 7}};
    ControlArray optSW4OFF{"optSW4OFF", ControlKind::Option, {0, 1, 2, 3, 4, 5, 6, 7}};
    ControlArray lblSW4Function{"lblSW4Function", ControlKind::Label, {0, 1, 2, 3, 4, 5, 6, 7}};

    // Tab 5: language settings to write.
    Control frameChangeCP{"frameChangeCP", ControlKind::Frame};
    Control Text4{"Text4", ControlKind::TextBox};
    Control comboCodePage{"comboCodePage", ControlKind::Combo};
    Control comboCodePageName{"comboCodePageName", ControlKind::Combo};
    Control Text7{"Text7", ControlKind::TextBox};
    Control comboInterChars{"comboInterChars", ControlKind::Combo};
    Control frameDensity{"frameDensity", ControlKind::Frame};
    Control Text2{"Text2", ControlKind::TextBox};
    Control comboDensity{"comboDensity", ControlKind::Combo};
    Control frameNew8x16{"frameNew8x16", ControlKind::Frame};
    Control Text3{"Text3", ControlKind::TextBox};
    Control comboNew8x16{"comboNew8x16", ControlKind::Combo};
    Control frameTHAI{"frameTHAI", ControlKind::Frame};
    Control Text5{"Text5", ControlKind::TextBox};
    Control comboTHAI{"comboTHAI", ControlKind::Combo};

    // Tab 6: the activity log.
    Control txtLOG{"txtLOG", ControlKind::TextBox};
    Control cmdCLEARlst{"cmdCLEARlst", ControlKind::Button};

    Control Timer1{"Timer1", ControlKind::Timer};

    // The tab of soft switch sw, 1 to 4; any other number throws std::out_of_range.
    SwitchTab& switchTab(int sw) { return m_switchTabs.at(static_cast<std::size_t>(sw - 1)); }
    const SwitchTab& switchTab(int sw) const { return m_switchTabs.at(static_cast<std::size_t>(sw - 1)); }

    // The control a flow last gave the keyboard focus; null before any did.
    const Control* activeControl() const { return m_activeControl; }
    void setFocus(Control& control) { m_activeControl = &control; }

    // Every control in the order of the window's control tables.
    const std::vector<Control*>& controls() const { return m_controls; }
    // Every control array, in the same order.
    const std::vector<ControlArray*>& arrays() const { return m_arrays; }
    Control* find(const std::string& name) const;
    ControlArray* findArray(const std::string& name) const;

    // Whether a person could act on the control now: it and all its
    // containers are enabled and visible, and its tab page is selected.
    bool reachable(const Control& control) const;

private:
    void add(Control& control, Control* container, const std::string& caption = {});
    void add(ControlArray& array, Control* container);
    void buildSwitchTab(int sw, const char* titleCaption);

    std::array<SwitchTab, kSwitchCount> m_switchTabs{{
        {frameSW1m, lblSW1, frameSW1, optSW1ON, optSW1OFF, lblSW1Function},
        {frameSW2m, lblSW2, frameSW2, optSW2ON, optSW2OFF, lblSW2Function},
        {frameSW3m, lblSW3, frameSW3, optSW3ON, optSW3OFF, lblSW3Function},
        {frameSW4m, Label1, frameSW4, optSW4ON, optSW4OFF, lblSW4Function},
    }};
    const Control* m_activeControl = nullptr;
    std::vector<Control*> m_controls;
    std::vector<ControlArray*> m_arrays;
};

} // namespace softswitch
