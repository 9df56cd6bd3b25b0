#pragma once
// Reading a soft switch: the byte the printer reports, shown as the eight
// ON/OFF pairs of its tab, each bit then described for the connected model.

#include "form/text.h"
#include "link/context.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

namespace softswitch {

// The switch byte a reply stands for: its leading number, rounded to the
// nearest integer with halves to the even neighbour; nothing when that number
// lies outside 0..255. Inline so it can be checked without the link.
inline std::optional<std::int16_t> switchValue(std::string_view reply)
{
    const double number = leadingNumber(reply);
    if (number < 0 || number > 255)
        return std::nullopt;
    return static_cast<std::int16_t>(std::nearbyint(number));
}

class SwitchReadout {
public:
    explicit SwitchReadout(Context& ctx) : m_ctx(ctx) {}

    // getSW1..getSW4: reads switch sw (1 to 4); true when a value 0..255 was
    // shown. Clears SettingsChanged either way.
    bool getSW(int sw);
    // ShowSwitch1Bits..ShowSwitch4Bits: a 1 bit selects OFF, a 0 bit ON; then
    // every bit is described, in ascending order, once all eight are set.
    void ShowSwitchBits(int sw, std::int16_t value);

private:
    Context& m_ctx;
};

} // namespace softswitch
