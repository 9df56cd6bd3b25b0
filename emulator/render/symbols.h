#pragma once
// Barcodes and two-dimensional codes as module grids, encoded by libzint.
// The printer decides the size of a module; this only says which are dark.

#include <optional>
#include <string>
#include <vector>

namespace render {

struct ModuleGrid {
    int columns = 0;
    std::vector<std::vector<bool>> rows;  // one entry per row of modules
    bool dark(int column, int row) const { return rows[std::size_t(row)][std::size_t(column)]; }
};

// The GS k barcode systems (m 0..6 and 65..73 name the same systems).
enum class Barcode { UpcA, UpcE, Ean13, Ean8, Code39, Itf, Codabar, Code93, Code128 };

// What GS k m prints, or nothing for an unknown system.
std::optional<Barcode> barcodeForGsK(int m);

// The data as the barcode carries it: CODE128's code set selectors ("{A",
// "{B", "{C", the bytes of set C two digits each) resolved, CODE39's start
// and stop stars dropped. This is also the human readable text.
std::string barcodeText(Barcode system, const std::string& data);

// A linear barcode as one row of modules; empty when the data does not fit
// the system (a printer then prints nothing).
std::optional<ModuleGrid> encodeBarcode(Barcode system, const std::string& text);

// QR Code with error correction 0..3 (L, M, Q, H).
std::optional<ModuleGrid> encodeQr(const std::string& data, int errorLevel);

// PDF417 with the given data columns (0 automatic) and error level (-1 automatic).
std::optional<ModuleGrid> encodePdf417(const std::string& data, int columns, int errorLevel);

}  // namespace render
