#include "receiptfolder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>

#include <cstring>
#include <utility>

namespace render {
namespace {

// 203 dots an inch in the PNG's pixels-per-metre field.
constexpr int kDotsPerMetre = (kDotsPerInch * 10000 + 127) / 254;
// Qt's PNG quality picks the zlib level: a light one packs a receipt well
// enough and several times faster than the default.
constexpr int kPngQuality = 80;

}  // namespace

ReceiptFolder::ReceiptFolder(std::string path) : m_path(std::move(path))
{
    QDir dir(QString::fromStdString(m_path));
    dir.mkpath(QStringLiteral("."));
    static const QRegularExpression numbered(QStringLiteral("^receipt-(\\d+)\\.(png|txt)$"));
    for (const QString& name : dir.entryList(QDir::Files)) {
        auto match = numbered.match(name);
        if (match.hasMatch())
            m_next = std::max(m_next, match.captured(1).toInt() + 1);
    }
}

std::string ReceiptFolder::write(const Receipt& receipt)
{
    const Canvas& page = receipt.page;
    // One bit a dot, black as palette entry 1: a small file, quickly packed.
    QImage image(page.width(), std::max(1, page.height()), QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    for (int y = 0; y < page.height(); ++y) {
        uchar* line = image.scanLine(y);
        const std::uint8_t* dots = page.row(y);
        for (int x = 0; x < page.width(); ++x)
            if (dots[x])
                line[x >> 3] |= uchar(0x80 >> (x & 7));
    }
    image.setDotsPerMeterX(kDotsPerMetre);
    image.setDotsPerMeterY(kDotsPerMetre);
    const QString base = QDir(QString::fromStdString(m_path)).filePath(QStringLiteral("receipt-%1").arg(m_next++, 4, 10, QLatin1Char('0')));
    if (!image.save(base + QStringLiteral(".png"), "PNG", kPngQuality))
        return {};
    QFile text(base + QStringLiteral(".txt"));
    if (!text.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    for (const auto& line : receipt.lines) {
        text.write(line.data(), qint64(line.size()));
        text.write("\n", 1);
    }
    return (base + QStringLiteral(".png")).toStdString();
}

}  // namespace render
