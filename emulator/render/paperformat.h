#pragma once
// The paper a printer has loaded, as its switch 1 says: the paper width and
// the printable width in dots at 203 dpi.

#include <cstdint>
#include <string>
#include <string_view>

namespace render {

inline constexpr int kDotsPerInch = 203;

struct PaperFormat {
    int paperMm = 80;
    int printableDots = 576;

    // The paper's full width in dots; the printable width sits in its middle.
    int paperDots() const { return (paperMm * kDotsPerInch * 10 + 127) / 254; }
    bool operator==(const PaperFormat&) const = default;
};

// Read from the texts the switch catalogue shows for this model and switch
// byte. A model whose switch 1 says nothing of the paper prints on 80 mm
// paper, 576 dots wide; 58 mm paper without a stated dot count prints 384
// dots (48 mm), as common 58 mm printers do.
PaperFormat paperFormat(std::string_view model, std::uint8_t sw1);

}  // namespace render
