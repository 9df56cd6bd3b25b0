#include "catalogue/switchcatalogue.h"

#include "catalogue/switchtable.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <utility>

namespace softswitch {

namespace catalogue {

bool Clause::holds(std::string_view name) const
{
    const bool any = std::any_of(tests.begin(), tests.end(), [name](const ModelTest& test) { return test.matches(name); })
        || (family && InFamily(name, *family));
    return any != negated;
}

bool Models::holds(std::string_view name) const
{
    return std::all_of(clauses.begin(), clauses.end(), [name](const Clause& clause) { return clause.holds(name); });
}

Models operator&&(Models left, const Models& right)
{
    left.clauses.insert(left.clauses.end(), right.clauses.begin(), right.clauses.end());
    return left;
}

Models operator!(Models single)
{
    if (single.clauses.size() != 1)
        throw std::logic_error("only a single OR of model tests can be negated");
    single.clauses.front().negated = !single.clauses.front().negated;
    return single;
}

Write Write::ofBit(int number) const
{
    Write copy = *this;
    copy.bit = number - 1;
    return copy;
}

Write Write::toLabel(int index) const
{
    Write copy = *this;
    copy.label = index;
    return copy;
}

Write nothing() { return {}; }

Write always(std::string_view text) { return {.form = Form::Always, .off = text}; }

Write offOnly(std::string_view off, std::string_view on) { return {.form = Form::OffOnly, .off = off, .on = on}; }

Write offThenOn(std::string_view off, std::string_view on) { return {.form = Form::OffThenOn, .off = off, .on = on}; }

Write field(Bits columns, std::vector<Combination> combinations, std::optional<std::string_view> otherwise)
{
    return {.form = Form::Field,
            .columns = std::move(columns.indices),
            .combinations = std::move(combinations),
            .otherwise = otherwise};
}

Write boldFirst(Write write)
{
    write.bold = clickedPair;
    return write;
}

namespace {

int resolve(int where, int clicked) { return where == kClicked ? clicked : where; }

void markBold(SwitchTab& tab, const Pairs& pairs, int clicked)
{
    for (int k = 0; k < kSwitchBits; ++k) {
        if ((pairs.clicked && k == clicked) || (pairs.fixed >> k & 1) != 0) {
            tab.off[k].FontBold = tab.off[k].value();
            tab.on[k].FontBold = tab.on[k].value();
        }
    }
}

bool selected(SwitchTab& tab, int bit, Button button)
{
    return (button == Button::Off ? tab.off[bit] : tab.on[bit]).value();
}

// The text a write chooses, or none when it leaves the label alone.
std::optional<std::string_view> chosenText(SwitchTab& tab, const Write& write, int clicked)
{
    const int bit = resolve(write.bit, clicked);
    switch (write.form) {
    case Form::Nothing:
        return std::nullopt;
    case Form::Always:
        return write.off;
    case Form::OffOnly:
        return tab.off[bit].value() ? write.off : write.on;
    case Form::OffThenOn:
        if (tab.off[bit].value())
            return write.off;
        if (tab.on[bit].value())
            return write.on;
        return std::nullopt;
    case Form::Field:
        for (const Combination& combination : write.combinations) {
            bool holds = true;
            for (std::size_t column = 0; column < write.columns.size(); ++column)
                holds = holds && selected(tab, write.columns[column], combination.buttons.at(column));
            if (holds)
                return combination.text;
        }
        return write.otherwise;
    }
    return std::nullopt;
}

void apply(SwitchTab& tab, const Write& write, int clicked)
{
    markBold(tab, write.bold, clicked);
    if (const auto text = chosenText(tab, write, clicked))
        tab.function[resolve(write.label, clicked)].setCaption(std::string(*text));
}

using StepsOf = std::span<const Step> (*)();
constexpr std::array<StepsOf, kSwitchCount> kCatalogues = {Switch1Steps, Switch2Steps, Switch3Steps, Switch4Steps};

} // namespace

} // namespace catalogue

void DescribeSwitchBit(Form1& form, int sw, int index)
{
    using namespace catalogue;
    if (sw < 1 || sw > kSwitchCount || index < 0 || index >= kSwitchBits)
        return;
    SwitchTab& tab = form.switchTab(sw);
    // Read once: a describe call never writes the model label.
    const std::string name = ModelName(form);
    for (const Step& step : kCatalogues[static_cast<std::size_t>(sw - 1)]()) {
        if (!step.on.has(index) || !step.when.holds(name))
            continue;
        markBold(tab, step.bold, index);
        for (const Row& row : step.rows) {
            if (!row.when.holds(name))
                continue;
            apply(tab, row.write, index);
            if (step.choose == Choose::FirstRow)
                break;
        }
    }
}

void DescribeSwitch1Bit(Form1& form, int index) { DescribeSwitchBit(form, 1, index); }
void DescribeSwitch2Bit(Form1& form, int index) { DescribeSwitchBit(form, 2, index); }
void DescribeSwitch3Bit(Form1& form, int index) { DescribeSwitchBit(form, 3, index); }
void DescribeSwitch4Bit(Form1& form, int index) { DescribeSwitchBit(form, 4, index); }

} // namespace softswitch
