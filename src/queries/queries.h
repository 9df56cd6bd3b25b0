#pragma once
// The printer queries and the two flows that run them, on one context.

#include "link/context.h"
#include "queries/communicationtest.h"
#include "queries/languageinfo.h"
#include "queries/printerinfo.h"
#include "queries/settingsreader.h"
#include "queries/switchreadout.h"

namespace softswitch {

struct Queries {
    explicit Queries(Context& ctx)
        : switches(ctx), language(ctx), printer(ctx), communicationTest(ctx, printer, language, switches),
          settingsReader(ctx, language, switches)
    {
    }
    Queries(const Queries&) = delete;
    Queries& operator=(const Queries&) = delete;

    SwitchReadout switches;
    LanguageInfo language;
    PrinterInfo printer;
    CommunicationTest communicationTest;
    SettingsReader settingsReader;
};

} // namespace softswitch
