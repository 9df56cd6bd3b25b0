#pragma once
// One query: send the command asking for a reply, and log a reply the caller
// accepts as the query's name, "-->" and the reply text.

#include "form/activitylog.h"
#include "link/context.h"

#include <cstdint>
#include <string>
#include <vector>

namespace softswitch {

// A command as the printer takes it: a fixed run of bytes, sent whole.
using Command = std::vector<std::uint8_t>;

struct Query {
    const char* name; // also the name in the log
    Command command;
};

// The reply text; empty when nothing came back.
inline std::string Ask(Context& ctx, const Command& command)
{
    std::string text = "R";
    ctx.link.SendCommand(command, text);
    return text;
}

inline void LogReply(Context& ctx, const Query& query, const std::string& reply)
{
    AddLog(ctx.form.txtLOG, std::string(query.name) + "-->" + reply);
}

} // namespace softswitch
