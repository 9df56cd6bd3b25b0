#include "codepages.h"

#include <iconv.h>

#include <array>
#include <map>
#include <mutex>
#include <string_view>
#include <utility>

namespace render {
namespace {

struct CodePage {
    int n;
    std::string_view iconvName;
};

// ESC t numbers of the usual ESC/POS code page table, by the name the C
// library's converter knows them under. Pages it has no converter for
// (Katakana, the Thai ROM pages, the user page) are left out: ESC t with
// them is ignored.
constexpr std::array kCodePages{
    CodePage{0, "CP437"},    CodePage{2, "CP850"},       CodePage{3, "CP860"},    CodePage{4, "CP863"},
    CodePage{5, "CP865"},    CodePage{13, "CP857"},      CodePage{14, "CP737"},   CodePage{15, "ISO-8859-7"},
    CodePage{16, "CP1252"},  CodePage{17, "CP866"},      CodePage{18, "CP852"},   CodePage{19, "CP858"},
    CodePage{33, "CP775"},      CodePage{34, "CP855"},   CodePage{36, "CP862"},
    CodePage{37, "CP864"},   CodePage{39, "ISO-8859-2"}, CodePage{40, "ISO-8859-15"},
    CodePage{45, "CP1250"},  CodePage{46, "CP1251"},     CodePage{47, "CP1253"},  CodePage{48, "CP1254"},
    CodePage{49, "CP1255"},  CodePage{50, "CP1256"},     CodePage{51, "CP1257"},  CodePage{52, "CP1258"},
};

// The twelve ASCII positions an international set replaces, and what each
// ESC R n prints there.
constexpr std::array<std::uint8_t, 12> kNationalPositions{0x23, 0x24, 0x40, 0x5B, 0x5C, 0x5D,
                                                          0x5E, 0x60, 0x7B, 0x7C, 0x7D, 0x7E};
constexpr std::array<std::u32string_view, 14> kInternationalSets{
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
};

using UpperHalf = std::array<char32_t, 128>;

UpperHalf buildUpperHalf(std::string_view iconvName)
{
    UpperHalf table{};
    table.fill(U'?');
    iconv_t cd = iconv_open("UTF-32LE", std::string(iconvName).c_str());
    if (cd == iconv_t(-1))
        return table;
    for (int b = 0x80; b < 0x100; ++b) {
        char in = static_cast<char>(b);
        unsigned char out[4] = {};
        char* inPtr = &in;
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t inLeft = 1, outLeft = 4;
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != std::size_t(-1) && outLeft == 0)
            table[b - 0x80] = char32_t(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return table;
}

const CodePage* findCodePage(int n)
{
    for (const auto& page : kCodePages)
        if (page.n == n)
            return &page;
    return nullptr;
}

const UpperHalf& upperHalf(int n)
{
    static std::mutex lock;
    static std::map<int, UpperHalf> tables;
    std::lock_guard guard(lock);
    auto found = tables.find(n);
    if (found == tables.end()) {
        const CodePage* page = findCodePage(n);
        found = tables.emplace(n, buildUpperHalf(page ? page->iconvName : "CP437")).first;
    }
    return found->second;
}

}  // namespace

bool hasCodePage(int n) { return findCodePage(n) != nullptr; }

bool hasInternationalSet(int n) { return n >= 0 && n < int(kInternationalSets.size()); }

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
