#include "script/driveroptions.h"

namespace softswitch::script {

const char* const kDriverHelp =
    "usage: softswitch-script [OPTION]... SCRIPT\n"
    "Runs the soft switch utility's window headless, driven by a script of user\n"
    "actions, over the real serial, parallel, USB and TCP/IP links.\n"
    "SCRIPT is a file of actions, or - for standard input.\n"
    "\n"
    "Options:\n"
    "  --com N=PATH      use the serial device PATH for port COMN (N from 1 to 16);\n"
    "                    repeatable\n"
    "  --lpt PATH        use PATH as the parallel device instead of /dev/lp0\n"
    "  --strict          stop at the first refused action or critical message box,\n"
    "                    name it on standard error and exit 3\n"
    "  --list-controls   print every control name with its kind, then the shared\n"
    "                    state names a dump takes, and exit\n"
    "  --help            print this help and exit\n"
    "  --version         print the version and exit\n"
    "\n"
    "Script lines: pick CONTROL ENTRY, type CONTROL TEXT, click CONTROL, tab N,\n"
    "answer OK|Yes|No, wait MS, dump [NAME...], close; # starts a comment.\n"
    "Texts take the escapes \\r \\n \\0 \\t \\\\ \\xNN.\n"
    "\n"
    "Exit status: 0 the script or the program ended, 2 a script or usage error,\n"
    "3 stopped by --strict.\n";

bool parseDriverOptions(const std::vector<std::string>& args, DriverOptions& options, std::string& why)
{
    if (!parsePortOptions(args, options.ports, why))
        return false;
    std::vector<std::string> operands;
    for (const std::string& arg : options.ports.rest) {
        if (arg == "--strict")
            options.strict = true;
        else if (arg == "--list-controls")
            options.listControls = true;
        else if (arg == "--help")
            options.help = true;
        else if (arg == "--version")
            options.version = true;
        else if (arg.size() > 1 && arg.front() == '-')
            return why = "unknown option " + arg, false;
        else
            operands.push_back(arg);
    }
    if (options.help || options.version || options.listControls)
        return true;
    if (operands.size() != 1)
        return why = operands.empty() ? "no script given" : "one script only", false;
    options.scriptPath = operands.front();
    return true;
}

} // namespace softswitch::script
