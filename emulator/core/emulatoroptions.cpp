#include "emulatoroptions.h"

#include "transcript.h"

#include <array>
#include <charconv>

namespace emulator {

namespace {

enum class Option {
    Tcp,
    NoTcp,
    AllowRemote,
    Pty,
    Set,
    Transcript,
    NoReply,
    ReplyDelay,
    SplitReply,
    SplitGap,
    Garbage,
    DropAfter,
    FirstModelReply,
    IdleTimeout,
    Help,
};

struct OptionInfo {
    Option option;
    std::string_view name;
    std::string_view value;  // empty: a flag without value
    bool inProcess;          // also understood by the in-process library
    std::string_view help;
};

constexpr std::array kOptions{
    OptionInfo{Option::Tcp, "--tcp", "HOST:PORT", false,
               "listen on HOST:PORT (default 127.0.0.1:9100); port 0 picks a free port"},
    OptionInfo{Option::NoTcp, "--no-tcp", "", false, "do not listen on TCP (with --pty)"},
    OptionInfo{Option::AllowRemote, "--allow-remote", "", false, "allow a --tcp address that is not loopback"},
    OptionInfo{Option::Pty, "--pty", "LINK", false, "serve a new pseudo-terminal whose slave is linked at LINK"},
    OptionInfo{Option::Set, "--set", "KEY=VALUE", true, "set a printer value (keys below); repeatable"},
    OptionInfo{Option::Transcript, "--transcript", "FILE", true, "append every received byte to FILE, in hex"},
    OptionInfo{Option::NoReply, "--no-reply", "KEY", true, "fault: the query of KEY gets no reply; repeatable"},
    OptionInfo{Option::ReplyDelay, "--reply-delay", "MS", true, "fault: wait MS milliseconds before each reply"},
    OptionInfo{Option::SplitReply, "--split-reply", "BYTES", true,
               "fault: send each reply in pieces of BYTES bytes, one write each"},
    OptionInfo{Option::SplitGap, "--split-gap", "MS", false, "pause between the pieces of a split reply (default 20)"},
    OptionInfo{Option::Garbage, "--garbage", "HEX", true, "fault: send the bytes HEX (e.g. \"FF 41\") before each reply"},
    OptionInfo{Option::DropAfter, "--drop-after", "N", true, "fault: end the connection after N commands"},
    OptionInfo{Option::FirstModelReply, "--first-model-reply", "TEXT", true,
               "fault: answer the first model-name query of a connection with TEXT (e.g. \";1\")"},
    OptionInfo{Option::IdleTimeout, "--idle-timeout", "MS", false,
               "close a client idle for MS milliseconds while another waits (default 10000; 0 never)"},
    OptionInfo{Option::Help, "--help", "", false, "show this text (--version alone: the version)"},
};

const OptionInfo* findOption(std::string_view name)
{
    for (const OptionInfo& info : kOptions) {
        if (info.name == name)
            return &info;
    }
    return nullptr;
}

bool parseCount(std::string_view text, std::size_t& out)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// Longer waits are typing mistakes; a bound also keeps "now + wait" far from
// the clock's overflow.
constexpr std::chrono::milliseconds kLongestWait = std::chrono::hours(24);

bool parseMilliseconds(std::string_view text, std::chrono::milliseconds& out)
{
    std::size_t count = 0;
    if (!parseCount(text, count) || count > static_cast<std::size_t>(kLongestWait.count()))
        return false;
    out = std::chrono::milliseconds(count);
    return true;
}

constexpr std::size_t kHighestPort = 65535;

// HOST:PORT, both present; the port in 0..65535, so it cannot wrap to another.
std::string parseEndpoint(const std::string& endpoint, EmulatorOptions& options)
{
    const std::size_t colon = endpoint.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == endpoint.size())
        return "--tcp wants HOST:PORT, got \"" + endpoint + "\"";
    std::size_t port = 0;
    if (!parseCount(std::string_view(endpoint).substr(colon + 1), port) || port > kHighestPort)
        return "--tcp port must be 0..65535, got \"" + endpoint.substr(colon + 1) + "\"";
    options.tcpHost = endpoint.substr(0, colon);
    options.tcpPort = static_cast<std::uint16_t>(port);
    return {};
}

// Applies one option with its value; returns the error text or empty text.
std::string apply(const OptionInfo& info, const std::string& value, EmulatorOptions& options)
{
    std::string bad = "bad value for " + std::string(info.name) + ": \"" + value + "\"";
    if (info.value == "MS")
        bad += " (0.." + std::to_string(kLongestWait.count()) + ")";
    switch (info.option) {
    case Option::Tcp:
        options.tcp = true;
        return parseEndpoint(value, options);
    case Option::NoTcp:
        options.tcp = false;
        return {};
    case Option::AllowRemote:
        options.allowRemote = true;
        return {};
    case Option::Pty:
        options.ptyLink = value;
        return value.empty() ? bad : std::string();
    case Option::Set: {
        const std::size_t equals = value.find('=');
        if (equals == std::string::npos)
            return bad;
        return options.state.set(std::string_view(value).substr(0, equals), std::string_view(value).substr(equals + 1));
    }
    case Option::Transcript:
        options.transcriptPath = value;
        return value.empty() ? bad : std::string();
    case Option::NoReply: {
        const std::optional<Field> field = fieldByKey(value);
        if (!field)
            return bad;
        options.faults.noReply[static_cast<std::size_t>(*field)] = true;
        return {};
    }
    case Option::ReplyDelay:
        return parseMilliseconds(value, options.faults.replyDelay) ? std::string() : bad;
    case Option::SplitReply:
        return parseCount(value, options.faults.splitReply) && options.faults.splitReply > 0 ? std::string() : bad;
    case Option::SplitGap:
        return parseMilliseconds(value, options.faults.splitGap) ? std::string() : bad;
    case Option::Garbage: {
        std::optional<std::string> bytes = parseHexBytes(value);
        if (!bytes || bytes->empty())
            return bad;
        options.faults.garbage = *bytes;
        return {};
    }
    case Option::DropAfter:
        return parseCount(value, options.faults.dropAfter) && options.faults.dropAfter > 0 ? std::string() : bad;
    case Option::FirstModelReply:
        options.faults.firstModelReply = value;
        return {};
    case Option::IdleTimeout:
        return parseMilliseconds(value, options.idleTimeout) ? std::string() : bad;
    case Option::Help:
        options.help = true;
        return {};
    }
    return bad;
}

}  // namespace

OptionsResult parseOptions(std::span<const std::string> args, OptionScope scope)
{
    OptionsResult result;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const OptionInfo* info = findOption(args[i]);
        if (!info || (scope == OptionScope::InProcess && !info->inProcess)) {
            result.error = "unknown option \"" + args[i] + "\"";
            return result;
        }
        std::string value;
        if (!info->value.empty()) {
            if (i + 1 >= args.size()) {
                result.error = std::string(info->name) + " needs " + std::string(info->value);
                return result;
            }
            value = args[++i];
        }
        result.error = apply(*info, value, result.options);
        if (!result.error.empty())
            return result;
    }
    const EmulatorOptions& options = result.options;
    if (scope == OptionScope::Executable && !options.help && !options.tcp && options.ptyLink.empty())
        result.error = "no endpoint: --no-tcp needs --pty LINK";
    return result;
}

SplitText splitOptionText(std::string_view text)
{
    SplitText result;
    std::vector<std::string>& args = result.args;
    std::string current;
    bool inArgument = false;
    char quote = 0;
    for (char c : text) {
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                current.push_back(c);
        } else if (c == '\'' || c == '"') {
            quote = c;
            inArgument = true;
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inArgument)
                args.push_back(std::move(current));
            current.clear();
            inArgument = false;
        } else {
            current.push_back(c);
            inArgument = true;
        }
    }
    if (quote) {
        result.error = std::string("unbalanced ") + quote + " quote";
        return result;
    }
    if (inArgument)
        args.push_back(std::move(current));
    return result;
}

OptionsResult parseOptionText(std::string_view text, OptionScope scope)
{
    SplitText split = splitOptionText(text);
    if (!split.error.empty())
        return {{}, split.error};
    return parseOptions(split.args, scope);
}

std::string usageText(OptionScope scope)
{
    std::string text = scope == OptionScope::Executable
                           ? "usage: printer-emulator [--tcp HOST:PORT] [--pty LINK] [--set KEY=VALUE]... "
                             "[--transcript FILE] [fault options]\n\n"
                           : "KR5050_EMULATOR holds: [--set KEY=VALUE]... [--transcript FILE] [fault options]\n\n";
    for (const OptionInfo& info : kOptions) {
        if (scope == OptionScope::InProcess && !info.inProcess)
            continue;
        std::string left = "  " + std::string(info.name);
        if (!info.value.empty())
            left += " " + std::string(info.value);
        left.resize(std::max<std::size_t>(left.size() + 1, 30), ' ');
        text += left + std::string(info.help) + "\n";
    }
    text += "\nkeys and defaults:\n";
    for (const FieldInfo& field : kFields) {
        text += "  " + std::string(field.key) + "=" + std::string(field.defaultValue);
        if (!field.choices.empty())
            text += "  (" + std::string(field.choices) + ")";
        text += "\n";
    }
    if (scope == OptionScope::Executable)
        text += "\nWhile it runs, lines on standard input change values, the status states too:\n"
                "  set paper=out\n  set cover=open drawer=open online=no\n";
    return text;
}

}  // namespace emulator
