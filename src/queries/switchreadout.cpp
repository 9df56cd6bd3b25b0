#include "queries/switchreadout.h"

#include "catalogue/switchcatalogue.h"
#include "queries/query.h"

#include <array>

namespace softswitch {

namespace {

const std::array<Query, kSwitchCount> kSwitchQueries = {{
    {"getSW1", {29, 103, 52, 39, 0}},
    {"getSW2", {29, 103, 52, 40, 0}},
    {"getSW3", {29, 103, 52, 41, 0}},
    {"getSW4", {29, 103, 52, 42, 0}},
}};

} // namespace

bool SwitchReadout::getSW(int sw)
{
    const Query& query = kSwitchQueries.at(static_cast<std::size_t>(sw - 1));
    const std::string text = Ask(m_ctx, query.command);
    const std::optional<std::int16_t> value = switchValue(text);
    if (value) {
        LogReply(m_ctx, query, text);
        ShowSwitchBits(sw, *value);
    }
    m_ctx.state.SettingsChanged = false;
    return value.has_value();
}

void SwitchReadout::ShowSwitchBits(int sw, std::int16_t value)
{
    SwitchTab& tab = m_ctx.form.switchTab(sw);
    const auto& masks = m_ctx.state.BitMask;
    for (int i = kSwitchBits - 1; i >= 0; --i) {
        const std::int16_t mask = masks[static_cast<std::size_t>(i)];
        if (value - mask >= 0) {
            tab.off[i].setValue(true);
            value = static_cast<std::int16_t>(value - mask);
        } else {
            tab.on[i].setValue(true);
        }
    }
    for (int i = 0; i < kSwitchBits; ++i)
        DescribeSwitchBit(m_ctx.form, sw, i);
}

} // namespace softswitch
