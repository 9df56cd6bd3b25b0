// End to end: softswitch-script drives the window model over the real links
// against printer-emulator, and what it prints and what went over the wire
// are compared with the case file.
//
// A case file (tests/e2e/cases/**/*.case) has sections:
//   [emulator] printer-emulator options, on one line (no section: no printer)
//   [output-stops] N: once the printer has received N commands, its
//              pseudo-terminal (COM1, LPT1) takes no more bytes, as after XOFF
//   [script]   the driver's script; @TCPPORT@ stands for the emulator's port;
//              a second [script] is a second run against the same printer
//   [output]   what the driver prints (plus "exit N" and "stderr: ..." lines
//              when it exits with another code or writes errors)
//   [transcript] what the printer received, in hex, one command a line
//              (no section: not compared)
// Lines before the first section are the case's description. COM1 and LPT1
// are the emulator's pseudo-terminal, USB its transport library in the
// working folder, so one case can use any link. Without a printer, COM1 and
// LPT1 are paths that do not exist and there is no transport library. SOFTSWITCH_UPDATE_CASES=1
// rewrites [output] and [transcript] from what happened; review such a diff
// line by line.

#include "emulatoroptions.h"
#include "emulatorprocess.h"
#include "scriptdriver.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Case {
    fs::path file;
    std::string description;
    std::vector<std::pair<std::string, std::string>> sections; // name and body, in file order

    static Case read(const fs::path& file)
    {
        Case c{file, {}, {}};
        std::ifstream in(file, std::ios::binary);
        std::string line;
        std::string* current = &c.description;
        while (std::getline(in, line)) {
            if (line.size() > 2 && line.front() == '[' && line.find(']') != std::string::npos) {
                const std::string rest = line.substr(line.find(']') + 1);
                c.sections.emplace_back(line.substr(1, line.find(']') - 1), rest.empty() ? "" : rest.substr(1) + "\n");
                current = &c.sections.back().second;
                continue;
            }
            *current += line + "\n";
        }
        return c;
    }

    // Every body of the section, in file order.
    std::vector<std::string*> all(const std::string& name)
    {
        std::vector<std::string*> bodies;
        for (auto& [section, body] : sections)
            if (section == name)
                bodies.push_back(&body);
        return bodies;
    }
    bool has(const std::string& name) { return !all(name).empty(); }
    std::string& operator[](const std::string& name) { return *all(name).at(0); }

    void write() const
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << description;
        for (const auto& [name, body] : sections)
            out << "[" << name << "]" << (name == "emulator" || name == "output-stops" ? " " : "\n") << body;
    }
};

void replaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::vector<fs::path> caseFiles()
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(SOFTSWITCH_CASES_DIR)) {
        if (entry.is_regular_file() && entry.path().extension() == ".case")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string caseName(const fs::path& file)
{
    std::string name = fs::relative(file, SOFTSWITCH_CASES_DIR).replace_extension().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

class Cases : public ::testing::TestWithParam<fs::path> {};

// Stops the output of the terminal at device once the transcript holds a
// number of commands, and lets it go again when stopped itself.
std::jthread outputStopper(const std::string& transcript, const std::string& device, std::size_t commands)
{
    return std::jthread([=](std::stop_token stop) {
        int fd = -1;
        for (; !stop.stop_requested(); std::this_thread::sleep_for(std::chrono::milliseconds(1))) {
            const std::string lines = readFile(transcript);
            if (fd < 0 && static_cast<std::size_t>(std::count(lines.begin(), lines.end(), '\n')) >= commands) {
                fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
                ::tcflow(fd, TCOOFF);
            }
        }
        ::tcflow(fd, TCOON);
        ::close(fd);
    });
}

// One run of the driver: its output, with its exit code and error lines
// when they are not the usual.
std::string runCase(const std::string& script, const QStringList& args, const QProcessEnvironment& env,
                    const std::string& folder)
{
    const DriverRun run = runDriver(args, QByteArray::fromStdString(script), QString::fromStdString(folder), env);
    std::string output = run.out.toStdString();
    if (run.exitCode != 0)
        output += "exit " + std::to_string(run.exitCode) + "\n";
    for (const std::string& line : lines(run.err.toStdString()))
        output += "stderr: " + line + "\n";
    return output;
}

TEST_P(Cases, RunAsWritten)
{
    Case c = Case::read(GetParam());
    ASSERT_TRUE(c.has("script") && c.has("output")) << GetParam() << " needs [script] and [output]";
    ASSERT_NE(std::getenv("SOFTSWITCH_BIN"), nullptr);
    TempDir dir;
    const std::string transcript = dir.file("transcript.txt");
    const std::string usbTranscript = dir.file("usb-transcript.txt");

    std::unique_ptr<EmulatorProcess> printer;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (c.has("emulator")) {
        const std::string options = c["emulator"].substr(0, c["emulator"].find('\n'));
        std::vector<std::string> processArgs = {"--tcp", "127.0.0.1:0", "--pty", dir.file("ttyPRINTER"),
                                                "--transcript", transcript};
        for (const std::string& word : emulator::splitOptionText(options).args)
            processArgs.push_back(word);
        printer = std::make_unique<EmulatorProcess>(processArgs, 2);
        fs::copy_file(SOFTSWITCH_EMULATED_LIBRARY, dir.file("libKR5050.so"));
        env.insert("KR5050_EMULATOR", QString::fromStdString(options + " --transcript " + usbTranscript));
    }
    // Without a printer the ports lead nowhere, whatever this machine has.
    const QString port = QString::fromStdString(dir.file(printer ? "ttyPRINTER" : "no-such-port"));
    const QStringList args{"--com", "1=" + port, "--lpt", port, "-"};

    std::jthread stopper;
    if (c.has("output-stops"))
        stopper = outputStopper(transcript, dir.file("ttyPRINTER"), std::stoul(c["output-stops"]));
    // Each [script] is a new run of the program against the same printer.
    std::string output;
    for (const std::string* body : c.all("script")) {
        std::string script = *body;
        if (!output.empty())
            output += "(next run)\n";
        if (printer)
            replaceAll(script, "@TCPPORT@", std::to_string(printer->tcpPort()));
        output += runCase(script, args, env, dir.file(""));
    }
    stopper = {};
    if (printer) {
        replaceAll(output, "\"" + std::to_string(printer->tcpPort()) + "\"", "\"@TCPPORT@\"");
        EXPECT_EQ(printer->stop(), 0) << "the emulator ends cleanly";
    }
    const std::string wire = readFile(transcript) + readFile(usbTranscript);

    if (std::getenv("SOFTSWITCH_UPDATE_CASES")) {
        c["output"] = output;
        if (c.has("transcript"))
            c["transcript"] = wire;
        c.write();
        return;
    }
    EXPECT_EQ(output, c["output"]) << GetParam();
    if (c.has("transcript")) {
        EXPECT_EQ(wire, c["transcript"]) << GetParam();
    }
}

INSTANTIATE_TEST_SUITE_P(E2E, Cases, ::testing::ValuesIn(caseFiles()),
                         [](const auto& row) { return caseName(row.param); });

} // namespace
