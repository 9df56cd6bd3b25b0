#pragma once
// Every barcode and two-dimensional code zxing-cpp finds in a PNG file.
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <QImage>
#include <QString>

#include <ostream>
#include <string>
#include <vector>

struct DecodedCode {
    ZXing::BarcodeFormat format;
    std::string text;
    auto operator<=>(const DecodedCode&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const DecodedCode& code)
{
    return out << ZXing::ToString(code.format) << " \"" << code.text << '"';
}

inline std::vector<DecodedCode> decodeCodes(const std::string& pngPath)
{
    const QImage image = QImage(QString::fromStdString(pngPath)).convertToFormat(QImage::Format_Grayscale8);
    ZXing::DecodeHints hints;
    hints.setTryHarder(true);
    const ZXing::ImageView view(image.constBits(), image.width(), image.height(), ZXing::ImageFormat::Lum,
                                int(image.bytesPerLine()));
    std::vector<DecodedCode> codes;
    for (const auto& result : ZXing::ReadBarcodes(view, hints))
        codes.push_back({result.format(), result.text()});
    return codes;
}
