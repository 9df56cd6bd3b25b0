#pragma once
// The command line of softswitch-script: the port options, the driver's own
// switches and the script to run.

#include "platform/qt/portoptions.h"

#include <string>
#include <vector>

namespace softswitch::script {

struct DriverOptions {
    PortOptions ports;
    std::string scriptPath; // "-" for standard input
    bool strict = false;
    bool listControls = false;
    bool help = false;
    bool version = false;
};

// False (with a reason) when the arguments do not make a run.
bool parseDriverOptions(const std::vector<std::string>& args, DriverOptions& options, std::string& why);

extern const char* const kDriverHelp;

} // namespace softswitch::script
