#include "platform/qt/portoptions.h"

#include <charconv>

namespace softswitch {

bool parsePortOptions(const std::vector<std::string>& args, PortOptions& options, std::string& why)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--com" || arg == "--lpt";
        if (!takesValue) {
            options.rest.push_back(arg);
            continue;
        }
        if (i + 1 >= args.size()) {
            why = arg + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        if (arg == "--lpt") {
            options.lptPath = value;
            continue;
        }
        const auto equals = value.find('=');
        int port = 0;
        const char* end = value.data() + (equals == std::string::npos ? 0 : equals);
        const auto [ptr, ec] = std::from_chars(value.data(), end, port);
        if (equals == std::string::npos || ec != std::errc() || ptr != end || port < 1 || port > 16
            || equals + 1 >= value.size()) {
            why = "--com takes N=PATH with N from 1 to 16, not " + value;
            return false;
        }
        options.comPaths[port] = value.substr(equals + 1);
    }
    return true;
}

} // namespace softswitch
