// Real ESC/POS clients from npm print a shop receipt to printer-emulator
// --render over loopback TCP: the text file holds the lines they printed,
// every code in the picture decodes back to its data, and the paper is as
// wide as the emulated printer's switch 1 says.
#include "decodedcodes.h"
#include "emulatorprocess.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

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

std::vector<std::string> textLines(const QString& path)
{
    QFile file(path);
    std::vector<std::string> lines;
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.trimmed().isEmpty())
            lines.push_back(line.toStdString());
    return lines;
}

bool waitForFile(const QString& path)
{
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!QFile::exists(path) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    // The text file is written right after the picture.
    return QFile::exists(path);
}

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
        ASSERT_TRUE(waitForFile(dir.filePath("receipt-0001.txt"))) << row.name;
        EXPECT_EQ(textLines(dir.filePath("receipt-0001.txt")), row.lines) << row.name;
        const QString png = dir.filePath("receipt-0001.png");
        EXPECT_EQ(QImage(png).width(), row.paperDots) << row.name;
        auto codes = decodeCodes(png.toStdString());
        auto byText = [](const DecodedCode& a, const DecodedCode& b) { return a.text < b.text; };
        std::sort(codes.begin(), codes.end(), byText);
        auto expected = row.codes;
        std::sort(expected.begin(), expected.end(), byText);
        ASSERT_EQ(codes.size(), expected.size()) << row.name;
        for (std::size_t i = 0; i < codes.size(); ++i) {
            EXPECT_EQ(codes[i].format, expected[i].format) << row.name << ": " << expected[i].text;
            EXPECT_EQ(codes[i].text, expected[i].text) << row.name;
        }
    }
}

}  // namespace
