#include "form/form1.h"

#include "form/windowlists.h"

namespace softswitch {

namespace {

template <std::size_t N>
std::vector<std::string> toList(const std::array<std::string_view, N>& entries)
{
    return {entries.begin(), entries.end()};
}

// Start captions of the function labels per bit index; a label its catalogue
// never writes keeps this text for good.
constexpr std::array<std::array<const char*, 8>, 4> kFunctionPlaceholders = {{
    {"=", "", "=", "=", " = ", " = ", " = ", " = "},
    {"1", "", "=", "=", " = ", " = ", " = ", " = "},
    {" =", " =", " = ", " = ", " = ", " = ", " = ", " = "},
    {" =", " =", " = ", " = ", " = ", " = ", " = ", " = "},
}};

void makeGroup(std::initializer_list<Control*> members)
{
    for (Control* member : members)
        for (Control* other : members)
            if (other != member)
                member->group.push_back(other);
}

} // namespace

Form1::Form1()
{
    Caption = std::string(kAppTitle) + " " + kAppVersion;

    add(lblPORT, nullptr, "Printer port selection:");
    add(Combo1, nullptr);
    Combo1.list = toList(lists::kPorts);
    Combo1.setText("COM1");
    add(frameCOMm, nullptr);
    add(frameCOM, &frameCOMm);
    frameCOM[0].setCaption("BaudRate");
    frameCOM[1].setCaption("Handshaking");
    frameCOM[2].setCaption("ParityCheck");
    add(com_BR_115200, &frameCOM[0], "115200");
    add(com_BR_38400, &frameCOM[0], "38400");
    add(com_BR_19200, &frameCOM[0], "19200");
    add(com_BR_9600, &frameCOM[0], "9600");
    add(com_HS_HW, &frameCOM[1], "DTR/DSR");
    add(com_HS_SW, &frameCOM[1], "XON/XOFF");
    add(com_PK_EVEN, &frameCOM[2], "EVEN");
    add(com_PK_NONE, &frameCOM[2], "NONE");
    makeGroup({&com_BR_115200, &com_BR_38400, &com_BR_19200, &com_BR_9600});
    makeGroup({&com_HS_HW, &com_HS_SW});
    makeGroup({&com_PK_EVEN, &com_PK_NONE});
    com_BR_115200.setValue(true);
    com_HS_HW.setValue(true);
    com_PK_NONE.setValue(true);

    add(frameTCPIP, nullptr);
    frameTCPIP.Visible = false;
    add(tcpLBL1, &frameTCPIP, "IP Address: ");
    add(tcpIP, &frameTCPIP);
    tcpIP.Text = kDefaultPrinterAddress;
    add(tcpLBL2, &frameTCPIP, "Listen Port: ");
    add(tcpListenPort, &frameTCPIP);
    tcpListenPort.Text = "9100";
    add(txtSTATUS, &frameTCPIP);
    add(cmdSTATUS, &frameTCPIP, "STATUS");

    add(cmdCommunicate, nullptr, "Communication Test");
    add(cmd1, nullptr, "Read Settings");
    add(cmd2, nullptr, "Write Settings");
    add(cmd01, nullptr, "Self Test");
    add(cmd02, nullptr, "Fonts Test");
    for (Control* button : {&cmd1, &cmd2, &cmd01, &cmd02})
        button->setEnabled(false);
    add(cmdHELP, nullptr, "HELP");
    add(cmdEXIT, nullptr, "EXIT");

    add(SSTab1, nullptr);
    SSTab1.Visible = false;
    SSTab1.tabCaptions = toList(lists::kTabCaptions);

    add(framePrinterInfo, &SSTab1, " Printer Information");
    framePrinterInfo.tabPage = 0;
    m_arrays.push_back(&lblINFO);
    m_arrays.push_back(&krLabel3);
    m_arrays.push_back(&lblKR_INFO);
    // Caption and value labels row by row, two columns, as laid out on the tab.
    const std::vector<std::pair<Control*, const char*>> infoRows = {
        {&lblINFO[0], "Model Name: "},        {&lblKR_INFO[0], " "},
        {&lblINFO[4], "Serial Number: "},     {&lblKR_INFO[4], " "},
        {&lblINFO[1], "Firmware Revision: "}, {&lblKR_INFO[1], " "},
        {&krLabel3[10], "InstallationDate: "}, {&lblKR_INFO[5], " "},
        {&lblINFO[2], "Hours Powered: "},     {&lblKR_INFO[2], " "},
        {&lblINFO[3], "Cut Paper Count: "},   {&lblKR_INFO[3], " "},
        {&krLabel3[22], "LinePrinted: "},     {&lblKR_INFO[6], " "},
        {&krLabel3[17], "FailedPaperCut: "},  {&lblKR_INFO[7], " "},
    };
    for (const auto& [label, caption] : infoRows)
        add(*label, &framePrinterInfo, caption);

    add(frameLanguageInfo, &SSTab1, "Language Information");
    frameLanguageInfo.tabPage = 0;
    frameLanguageInfo.Visible = false;
    m_arrays.push_back(&lblLANG_INFO);
    const std::vector<std::pair<Control*, const char*>> languageRows = {
        {&lblINFO[12], "Language Model: "},              {&lblLANG_INFO[0], " "},
        {&lblINFO[15], "Font ROM:  "},                   {&lblLANG_INFO[1], " "},
        {&lblINFO[13], "Code Page: "},                   {&lblLANG_INFO[2], " "},
        {&lblINFO[14], "International Character Set: "}, {&lblLANG_INFO[3], " "},
        {&lblINFO[11], "Print Density: "},               {&lblLANG_INFO[4], " "},
        {&lblINFO[10], "New 8x16 Font: "},               {&lblLANG_INFO[5], " "},
        {&lblINFO[5], "Thai 1Pass/3Pass: "},             {&lblLANG_INFO[6], " "},
    };
    for (const auto& [label, caption] : languageRows)
        add(*label, &frameLanguageInfo, caption);

    buildSwitchTab(1, "SW1");
    buildSwitchTab(2, "SW2");
    buildSwitchTab(3, "SW3");
    buildSwitchTab(4, "SW4");

    add(frameChangeCP, &SSTab1, "Change default language");
    add(Text4, &frameChangeCP);
    Text4.Text = "Select Code Page: ";
    add(comboCodePage, &frameChangeCP);
    comboCodePage.list = toList(lists::kCodePages);
    add(comboCodePageName, &frameChangeCP);
    comboCodePageName.list = toList(lists::kCodePageNames);
    add(Text7, &frameChangeCP);
    Text7.Text = "International Character Set: ";
    add(comboInterChars, &frameChangeCP);
    comboInterChars.list = toList(lists::kInterChars);
    add(frameDensity, &SSTab1, "Print Density");
    add(Text2, &frameDensity);
    Text2.Text = "Select print density : ";
    add(comboDensity, &frameDensity);
    comboDensity.list = toList(lists::kDensities);
    add(frameNew8x16, &SSTab1, "New 8x16 Font");
    add(Text3, &frameNew8x16);
    Text3.Text = "Select New 8x16 font : ";
    add(comboNew8x16, &frameNew8x16);
    comboNew8x16.list = toList(lists::kNew8x16);
    add(frameTHAI, &SSTab1, "Thai Font Pass");
    add(Text5, &frameTHAI);
    Text5.Text = "Thai 1Pass or 3Pass: ";
    add(comboTHAI, &frameTHAI);
    comboTHAI.list = toList(lists::kThaiPasses);
    for (Control* frame : {&frameChangeCP, &frameDensity, &frameNew8x16, &frameTHAI})
        frame->tabPage = 5;

    add(txtLOG, &SSTab1);
    add(cmdCLEARlst, &SSTab1, "Clear");
    txtLOG.tabPage = 6;
    cmdCLEARlst.tabPage = 6;

    add(Timer1, nullptr);
    Timer1.setEnabled(false);
    Timer1.Interval = static_cast<int>(kStatusTimerInterval.count());
}

void Form1::buildSwitchTab(int sw, const char* titleCaption)
{
    SwitchTab& tab = switchTab(sw);
    add(tab.frame, &SSTab1);
    tab.frame.tabPage = sw;
    tab.frame.Visible = false;
    add(tab.title, &tab.frame, titleCaption);
    add(tab.rows, &tab.frame);
    add(tab.on, nullptr);
    add(tab.off, nullptr);
    add(tab.function, &tab.frame);
    for (int i = 0; i < kSwitchBits; ++i) {
        const std::string bit = std::to_string(i + 1);
        tab.on[i].container = &tab.rows[i];
        tab.off[i].container = &tab.rows[i];
        tab.on[i].setCaption(bit + ": ON");
        tab.off[i].setCaption(bit + ": OFF");
        makeGroup({&tab.on[i], &tab.off[i]});
        tab.function[i].setCaption(kFunctionPlaceholders.at(static_cast<std::size_t>(sw - 1)).at(static_cast<std::size_t>(i)));
    }
}

void Form1::add(Control& control, Control* container, const std::string& caption)
{
    control.container = container;
    if (!caption.empty())
        control.setCaption(caption);
    m_controls.push_back(&control);
}

void Form1::add(ControlArray& array, Control* container)
{
    for (Control* element : array.all())
        add(*element, container);
    m_arrays.push_back(&array);
}

Control* Form1::find(const std::string& name) const
{
    for (Control* control : m_controls)
        if (control->name() == name)
            return control;
    return nullptr;
}

ControlArray* Form1::findArray(const std::string& name) const
{
    for (ControlArray* array : m_arrays)
        if (array->name() == name)
            return array;
    return nullptr;
}

bool Form1::reachable(const Control& control) const
{
    for (const Control* c = &control; c != nullptr; c = c->container) {
        if (!c->enabled() || !c->Visible)
            return false;
        if (c->tabPage >= 0 && c->tabPage != SSTab1.tab())
            return false;
    }
    return true;
}

} // namespace softswitch
