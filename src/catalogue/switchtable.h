#pragma once
// The words the switch catalogues are written in. A catalogue is a list of
// steps; describing a clicked index runs, in order, every step that names the
// index and whose model test holds. A step bold-marks pairs, then tries its
// rows: the first row whose model test holds decides, or, in an EveryRow step,
// every such row writes. A row's write reads buttons and sets one caption.
//
// Numbering follows the tables: a step names the clicked Index (0..7), bits()
// and ofBit() name bit numbers (1..8), toLabel() and pairs() name the control
// index (0..7), so toLabel(1) writes lblSWnFunction(1), the label of bit 2.

#include "catalogue/modelfamilies.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace softswitch::catalogue {

// The button of a pair that a combination needs selected.
enum class Button : std::uint8_t { Off, On };

// Marks the clicked index where a write or a pair is not fixed.
inline constexpr int kClicked = -1;

// A set of clicked indices.
struct Indices {
    std::uint8_t mask = 0;
    constexpr bool has(int index) const { return index >= 0 && index < 8 && (mask >> index & 1) != 0; }
};
template <class... I>
constexpr Indices index(I... indices)
{
    return {static_cast<std::uint8_t>(((1u << indices) | ...))};
}
inline constexpr Indices anyIndex{0xFF};

// Which pairs get their selected button shown bold: the clicked one, fixed
// ones, or none.
struct Pairs {
    bool clicked = false;
    std::uint8_t fixed = 0;
};
inline constexpr Pairs clickedPair{true, 0};
template <class... I>
constexpr Pairs pairs(I... indices)
{
    return {false, static_cast<std::uint8_t>(((1u << indices) | ...))};
}

// One OR of model tests (or a named family), possibly negated.
struct Clause {
    std::vector<ModelTest> tests;
    std::optional<Family> family;
    bool negated = false;
    bool holds(std::string_view name) const;
};

// A model test of a step or a row: every clause holds. No clause: any model.
struct Models {
    std::vector<Clause> clauses;
    bool holds(std::string_view name) const;
};
inline const Models anyModel{};

template <class... T>
Models anyOf(T... tests)
{
    return {{Clause{{tests...}, std::nullopt, false}}};
}
template <class... T>
Models noneOf(T... tests)
{
    return {{Clause{{tests...}, std::nullopt, true}}};
}
inline Models inFamily(Family family) { return {{Clause{{}, family, false}}}; }
Models operator&&(Models left, const Models& right);
// The negation of a single OR (one clause); more clauses throw std::logic_error.
Models operator!(Models single);

// How a write reads the buttons.
enum class Form : std::uint8_t {
    Nothing,   // no text: the label keeps its caption
    Always,    // the same text whatever the buttons say
    OffOnly,   // OFF text when the OFF button is selected, else the ON text ("two-way")
    OffThenOn, // OFF text, else ON text when ON is selected, else nothing ("three-way")
    Field,     // the text of the first combination whose buttons are all selected
};

// One row of a multi-bit field: the button of each column, and the text
// (noText: the combination holds but nothing is written).
struct Combination {
    std::vector<Button> buttons;
    std::optional<std::string_view> text;
};
inline constexpr std::nullopt_t noText = std::nullopt;

// The bit numbers of a field's columns, in the table's order.
struct Bits {
    std::vector<int> indices;
};
template <class... N>
Bits bits(N... numbers)
{
    return {{(numbers - 1)...}};
}

struct Write {
    Form form = Form::Nothing;
    std::string_view off{};                  // OffOnly, OffThenOn; Always writes it
    std::string_view on{};                   // OffOnly, OffThenOn
    std::vector<int> columns{};              // Field: bit indices
    std::vector<Combination> combinations{}; // Field, tried in order
    std::optional<std::string_view> otherwise{}; // Field: when no combination holds
    int bit = kClicked;                      // single-bit forms: the pair tested
    int label = kClicked;                    // the caption written
    Pairs bold{};                            // bold-marked first, inside this branch only

    // The single bit tested is bit `number` (1..8), not the clicked one.
    Write ofBit(int number) const;
    // The caption written is lblSWnFunction(index), not the clicked one's.
    Write toLabel(int index) const;
};

Write nothing();
Write always(std::string_view text);
Write offOnly(std::string_view off, std::string_view on);
Write offThenOn(std::string_view off, std::string_view on);
Write field(Bits columns, std::vector<Combination> combinations,
            std::optional<std::string_view> otherwise = noText);
// The write, with the clicked pair bold-marked just before it.
Write boldFirst(Write write);

struct Row {
    Models when;
    Write write;
};

enum class Choose : std::uint8_t { FirstRow, EveryRow };

struct Step {
    Indices on;                  // the clicked indices that run it
    Models when = anyModel;      // the model test that guards the whole step
    Pairs bold{};                // bold-marked before the rows
    Choose choose = Choose::FirstRow;
    std::vector<Row> rows{};
};

// The four catalogues, each in the order its steps run.
std::span<const Step> Switch1Steps();
std::span<const Step> Switch2Steps();
std::span<const Step> Switch3Steps();
std::span<const Step> Switch4Steps();

} // namespace softswitch::catalogue
