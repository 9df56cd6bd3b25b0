#include "form/activitylog.h"

namespace softswitch {

void AddLog(Control& txtLOG, const std::string& line)
{
    std::string& log = txtLOG.Text;
    if (log.size() >= kLogTrimAt)
        log = log.substr(kLogDropped, kLogKept); // the cut may fall inside a line
    if (!log.empty())
        log += "\r\n";
    log += line;
}

} // namespace softswitch
