#pragma once
// Lays ESC/POS print commands out on paper the way a 203 dpi receipt printer
// does: a line buffer filled with characters and printed by LF and the feed
// commands, raster images, barcodes and two-dimensional codes, up to a cut.
// Everything here is plain dots; glyph shapes come from a GlyphSource.

#include "canvas.h"
#include "escpostoken.h"
#include "glyphsource.h"
#include "paperformat.h"
#include "symbols.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace render {

enum class Cut { None, Full, Partial };

// A drawer kick: connector pin 2 or 5, on and off times in milliseconds.
struct DrawerPulse {
    int pin;
    int onMs;
    int offMs;
};

struct Receipt {
    Canvas page;                     // the paper's full width
    std::vector<std::string> lines;  // the printed text, UTF-8, one entry a printed line
    Cut cut = Cut::None;
    std::vector<DrawerPulse> pulses;
    PaperFormat paper;
};

// What the printer's settings say when a receipt begins.
struct PrinterSetup {
    PaperFormat paper;
    int codePage = 0;
    int internationalSet = 0;
};

enum class Align { Left, Center, Right };

class ReceiptRenderer {
public:
    using SetupSource = std::function<PrinterSetup()>;

    // The setup is read again as every receipt begins, so a switch written
    // between receipts changes the next one.
    ReceiptRenderer(GlyphSource& glyphs, SetupSource setup);

    void consume(const emulator::EscPosToken& token);
    // The end of a job (the client went idle or away): an unfinished receipt
    // ends here, without a cut.
    void endJob();
    // The receipts finished since the last call, oldest first.
    std::vector<Receipt> takeReceipts();

    // The default line spacing (ESC 2): 30 dots, 3.75 mm.
    static constexpr int kDefaultLineSpacing = 30;
    // A receipt ends, as if cut, once it is this long: 10 m of paper.
    static constexpr int kMaxReceiptDots = 80000;

private:
    struct Modes {
        Font font = Font::A;
        bool bold = false;
        int underline = 0;  // dots
        int widthMul = 1;
        int heightMul = 1;
        bool reverse = false;
        bool upsideDown = false;
        Align align = Align::Left;
        int charSpacing = 0;
        int lineSpacing = kDefaultLineSpacing;
        int leftMargin = 0;
        int areaWidth = -1;  // -1: to the end of the printable width
        int codePage = 0;
        int internationalSet = 0;
        std::vector<int> tabs;  // dots from the start of the print area
        int barcodeHeight = 162;
        int barcodeModule = 3;
        int hriPosition = 0;  // 0 none, 1 above, 2 below, 3 both
        Font hriFont = Font::A;
        int qrModule = 3;
        int qrErrorLevel = 0;
        int pdfColumns = 0;
        int pdfModule = 3;
        int pdfRowHeight = 3;  // in module widths
        int pdfErrorLevel = -1;
    };
    struct LineItem {
        int x;
        Canvas dots;
    };

    // The receipt being printed; the first thing put on paper begins one and
    // reads the printer's setup, so the utility's own queries and writes
    // between receipts begin none.
    Receipt& paper();
    void begin();
    void resetModes();
    void command(const std::vector<std::uint8_t>& bytes);
    void text(std::uint8_t byte);
    void putCharacter(char32_t character, Font font);
    void horizontalTab();
    // Prints the line buffer and moves the paper by `feed` dots (at least the
    // line's height). A line feed counts in the text even when empty.
    void printLine(int feed, bool lineFeed = false);
    void feedLines(int lines);
    void printBlock(const Canvas& block);
    void printBarcode(int m, const std::vector<std::uint8_t>& data);
    void printGrid(const ModuleGrid& grid, int moduleWidth, int moduleHeight);
    void printHri(const std::string& text, int barsWidth);
    void functionCommand(const std::vector<std::uint8_t>& bytes);
    void rasterImage(const std::vector<std::uint8_t>& bytes);
    void rasterOntoPage(const std::vector<std::uint8_t>& bytes, int xBytes, int rows);
    void columnImage(const std::vector<std::uint8_t>& bytes);
    void cut(Cut kind, int feedDots);
    void finish(Cut kind);
    void endOverlongReceipt();

    int areaLeft() const;
    int areaWidth() const;
    int lineHeight() const;

    GlyphSource& m_glyphs;
    SetupSource m_setup;
    std::optional<Receipt> m_receipt;
    PrinterSetup m_printer;
    Modes m_modes;
    int m_y = 0;  // paper position, dots from the top of the receipt
    int m_x = 0;  // next character position, dots from the start of the print area
    std::vector<LineItem> m_line;
    std::string m_lineText;
    bool m_lineUpsideDown = false;
    Align m_lineAlign = Align::Left;
    std::vector<std::uint8_t> m_pieces;  // a command that came in pieces, so far
    std::string m_qrData;
    std::string m_pdfData;
    std::vector<Receipt> m_done;
};

}  // namespace render
