#pragma once
// Character shapes from Debian's bitmap font Terminus (OTB), drawn by
// FreeType from its hand-made strikes: the 12 x 24 strike is font A exactly,
// the 8 x 16 strike sits in font B's 9 x 17 cell with the printer's one-dot
// gaps. Characters Terminus lacks (Hebrew, Arabic, Thai of the code pages)
// come from DejaVu Sans Mono, drawn without smoothing to fit the cell.
// A bitmap font keeps the printed look of a thermal printer's ROM font, and
// FreeType needs no display or GUI application, so the emulator stays a
// plain console program.

#include "glyphsource.h"

#include <memory>

namespace render {

class FontGlyphSource : public GlyphSource {
public:
    FontGlyphSource();
    ~FontGlyphSource() override;
    // False when no font file could be opened: every glyph is then blank.
    bool loaded() const;
    const Canvas& glyph(Font font, char32_t character) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace render
