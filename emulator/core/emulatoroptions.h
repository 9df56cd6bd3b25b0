#pragma once

#include "printeremulator.h"
#include "printerstate.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace emulator {

// Where the options are read: the command line of printer-emulator, or the
// KR5050_EMULATOR variable of the in-process transport library, which has no
// endpoints to open.
enum class OptionScope { Executable, InProcess };

struct EmulatorOptions {
    PrinterState state;
    Faults faults;
    std::string transcriptPath;
    bool tcp = true;
    std::string tcpHost = "127.0.0.1";
    std::uint16_t tcpPort = 9100;  // 0 picks a free port
    bool allowRemote = false;
    std::string ptyLink;
    // While another client waits, a connection that sent nothing for this
    // long is closed; 0 never.
    std::chrono::milliseconds idleTimeout{10000};
    bool help = false;
};

struct OptionsResult {
    EmulatorOptions options;
    std::string error;  // empty when every argument was understood
};

OptionsResult parseOptions(std::span<const std::string> args, OptionScope scope);

struct SplitText {
    std::vector<std::string> args;
    std::string error;  // a quote left open
};

// Splits the text of KR5050_EMULATOR into arguments: blanks separate them,
// single or double quotes keep blanks inside one argument.
SplitText splitOptionText(std::string_view text);

// splitOptionText, then parseOptions.
OptionsResult parseOptionText(std::string_view text, OptionScope scope);

std::string usageText(OptionScope scope);

}  // namespace emulator
