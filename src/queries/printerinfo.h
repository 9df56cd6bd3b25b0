#pragma once
// The queries that identify the printer: the maker check, the model name on
// which every model decision rests, the firmware, serial number and counters,
// each shown as received on the "Printer Infomation" tab.

#include "link/context.h"

#include <cstdint>

namespace softswitch {

class PrinterInfo {
public:
    explicit PrinterInfo(Context& ctx) : m_ctx(ctx) {}

    // True when the maker word is in the reply; then the welcome message has
    // been shown and closed.
    bool getMakerInfo();
    // The model name into lblKR_INFO(0): one more try after an empty reply,
    // one repeated query after a reply beginning with ";1".
    bool getPrinterInfo1();
    bool getPrinterInfo2();
    bool getPrinterInfo3();
    bool getPrinterInfo3a();
    // selector 0: the cut count; any other value: the failed cuts.
    bool getPrinterInfo4(std::int16_t selector);
    // selector 0: the serial number; any other value: the installation date.
    bool getPrinterInfo5(std::int16_t selector);

private:
    // The reply as it came into the query's label, when there is one.
    bool plainQuery(std::size_t row);

    Context& m_ctx;
};

} // namespace softswitch
