#include "receiptrenderer.h"

#include "codepages.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace render {
namespace {

constexpr std::uint8_t kHt = 0x09, kLf = 0x0A, kFf = 0x0C, kCr = 0x0D;
constexpr std::uint8_t kDle = 0x10, kEsc = 0x1B, kGs = 0x1D;
constexpr int kDefaultTabColumns = 8;
constexpr int kMaxTabs = 32;

// Many parameters take either the digit's ASCII code or its value.
int digit(std::uint8_t n) { return n >= '0' && n <= '9' ? n - '0' : n; }

int word(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return at + 1 < bytes.size() ? bytes[at] | bytes[at + 1] << 8 : 0;
}

std::uint8_t param(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return at < bytes.size() ? bytes[at] : 0;
}

Canvas rotated(const Canvas& source)
{
    Canvas turned(source.width(), source.height());
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            if (source.dot(x, y))
                turned.set(source.width() - 1 - x, source.height() - 1 - y);
    return turned;
}

int alignOffset(Align align, int room, int content)
{
    switch (align) {
    case Align::Left: return 0;
    case Align::Center: return std::max(0, (room - content) / 2);
    case Align::Right: return std::max(0, room - content);
    }
    return 0;
}

}  // namespace

ReceiptRenderer::ReceiptRenderer(GlyphSource& glyphs, SetupSource setup)
    : m_glyphs(glyphs), m_setup(std::move(setup))
{
    m_printer = m_setup();
    resetModes();
}

void ReceiptRenderer::resetModes()
{
    m_modes = Modes{};
    m_modes.codePage = hasCodePage(m_printer.codePage) ? m_printer.codePage : 0;
    m_modes.internationalSet = hasInternationalSet(m_printer.internationalSet) ? m_printer.internationalSet : 0;
    for (int i = 1; i <= kMaxTabs; ++i)
        m_modes.tabs.push_back(i * kDefaultTabColumns * cellSize(Font::A).width);
}

Receipt& ReceiptRenderer::paper()
{
    if (!m_receipt)
        begin();
    return *m_receipt;
}

void ReceiptRenderer::begin()
{
    PrinterSetup setup = m_setup();
    const bool settingsChanged = setup.codePage != m_printer.codePage ||
                                 setup.internationalSet != m_printer.internationalSet;
    m_printer = setup;
    if (settingsChanged) {
        m_modes.codePage = hasCodePage(setup.codePage) ? setup.codePage : 0;
        m_modes.internationalSet = hasInternationalSet(setup.internationalSet) ? setup.internationalSet : 0;
    }
    m_receipt.emplace();
    m_receipt->paper = setup.paper;
    m_receipt->page = Canvas(setup.paper.paperDots(), 0);
    m_y = 0;
}

int ReceiptRenderer::areaLeft() const { return std::clamp(m_modes.leftMargin, 0, m_printer.paper.printableDots - 1); }

int ReceiptRenderer::areaWidth() const
{
    const int room = m_printer.paper.printableDots - areaLeft();
    return m_modes.areaWidth < 0 ? room : std::clamp(m_modes.areaWidth, 1, room);
}

int ReceiptRenderer::lineHeight() const
{
    int height = 0;
    for (const auto& item : m_line)
        height = std::max(height, item.dots.height());
    return height;
}

void ReceiptRenderer::consume(const emulator::EscPosToken& token)
{
    // A real-time command inside another command's data is answered by the
    // printer, not printed; its bytes come again with the enclosing command.
    if (token.bytes.empty() || token.insideCommand)
        return;
    if (token.kind == emulator::EscPosToken::Kind::Text) {
        for (std::uint8_t byte : token.bytes)
            text(byte);
        return;
    }
    // A long command (a big raster image) arrives in pieces: draw it whole.
    if (token.continued || !m_pieces.empty()) {
        m_pieces.insert(m_pieces.end(), token.bytes.begin(), token.bytes.end());
        if (token.continued)
            return;
        command(std::exchange(m_pieces, {}));
        return;
    }
    command(token.bytes);
}

void ReceiptRenderer::text(std::uint8_t byte)
{
    paper();
    if (byte < 0x20) {
        command({byte});
        return;
    }
    putCharacter(decodeByte(byte, m_modes.codePage, m_modes.internationalSet), m_modes.font);
}

void ReceiptRenderer::putCharacter(char32_t character, Font font)
{
    const CellSize cell = cellSize(font);
    const int width = cell.width * m_modes.widthMul;
    const int height = cell.height * m_modes.heightMul;
    const int advance = width + m_modes.charSpacing * m_modes.widthMul;
    // A character that does not fit any more prints the line first.
    if (m_x > 0 && m_x + width > areaWidth())
        printLine(m_modes.lineSpacing);
    if (m_line.empty() && m_lineText.empty()) {
        m_lineUpsideDown = m_modes.upsideDown;
        m_lineAlign = m_modes.align;
    }
    const Canvas& glyph = m_glyphs.glyph(font, character);
    Canvas dots(advance, height);
    for (int y = 0; y < cell.height; ++y)
        for (int x = 0; x < cell.width; ++x)
            if (glyph.dot(x, y))
                for (int sy = 0; sy < m_modes.heightMul; ++sy)
                    for (int sx = 0; sx < m_modes.widthMul + (m_modes.bold ? 1 : 0); ++sx)
                        dots.set(x * m_modes.widthMul + sx, y * m_modes.heightMul + sy);
    for (int y = height - m_modes.underline * m_modes.heightMul; y < height; ++y)
        for (int x = 0; x < advance; ++x)
            dots.set(x, y);
    if (m_modes.reverse)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < advance; ++x)
                dots.set(x, y, !dots.dot(x, y));
    m_line.push_back({m_x, std::move(dots)});
    m_x += advance;
    appendUtf8(m_lineText, character);
}

void ReceiptRenderer::horizontalTab()
{
    paper();
    auto next = std::find_if(m_modes.tabs.begin(), m_modes.tabs.end(), [&](int tab) { return tab > m_x; });
    if (next == m_modes.tabs.end() || *next >= areaWidth())
        return;
    if (m_line.empty() && m_lineText.empty()) {
        m_lineUpsideDown = m_modes.upsideDown;
        m_lineAlign = m_modes.align;
    }
    const int cellWidth = cellSize(m_modes.font).width * m_modes.widthMul;
    const int spaces = std::max(1, (*next - m_x + cellWidth / 2) / cellWidth);
    m_lineText.append(std::size_t(spaces), ' ');
    m_x = *next;
}

void ReceiptRenderer::printLine(int feed, bool lineFeed)
{
    paper();
    const int height = lineHeight();
    const bool printed = !m_line.empty() || !m_lineText.empty();
    if (!m_line.empty()) {
        const int printable = m_printer.paper.printableDots;
        const int left = areaLeft() + alignOffset(m_lineAlign, areaWidth(), m_x);
        Canvas& page = paper().page;
        const int origin = (page.width() - printable) / 2;
        page.growTo(m_y + std::max(height, feed));
        if (m_lineUpsideDown) {
            Canvas line(printable, height);
            for (const auto& item : m_line)
                line.paint(item.dots, left + item.x, height - item.dots.height());
            page.paint(rotated(line), origin, m_y);
        } else {
            // Characters stand on the line's baseline, the bottom of the tallest.
            for (const auto& item : m_line)
                page.paint(item.dots, origin + left + item.x, m_y + height - item.dots.height(), origin + printable);
        }
    }
    // A line feed with nothing on the line is an empty printed line.
    if (printed || lineFeed) {
        std::string text = m_lineText;
        text.erase(text.find_last_not_of(' ') + 1);
        paper().lines.push_back(text);
    }
    m_y += std::max(height, feed);
    paper().page.growTo(m_y);
    endOverlongReceipt();
    m_line.clear();
    m_lineText.clear();
    m_x = 0;
}

void ReceiptRenderer::feedLines(int lines)
{
    if (lines <= 0) {
        printLine(0);
        return;
    }
    for (int i = 0; i < lines; ++i)
        printLine(m_modes.lineSpacing, true);
}

void ReceiptRenderer::printBlock(const Canvas& block)
{
    paper();
    if (!m_line.empty() || !m_lineText.empty())
        printLine(0);
    Canvas& page = paper().page;
    const int x = (page.width() - m_printer.paper.printableDots) / 2 + areaLeft() +
                  alignOffset(m_modes.align, areaWidth(), block.width());
    page.growTo(m_y + block.height());
    page.paint(block, x, m_y, (page.width() + m_printer.paper.printableDots) / 2);
    m_y += block.height();
    endOverlongReceipt();
}

void ReceiptRenderer::printGrid(const ModuleGrid& grid, int moduleWidth, int moduleHeight)
{
    Canvas block(grid.columns * moduleWidth, int(grid.rows.size()) * moduleHeight);
    for (int r = 0; r < int(grid.rows.size()); ++r)
        for (int c = 0; c < grid.columns; ++c)
            if (grid.dark(c, r))
                for (int y = 0; y < moduleHeight; ++y)
                    for (int x = 0; x < moduleWidth; ++x)
                        block.set(c * moduleWidth + x, r * moduleHeight + y);
    printBlock(block);
}

void ReceiptRenderer::printHri(const std::string& text, int barsWidth)
{
    // The readable text is a line of its own, centred under (or over) the
    // bars: a block as wide as the bars, aligned as they are.
    const Font font = m_modes.hriFont;
    const CellSize cell = cellSize(font);
    const int textWidth = int(text.size()) * cell.width;
    Canvas block(std::max(barsWidth, textWidth), cell.height);
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t character = decodeByte(static_cast<std::uint8_t>(text[i]), 0, 0);
        block.paint(m_glyphs.glyph(font, character), (block.width() - textWidth) / 2 + int(i) * cell.width, 0);
        appendUtf8(line, character);
    }
    printBlock(block);
    paper().lines.push_back(line);
}

void ReceiptRenderer::printBarcode(int m, const std::vector<std::uint8_t>& data)
{
    paper();
    auto system = barcodeForGsK(m);
    if (!system)
        return;
    const std::string text = barcodeText(*system, std::string(data.begin(), data.end()));
    auto grid = encodeBarcode(*system, text);
    if (!grid || grid->columns * m_modes.barcodeModule > areaWidth())
        return;  // a printer prints nothing for data it cannot encode or fit
    if (!m_line.empty() || !m_lineText.empty())
        printLine(0);
    const int barsWidth = grid->columns * m_modes.barcodeModule;
    if (m_modes.hriPosition & 1)
        printHri(text, barsWidth);
    Canvas bars(barsWidth, m_modes.barcodeHeight);
    for (int c = 0; c < grid->columns; ++c)
        if (grid->dark(c, 0))
            for (int y = 0; y < bars.height(); ++y)
                for (int x = 0; x < m_modes.barcodeModule; ++x)
                    bars.set(c * m_modes.barcodeModule + x, y);
    printBlock(bars);
    if (m_modes.hriPosition & 2)
        printHri(text, barsWidth);
}

void ReceiptRenderer::functionCommand(const std::vector<std::uint8_t>& bytes)
{
    // GS ( k pL pH cn fn parameters: cn 49 is QR Code, cn 48 PDF417.
    if (bytes.size() < 7 || bytes[2] != 'k')
        return;
    const int cn = bytes[5], fn = bytes[6];
    const std::uint8_t p0 = param(bytes, 7), p1 = param(bytes, 8);
    const auto stored = [&] { return bytes.size() > 8 ? std::string(bytes.begin() + 8, bytes.end()) : std::string(); };
    if (cn == 49) {
        switch (fn) {
        case 67: m_modes.qrModule = std::clamp(int(p0), 1, 16); break;
        case 69: m_modes.qrErrorLevel = std::clamp(digit(p0), 0, 3); break;
        case 80: m_qrData = stored(); break;
        case 81:
            if (auto grid = encodeQr(m_qrData, m_modes.qrErrorLevel))
                printGrid(*grid, m_modes.qrModule, m_modes.qrModule);
            break;
        default: break;
        }
    } else if (cn == 48) {
        switch (fn) {
        case 65: m_modes.pdfColumns = std::min(int(p0), 30); break;
        case 67: m_modes.pdfModule = std::clamp(int(p0), 2, 8); break;
        case 68: m_modes.pdfRowHeight = std::clamp(int(p0), 2, 8); break;
        case 69: m_modes.pdfErrorLevel = p0 == 48 ? std::clamp(p1 - 48, 0, 8) : -1; break;
        case 80: m_pdfData = stored(); break;
        case 81:
            if (auto grid = encodePdf417(m_pdfData, m_modes.pdfColumns, m_modes.pdfErrorLevel))
                printGrid(*grid, m_modes.pdfModule, m_modes.pdfModule * m_modes.pdfRowHeight);
            break;
        default: break;
        }
    }
}

void ReceiptRenderer::rasterImage(const std::vector<std::uint8_t>& bytes)
{
    // GS v 0 m xL xH yL yH: x bytes a row, y rows, the leftmost dot in bit 7.
    if (bytes.size() < 8)
        return;
    const int m = digit(bytes[3]);
    const int sx = (m & 1) ? 2 : 1, sy = (m & 2) ? 2 : 1;
    const int xBytes = word(bytes, 4);
    if (xBytes == 0)
        return;
    // Rows the data holds (a command in pieces is whole here), dots the paper holds.
    const int rows = std::min(word(bytes, 6), int((bytes.size() - 8) / std::size_t(xBytes)));
    if (sx == 1 && sy == 1) {
        rasterOntoPage(bytes, xBytes, rows);
        return;
    }
    Canvas image(std::min(xBytes * 8 * sx, m_printer.paper.printableDots + 8 * sx), rows * sy);
    for (int r = 0; r < rows; ++r) {
        const std::size_t from = 8 + std::size_t(r) * xBytes;
        if (from >= bytes.size())
            break;  // a picture cut short prints what came
        std::uint8_t* dots = image.row(r * sy);
        for (int b = 0; b < xBytes && (b * 8 + 8) * sx <= image.width(); ++b)
            for (int bit = 0; bit < 8; ++bit)
                if (bytes[from + b] >> (7 - bit) & 1)
                    for (int x = 0; x < sx; ++x)
                        dots[(b * 8 + bit) * sx + x] = 1;
        for (int y = 1; y < sy; ++y)
            std::copy(dots, dots + image.width(), image.row(r * sy + y));
    }
    printBlock(image);
}

void ReceiptRenderer::rasterOntoPage(const std::vector<std::uint8_t>& bytes, int xBytes, int rows)
{
    // The common picture, drawn straight onto the paper a byte at a time: a
    // megabyte of raster data is a tall receipt.
    static const auto kDots = [] {
        std::array<std::array<std::uint8_t, 8>, 256> table{};
        for (int value = 0; value < 256; ++value)
            for (int bit = 0; bit < 8; ++bit)
                table[std::size_t(value)][std::size_t(bit)] = std::uint8_t(value >> (7 - bit) & 1);
        return table;
    }();
    if (!m_line.empty() || !m_lineText.empty())
        printLine(0);
    Canvas& page = paper().page;
    const int printable = m_printer.paper.printableDots;
    const int origin = (page.width() - printable) / 2;
    const int width = xBytes * 8;
    const int x = origin + areaLeft() + alignOffset(m_modes.align, areaWidth(), width);
    const int visibleBytes = std::clamp((origin + printable - x) / 8, 0, xBytes);
    page.growTo(m_y + rows);
    for (int r = 0; r < rows; ++r) {
        const std::size_t from = 8 + std::size_t(r) * xBytes;
        std::uint8_t* dots = page.row(m_y + r) + x;
        for (int b = 0; b < visibleBytes && from + b < bytes.size(); ++b)
            std::memcpy(dots + b * 8, kDots[bytes[from + b]].data(), 8);
    }
    m_y += rows;
    endOverlongReceipt();
}

void ReceiptRenderer::columnImage(const std::vector<std::uint8_t>& bytes)
{
    paper();
    // ESC * m nL nH: columns of 8 dots (m 0, 1) drawn three dots tall each, or
    // of 24 dots (m 32, 33); single density doubles every column.
    if (bytes.size() < 5)
        return;
    const int m = bytes[2];
    const int bytesPerColumn = m >= 32 ? 3 : 1;
    const int columns = std::min(word(bytes, 3), int((bytes.size() - 5) / std::size_t(bytesPerColumn)));
    const int sx = (m == 0 || m == 32) ? 2 : 1;
    const int sy = m >= 32 ? 1 : 3;
    if (m_line.empty() && m_lineText.empty()) {
        m_lineUpsideDown = m_modes.upsideDown;
        m_lineAlign = m_modes.align;
    }
    Canvas image(columns * sx, bytesPerColumn * 8 * sy);
    for (int c = 0; c < columns; ++c)
        for (int b = 0; b < bytesPerColumn; ++b) {
            const std::size_t at = 5 + std::size_t(c) * bytesPerColumn + b;
            if (at >= bytes.size())
                break;
            for (int bit = 0; bit < 8; ++bit)
                if (bytes[at] >> (7 - bit) & 1)
                    for (int y = 0; y < sy; ++y)
                        for (int x = 0; x < sx; ++x)
                            image.set(c * sx + x, (b * 8 + bit) * sy + y);
        }
    const int width = image.width();
    m_line.push_back({m_x, std::move(image)});
    m_x += width;
}

void ReceiptRenderer::cut(Cut kind, int feedDots)
{
    if (!m_receipt)
        return;  // a cut with nothing printed since the last one
    if (!m_line.empty() || !m_lineText.empty())
        printLine(m_modes.lineSpacing);
    if (feedDots > 0) {
        m_y += feedDots;
        m_receipt->page.growTo(m_y);
    }
    finish(kind);
}

void ReceiptRenderer::endOverlongReceipt()
{
    // A job that feeds on and on is not drawn as one endless picture.
    if (m_y >= kMaxReceiptDots)
        finish(Cut::None);
}

void ReceiptRenderer::finish(Cut kind)
{
    if (!m_receipt)
        return;
    m_receipt->cut = kind;
    if (m_y > 0 || !m_receipt->lines.empty() || !m_receipt->pulses.empty())
        m_done.push_back(std::move(*m_receipt));
    m_receipt.reset();
    m_y = 0;
}

void ReceiptRenderer::endJob()
{
    if (!m_receipt)
        return;
    if (!m_line.empty() || !m_lineText.empty())
        printLine(m_modes.lineSpacing);
    finish(Cut::None);
}

std::vector<Receipt> ReceiptRenderer::takeReceipts() { return std::exchange(m_done, {}); }

void ReceiptRenderer::command(const std::vector<std::uint8_t>& bytes)
{
    const std::uint8_t n = param(bytes, 2);
    switch (bytes[0]) {
    case kLf: printLine(m_modes.lineSpacing, true); return;
    case kHt: horizontalTab(); return;
    case kFf:
        if (!m_line.empty() || !m_lineText.empty())
            printLine(m_modes.lineSpacing);
        return;
    case kCr: return;  // no automatic line feed: CR does nothing
    case kDle:
        // DLE DC4 1 m t: a drawer pulse of t x 100 ms.
        if (param(bytes, 1) == 0x14 && n == 1)
            paper().pulses.push_back({param(bytes, 3) == 1 ? 5 : 2, param(bytes, 4) * 100, param(bytes, 4) * 100});
        return;
    case kEsc: break;
    case kGs: break;
    default: return;
    }
    if (bytes.size() < 2)
        return;
    if (bytes[0] == kEsc) {
        switch (bytes[1]) {
        case '@': resetModes(); break;
        case '!':
            m_modes.font = (n & 0x01) ? Font::B : Font::A;
            m_modes.bold = (n & 0x08) != 0;
            m_modes.heightMul = (n & 0x10) ? 2 : 1;
            m_modes.widthMul = (n & 0x20) ? 2 : 1;
            m_modes.underline = (n & 0x80) ? 1 : 0;
            break;
        case 'E':
        case 'G': m_modes.bold = (n & 1) != 0; break;
        case '-':
            if (digit(n) <= 2)
                m_modes.underline = digit(n);
            break;
        case 'M':
            if (digit(n) <= 1)
                m_modes.font = digit(n) == 1 ? Font::B : Font::A;
            break;
        case ' ': m_modes.charSpacing = n; break;
        case 'a':
            if (digit(n) <= 2)
                m_modes.align = static_cast<Align>(digit(n));
            break;
        case '2': m_modes.lineSpacing = kDefaultLineSpacing; break;
        case '3': m_modes.lineSpacing = n; break;
        case 'd': feedLines(n); break;
        case 'J': printLine(n); break;
        case 'D': {
            m_modes.tabs.clear();
            const int column = cellSize(m_modes.font).width * m_modes.widthMul + m_modes.charSpacing;
            for (std::size_t i = 2; i < bytes.size() && bytes[i] != 0 && m_modes.tabs.size() < kMaxTabs; ++i) {
                const int position = bytes[i] * column;
                if (!m_modes.tabs.empty() && position <= m_modes.tabs.back())
                    break;
                m_modes.tabs.push_back(position);
            }
            break;
        }
        case 't':
            if (hasCodePage(n))
                m_modes.codePage = n;
            break;
        case 'R':
            if (hasInternationalSet(n))
                m_modes.internationalSet = n;
            break;
        case '{': m_modes.upsideDown = (n & 1) != 0; break;
        case 'p': paper().pulses.push_back({digit(n) == 1 ? 5 : 2, param(bytes, 3) * 2, param(bytes, 4) * 2}); break;
        case '*': columnImage(bytes); break;
        case '$': {
            const int position = word(bytes, 2);
            if (position < areaWidth()) {
                const int cellWidth = cellSize(m_modes.font).width * m_modes.widthMul;
                if (position > m_x)
                    m_lineText.append(std::size_t((position - m_x) / cellWidth), ' ');
                m_x = position;
            }
            break;
        }
        case 'Z': {
            // A client dialect for QR Code: ESC Z version level size dL dH data.
            const int level = param(bytes, 3);
            const int errorLevel = level == 'M' ? 1 : level == 'Q' ? 2 : level == 'H' ? 3 : level <= 3 ? level : 0;
            const int size = std::clamp(int(param(bytes, 4)), 1, 16);
            const std::string data = bytes.size() > 7 ? std::string(bytes.begin() + 7, bytes.end()) : std::string();
            if (auto grid = encodeQr(data, errorLevel))
                printGrid(*grid, size, size);
            break;
        }
        case 'i': cut(Cut::Full, 0); break;
        case 'm': cut(Cut::Partial, 0); break;
        default: break;
        }
        return;
    }
    switch (bytes[1]) {
    case '!':
        m_modes.widthMul = (n >> 4 & 7) + 1;
        m_modes.heightMul = (n & 7) + 1;
        break;
    case 'B': m_modes.reverse = (n & 1) != 0; break;
    case 'L': m_modes.leftMargin = word(bytes, 2); break;
    case 'W': m_modes.areaWidth = word(bytes, 2); break;
    case 'h': m_modes.barcodeHeight = std::max(1, int(n)); break;
    case 'w': m_modes.barcodeModule = std::clamp(int(n), 1, 6); break;
    case 'H':
        if (digit(n) <= 3)
            m_modes.hriPosition = digit(n);
        break;
    case 'f':
        if (digit(n) <= 1)
            m_modes.hriFont = digit(n) == 1 ? Font::B : Font::A;
        break;
    case 'k':
        if (bytes.size() < 3)
            break;
        if (n <= 6) {
            auto end = std::find(bytes.begin() + 3, bytes.end(), 0);
            printBarcode(n, {bytes.begin() + 3, end});
        } else if (bytes.size() > 4) {
            printBarcode(n, {bytes.begin() + 4, bytes.begin() + std::min<std::size_t>(bytes.size(), 4 + bytes[3])});
        }
        break;
    case '(': functionCommand(bytes); break;
    case 'v':
        if (n == '0')
            rasterImage(bytes);
        break;
    case 'V': {
        const int m = n;
        const bool partial = m == 1 || m == 49 || m == 66 || m == 98 || m == 104;
        const bool feeds = m == 65 || m == 66 || m == 97 || m == 98 || m == 103 || m == 104;
        cut(partial ? Cut::Partial : Cut::Full, feeds ? param(bytes, 3) : 0);
        break;
    }
    default: break;
    }
}

}  // namespace render
