// Real ESC/POS clients from npm print a shop receipt to printer-emulator
// --render over loopback TCP: the text file holds the lines they printed,
// every code in the picture decodes back to its data, and the paper is as
// wide as the emulated printer's switch 1 says.
#include "decodedcodes.h"
#include "emulatorprocess.h"
#include "tempdir.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

using F = ZXing::BarcodeFormat;

struct ClientRow {
    const char* name;
    const char* script;  // in the folder npm installed the clients into
    const char* sw1;
    int paperDots;  // 80 mm: 639; 58 mm: 464
    std::vector<std::string> lines;  // the printed lines that hold text, in order
    std::vector<DecodedCode> codes;
};

TEST(NpmClients, ReceiptsHoldTheirTextAndCodes)
{
    const ClientRow rows[] = {
        {"node-thermal-printer, KR-5050 switch 1 bit 3: 80 mm, 576 dots", "thermal_receipt.js", "4", 639,
         {"CORNER SHOP", "12 Market Street", "Bread                                 2.40",
          "Milk 1l                               1.15", "Eggs x6                               3.05",
          "TOTAL                                 6.60", "0042-2026", "Thank you!"},
         {{F::Code128, "0042-2026"}, {F::QRCode, "https://example.com/receipt/0042"}}},
        {"escpos + escpos-network, KR-5050 switch 1 bit 4: 58 mm, 424 dots", "escpos_receipt.js", "8", 464,
         {"CAFE 42", "Station Road 7", "Espresso                 2.20", "Croissant                1.80",
          "TOTAL                    4.00", "CAFE-0042-2026", "Merci!",
          // escpos writes the drawer pulse's last byte FA as UTF-8 (C3 BA): ESC p
          // takes C3 as its off time and BA prints, PC437's double bar.
          "║"},
         {{F::Code128, "CAFE-0042-2026"}, {F::QRCode, "https://example.com/cafe/0042"}}},
    };
    for (const auto& row : rows) {
        QTemporaryDir dir;
        EmulatorProcess emulator({"--tcp", "127.0.0.1:0", "--render", dir.path().toStdString(), "--set",
                                  std::string("sw1=") + row.sw1});
        const std::string command = std::string("node ") + row.script + " 127.0.0.1 " + std::to_string(emulator.tcpPort());
        ASSERT_EQ(std::system(command.c_str()), 0) << row.name;
        // The text file is written right after the picture.
        const std::string text = dir.filePath("receipt-0001.txt").toStdString();
        ASSERT_TRUE(waitUntil([&] { return std::filesystem::exists(text); })) << row.name;
        auto printed = lines(readFile(text));
        std::erase_if(printed, [](const std::string& line) { return line.find_first_not_of(" \t\r") == std::string::npos; });
        EXPECT_EQ(printed, row.lines) << row.name;
        const QString png = dir.filePath("receipt-0001.png");
        EXPECT_EQ(QImage(png).width(), row.paperDots) << row.name;
        auto codes = decodeCodes(png.toStdString()), expected = row.codes;
        std::sort(codes.begin(), codes.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(codes, expected) << row.name;
    }
}

}  // namespace
