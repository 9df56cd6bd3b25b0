#include "symbols.h"

#include <zint.h>

#include <array>
#include <memory>

namespace render {
namespace {

struct ZintDeleter {
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};
using ZintSymbol = std::unique_ptr<zint_symbol, ZintDeleter>;

// zint keeps each row's modules as bits, eight modules a byte.
bool moduleSet(const zint_symbol& symbol, int row, int column)
{
    return (symbol.encoded_data[row][column >> 3] >> (column & 7) & 1) != 0;
}

std::optional<ModuleGrid> encode(int symbology, const std::string& data, int option1, int option2)
{
    if (data.empty())
        return std::nullopt;
    ZintSymbol symbol(ZBarcode_Create());
    symbol->symbology = symbology;
    symbol->option_1 = option1;
    symbol->option_2 = option2;
    symbol->show_hrt = 0;
    symbol->input_mode = DATA_MODE;
    if (ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.data()), int(data.size())) >= ZINT_ERROR)
        return std::nullopt;
    ModuleGrid grid;
    grid.columns = symbol->width;
    for (int r = 0; r < symbol->rows; ++r) {
        std::vector<bool> row(std::size_t(symbol->width));
        for (int c = 0; c < symbol->width; ++c)
            row[std::size_t(c)] = moduleSet(*symbol, r, c);
        grid.rows.push_back(std::move(row));
    }
    return grid;
}

struct GsKSystem {
    int m;
    Barcode system;
};
constexpr std::array kGsKSystems{
    GsKSystem{0, Barcode::UpcA},     GsKSystem{1, Barcode::UpcE},     GsKSystem{2, Barcode::Ean13},
    GsKSystem{3, Barcode::Ean8},     GsKSystem{4, Barcode::Code39},   GsKSystem{5, Barcode::Itf},
    GsKSystem{6, Barcode::Codabar},  GsKSystem{65, Barcode::UpcA},    GsKSystem{66, Barcode::UpcE},
    GsKSystem{67, Barcode::Ean13},   GsKSystem{68, Barcode::Ean8},    GsKSystem{69, Barcode::Code39},
    GsKSystem{70, Barcode::Itf},     GsKSystem{71, Barcode::Codabar}, GsKSystem{72, Barcode::Code93},
    GsKSystem{73, Barcode::Code128},
};

}  // namespace

std::optional<Barcode> barcodeForGsK(int m)
{
    for (const auto& row : kGsKSystems)
        if (row.m == m)
            return row.system;
    return std::nullopt;
}

std::string barcodeText(Barcode system, const std::string& data)
{
    std::string text;
    if (system == Barcode::Code39) {
        for (char c : data)
            if (c != '*')
                text += c;
        return text;
    }
    if (system != Barcode::Code128)
        return data;
    bool setC = false;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] == '{' && i + 1 < data.size()) {
            char selector = data[++i];
            if (selector == '{')
                text += '{';
            else
                setC = selector == 'C';
            continue;  // other selectors (FNC, SHIFT) carry no text
        }
        auto byte = static_cast<unsigned char>(data[i]);
        if (setC && byte < 100) {
            text += char('0' + byte / 10);
            text += char('0' + byte % 10);
        } else {
            text += data[i];
        }
    }
    return text;
}

std::optional<ModuleGrid> encodeBarcode(Barcode system, const std::string& text)
{
    switch (system) {
    case Barcode::UpcA: return encode(BARCODE_UPCA, text, 0, 0);
    case Barcode::UpcE: return encode(BARCODE_UPCE, text, 0, 0);
    case Barcode::Ean13:
    case Barcode::Ean8: return encode(BARCODE_EANX, text, 0, 0);
    case Barcode::Code39: return encode(BARCODE_CODE39, text, 0, 0);
    case Barcode::Itf: return encode(BARCODE_C25INTER, text, 0, 0);
    case Barcode::Codabar: return encode(BARCODE_CODABAR, text, 0, 0);
    case Barcode::Code93: return encode(BARCODE_CODE93, text, 0, 0);
    case Barcode::Code128: return encode(BARCODE_CODE128, text, 0, 0);
    }
    return std::nullopt;
}

std::optional<ModuleGrid> encodeQr(const std::string& data, int errorLevel)
{
    return encode(BARCODE_QRCODE, data, errorLevel + 1, 0);
}

std::optional<ModuleGrid> encodePdf417(const std::string& data, int columns, int errorLevel)
{
    return encode(BARCODE_PDF417, data, errorLevel, columns);
}

}  // namespace render
