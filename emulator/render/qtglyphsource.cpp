#include "qtglyphsource.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <map>
#include <utility>

namespace render {
namespace {

struct FontFace {
    QFont font;
    int baseline = 0;  // dots from the top of the cell
};

FontFace fitFont(CellSize cell)
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    font.setHintingPreference(QFont::PreferFullHinting);
    for (int size = cell.height; size > 4; --size) {
        font.setPixelSize(size);
        QFontMetrics metrics(font);
        if (metrics.horizontalAdvance(QLatin1Char('M')) <= cell.width && metrics.ascent() + metrics.descent() <= cell.height)
            return {font, (cell.height - metrics.ascent() - metrics.descent()) / 2 + metrics.ascent()};
    }
    return {font, cell.height * 3 / 4};
}

}  // namespace

struct QtGlyphSource::Private {
    FontFace faces[2] = {fitFont(cellSize(Font::A)), fitFont(cellSize(Font::B))};
    std::map<std::pair<int, char32_t>, Canvas> cache;
};

QtGlyphSource::QtGlyphSource() : d(std::make_unique<Private>()) {}
QtGlyphSource::~QtGlyphSource() = default;

const Canvas& QtGlyphSource::glyph(Font font, char32_t character)
{
    const auto key = std::pair(static_cast<int>(font), character);
    if (auto found = d->cache.find(key); found != d->cache.end())
        return found->second;
    const CellSize cell = cellSize(font);
    const FontFace& face = d->faces[static_cast<int>(font)];
    QImage image(cell.width, cell.height, QImage::Format_Grayscale8);
    image.fill(255);
    {
        QPainter painter(&image);
        painter.setFont(face.font);
        painter.setPen(Qt::black);
        const QString text = QString::fromUcs4(&character, 1);
        const int advance = QFontMetrics(face.font).horizontalAdvance(text);
        painter.drawText((cell.width - advance) / 2, face.baseline, text);
    }
    Canvas dots(cell.width, cell.height);
    for (int y = 0; y < cell.height; ++y) {
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < cell.width; ++x)
            if (line[x] < 128)
                dots.set(x, y);
    }
    return d->cache.emplace(key, std::move(dots)).first->second;
}

}  // namespace render
