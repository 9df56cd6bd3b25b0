#include "codepages.h"

#include "form/windowlists.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <optional>
#include <mutex>
#include <string_view>
#include <utility>

namespace render {
namespace {

// ESC t takes this printer's own code page numbers, the leading numbers of
// the utility's code page list ("17 - 866 Cyrillic"). A page named by its
// number is that IBM/Windows page; the others by a word of their name.
struct NamedPage {
    std::string_view word;
    std::string_view iconvName;  // empty: JIS X 0201 katakana, built here
};
constexpr std::array kNamedPages{
    NamedPage{"Katakana", ""},         NamedPage{"Thai", "TIS-620"},     NamedPage{"KAZAKHSTAN", "RK1048"},
    NamedPage{"Armenian", "ARMSCII-8"}, NamedPage{"LITHUANIA", "CP774"},
};

// The converter name for ESC t n, or nothing when the printer has no page n.
std::optional<std::string> iconvNameFor(int n)
{
    for (std::string_view entry : softswitch::lists::kCodePages) {
        int number = -1;
        std::from_chars(entry.data(), entry.data() + entry.size(), number);
        if (number != n)
            continue;
        std::string_view name = entry.substr(entry.find('-') + 1);
        name.remove_prefix(std::min(name.find_first_not_of(' '), name.size()));
        const std::size_t digits = name.find_first_not_of("0123456789");
        if (digits > 0 && digits != std::string_view::npos)
            return "CP" + std::string(name.substr(0, digits));
        for (const auto& page : kNamedPages)
            if (name.find(page.word) != std::string_view::npos)
                return std::string(page.iconvName);
        return std::nullopt;
    }
    return std::nullopt;
}

// The twelve ASCII positions an international set replaces, and what each
// ESC R n prints there.
constexpr std::array<std::uint8_t, 12> kNationalPositions{0x23, 0x24, 0x40, 0x5B, 0x5C, 0x5D,
                                                          0x5E, 0x60, 0x7B, 0x7C, 0x7D, 0x7E};
constexpr std::array<std::u32string_view, 16> kInternationalSets{
    U"#$@[\\]^`{|}~",  // 0 U.S.A.
    U"#$à°ç§^`éùè¨",   // 1 France
    U"#$§ÄÖÜ^`äöüß",   // 2 Germany
    U"£$@[\\]^`{|}~",  // 3 U.K.
    U"#$@ÆØÅ^`æøå~",   // 4 Denmark I
    U"#¤ÉÄÖÅÜéäöåü",   // 5 Sweden
    U"#$@°\\é^ùàòèì",  // 6 Italy
    U"₧$@¡Ñ¿^`¨ñ}~",   // 7 Spain I
    U"#$@[¥]^`{|}~",   // 8 Japan
    U"#¤ÉÆØÅÜéæøåü",   // 9 Norway
    U"#$ÉÆØÅÜéæøåü",   // 10 Denmark II
    U"#$á¡Ñ¿é`íñóú",   // 11 Spain II
    U"#$á¡Ñ¿éüíñóú",   // 12 Latin America
    U"#$@[₩]^`{|}~",   // 13 Korea
    U"#$@[\\]^`{|}~",  // 14: no such set on this printer
    U"#$ŽŠĐĆČžšđćč",   // 15 Ex-Yugoslavia
};
static_assert(std::all_of(kInternationalSets.begin(), kInternationalSets.end(),
                          [](std::u32string_view set) { return set.size() == kNationalPositions.size(); }));

using UpperHalf = std::array<char32_t, 128>;

UpperHalf buildUpperHalf(const std::string& iconvName)
{
    UpperHalf table{};
    table.fill(U'?');
    if (iconvName.empty()) {
        // JIS X 0201: half-width katakana at A1..DF.
        for (int b = 0xA1; b <= 0xDF; ++b)
            table[std::size_t(b - 0x80)] = char32_t(0xFF61 + b - 0xA1);
        return table;
    }
    iconv_t cd = iconv_open("UTF-32LE", iconvName.c_str());
    if (cd == iconv_t(-1))
        return table;
    for (int b = 0x80; b < 0x100; ++b) {
        char in = static_cast<char>(b);
        unsigned char out[4] = {};
        char* inPtr = &in;
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t inLeft = 1, outLeft = 4;
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != std::size_t(-1) && outLeft == 0)
            table[std::size_t(b - 0x80)] = char32_t(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return table;
}

const UpperHalf& upperHalf(int n)
{
    static std::mutex lock;
    static std::map<int, UpperHalf> tables;
    std::lock_guard guard(lock);
    auto found = tables.find(n);
    if (found == tables.end())
        found = tables.emplace(n, buildUpperHalf(iconvNameFor(n).value_or("CP437"))).first;
    return found->second;
}

}  // namespace

bool hasCodePage(int n) { return iconvNameFor(n).has_value(); }

// The sets of this printer: the leading numbers of the utility's list.
bool hasInternationalSet(int n)
{
    return std::any_of(softswitch::lists::kInterChars.begin(), softswitch::lists::kInterChars.end(), [n](std::string_view entry) {
        int number = -1;
        std::from_chars(entry.data(), entry.data() + entry.size(), number);
        return number == n && n < int(kInternationalSets.size());
    });
}

char32_t decodeByte(std::uint8_t byte, int codePage, int internationalSet)
{
    if (byte >= 0x80)
        return upperHalf(codePage)[byte - 0x80];
    if (hasInternationalSet(internationalSet))
        for (std::size_t i = 0; i < kNationalPositions.size(); ++i)
            if (kNationalPositions[i] == byte)
                return kInternationalSets[std::size_t(internationalSet)][i];
    return byte;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | c >> 6);
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3F));
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

}  // namespace render
