#pragma once
// "Communication Test": opens the chosen link, checks the maker, reads the
// printer's identity, counters, language settings and the switches its model
// calls for, and puts the window into its working state.

#include "link/context.h"
#include "queries/languageinfo.h"
#include "queries/printerinfo.h"
#include "queries/switchreadout.h"

namespace softswitch {

class CommunicationTest {
public:
    // Binds cmdCommunicate.
    CommunicationTest(Context& ctx, PrinterInfo& printer, LanguageInfo& language, SwitchReadout& switches);

    void cmdCommunicate_Click();

private:
    // Steps 3 to 10; false when the test ended early.
    bool readPrinter();
    void readSwitches();
    void enterWorkingState();
    // Re-enables the button before telling why the test stopped.
    void stop(const std::string& message, MsgIcon icon);

    Context& m_ctx;
    PrinterInfo& m_printer;
    LanguageInfo& m_language;
    SwitchReadout& m_switches;
};

} // namespace softswitch
