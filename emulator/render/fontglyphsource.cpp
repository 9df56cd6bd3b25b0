#include "fontglyphsource.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <utility>

namespace render {
namespace {

constexpr const char* kBitmapFont = "/usr/share/fonts/opentype/terminus/terminus-normal.otb";
constexpr const char* kOutlineFont = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

// The strike height used for each font's cell.
constexpr int strikeHeight(Font font) { return font == Font::A ? 24 : 16; }

// Draws the face's current glyph into the cell with its baseline at `baseline`.
void blit(FT_GlyphSlot slot, Canvas& cell, int left, int baseline)
{
    const FT_Bitmap& bitmap = slot->bitmap;
    for (unsigned y = 0; y < bitmap.rows; ++y)
        for (unsigned x = 0; x < bitmap.width; ++x) {
            const unsigned char* row = bitmap.buffer + int(y) * bitmap.pitch;
            const bool dark = bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? (row[x >> 3] >> (7 - (x & 7)) & 1) != 0
                                                                      : row[x] >= 128;
            if (dark)
                cell.set(left + slot->bitmap_left + int(x), baseline - slot->bitmap_top + int(y));
        }
}

}  // namespace

struct FontGlyphSource::Private {
    FT_Library library = nullptr;
    FT_Face bitmapFace = nullptr;
    FT_Face outlineFace = nullptr;
    int strike[2] = {-1, -1};
    int outlineSize[2] = {0, 0};
    std::map<std::pair<int, char32_t>, Canvas> cache;

    Private()
    {
        if (FT_Init_FreeType(&library) != 0)
            return;
        if (FT_New_Face(library, kBitmapFont, 0, &bitmapFace) != 0)
            bitmapFace = nullptr;
        if (FT_New_Face(library, kOutlineFont, 0, &outlineFace) != 0)
            outlineFace = nullptr;
        for (Font font : {Font::A, Font::B}) {
            const int i = static_cast<int>(font);
            if (bitmapFace)
                for (int s = 0; s < bitmapFace->num_fixed_sizes; ++s)
                    if (bitmapFace->available_sizes[s].height == strikeHeight(font))
                        strike[i] = s;
            // The largest outline size whose advance fits the cell width.
            if (outlineFace)
                for (int size = cellSize(font).height; size > 4 && outlineSize[i] == 0; --size) {
                    FT_Set_Pixel_Sizes(outlineFace, 0, FT_UInt(size));
                    if (FT_Load_Char(outlineFace, 'M', FT_LOAD_TARGET_MONO) == 0 &&
                        (outlineFace->glyph->advance.x >> 6) <= cellSize(font).width &&
                        (outlineFace->size->metrics.height >> 6) <= cellSize(font).height)
                        outlineSize[i] = size;
                }
        }
    }
    ~Private()
    {
        if (bitmapFace)
            FT_Done_Face(bitmapFace);
        if (outlineFace)
            FT_Done_Face(outlineFace);
        if (library)
            FT_Done_FreeType(library);
    }

    Canvas draw(Font font, char32_t character)
    {
        const int i = static_cast<int>(font);
        Canvas cell(cellSize(font).width, cellSize(font).height);
        if (bitmapFace && strike[i] >= 0 && FT_Get_Char_Index(bitmapFace, character) != 0) {
            FT_Select_Size(bitmapFace, strike[i]);
            if (FT_Load_Char(bitmapFace, character, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0) {
                blit(bitmapFace->glyph, cell, 0, int(bitmapFace->size->metrics.ascender >> 6));
                return cell;
            }
        }
        if (outlineFace && outlineSize[i] > 0 && FT_Get_Char_Index(outlineFace, character) != 0) {
            FT_Set_Pixel_Sizes(outlineFace, 0, FT_UInt(outlineSize[i]));
            if (FT_Load_Char(outlineFace, character, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0) {
                const int ascender = int(outlineFace->size->metrics.ascender >> 6);
                const int height = int(outlineFace->size->metrics.height >> 6);
                const int advance = int(outlineFace->glyph->advance.x >> 6);
                blit(outlineFace->glyph, cell, (cell.width() - advance) / 2, (cell.height() - height) / 2 + ascender);
            }
        }
        return cell;
    }
};

FontGlyphSource::FontGlyphSource() : d(std::make_unique<Private>()) {}
FontGlyphSource::~FontGlyphSource() = default;

bool FontGlyphSource::loaded() const { return d->bitmapFace != nullptr || d->outlineFace != nullptr; }

const Canvas& FontGlyphSource::glyph(Font font, char32_t character)
{
    const auto key = std::pair(static_cast<int>(font), character);
    if (auto found = d->cache.find(key); found != d->cache.end())
        return found->second;
    return d->cache.emplace(key, d->draw(font, character)).first->second;
}

}  // namespace render
