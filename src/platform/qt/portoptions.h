#pragma once
// The device-path options both front ends take: --com N=PATH puts PATH in
// place of serial port N, --lpt PATH in place of the parallel device.

#include <map>
#include <string>
#include <vector>

namespace softswitch {

struct PortOptions {
    std::map<int, std::string> comPaths;
    std::string lptPath = "/dev/lp0";
    std::vector<std::string> rest; // the arguments that are not port options
};

// False (with a reason) when an option is malformed.
bool parsePortOptions(const std::vector<std::string>& args, PortOptions& options, std::string& why);

} // namespace softswitch
