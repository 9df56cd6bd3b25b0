#pragma once
// Character shapes drawn by Qt from DejaVu Sans Mono, hinted and without
// smoothing at the largest pixel size whose advance and height fit the cell.
// An outline font has every character of the code pages the printer offers
// (Latin, Greek, Cyrillic, Hebrew, Arabic, box drawing); Qt takes only one
// strike of a bitmap font (Terminus OTB gives 6 x 12 for any size asked) and
// would leave font A half its height.

#include "glyphsource.h"

#include <memory>

namespace render {

class QtGlyphSource : public GlyphSource {
public:
    QtGlyphSource();
    ~QtGlyphSource() override;
    const Canvas& glyph(Font font, char32_t character) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace render
