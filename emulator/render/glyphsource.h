#pragma once
// Where the character shapes come from: a cell-sized bitmap per character
// of each resident font.

#include "canvas.h"

namespace render {

enum class Font { A, B };

struct CellSize {
    int width;
    int height;
};
// Font A is 12 x 24 dots, font B 9 x 17, as on a 203 dpi receipt printer.
constexpr CellSize cellSize(Font font) { return font == Font::A ? CellSize{12, 24} : CellSize{9, 17}; }

class GlyphSource {
public:
    virtual ~GlyphSource() = default;
    // A canvas of exactly cellSize(font) holding the character's dots.
    virtual const Canvas& glyph(Font font, char32_t character) = 0;
};

}  // namespace render
