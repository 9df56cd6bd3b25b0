#pragma once
// Starting the help viewer without waiting, and ending the program.

#include "platform/platform.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace softswitch {

class QtShell : public Shell {
public:
    // onEnd ends the program (the front end quits its event loop); opener is
    // the desktop's "open this file" command.
    explicit QtShell(std::function<void()> onEnd, std::string opener = "xdg-open");

    // "NotePad.exe FILE" opens FILE in the desktop's editor, looked up as
    // commandFor does with this program's folder; any other command line
    // starts that program. Never waits.
    bool launch(const std::string& commandLine) override;
    void endProgram() override;

    struct Command {
        std::string program;
        std::vector<std::string> arguments;
    };
    // What launch starts for a command line; nothing when there is nothing to
    // start. The editor's FILE is taken from the working folder, else from
    // programFolder (when given), else from programFolder/../share/softswitch,
    // where an installed copy lives: started from a desktop menu, the working
    // folder is the home folder.
    std::optional<Command> commandFor(const std::string& commandLine, const std::string& workingFolder,
                                      const std::string& programFolder = {}) const;

private:
    std::function<void()> m_onEnd;
    std::string m_opener;
};

} // namespace softswitch
