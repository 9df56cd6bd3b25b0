#include "ctl/target.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>

namespace softswitch::ctl {

namespace {

// A whole decimal number within [low, high].
std::optional<long> number(std::string_view text, long low, long high)
{
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

struct Word {
    const char* word;
    int value;
};
constexpr Word kParities[] = {{"N", int(Parity::None)}, {"NONE", int(Parity::None)},
                              {"E", int(Parity::Even)}, {"EVEN", int(Parity::Even)}};
constexpr Word kHandshakes[] = {{"DTR/DSR", int(Handshaking::DtrDsr)}, {"DTR", int(Handshaking::DtrDsr)},
                                {"XON/XOFF", int(Handshaking::XonXoff)}, {"XON", int(Handshaking::XonXoff)}};

template <std::size_t N>
std::optional<int> lookUp(const Word (&table)[N], const std::string& word)
{
    for (const Word& entry : table)
        if (upper(word) == entry.word)
            return entry.value;
    return std::nullopt;
}

// "@BAUD[,PARITY[,HANDSHAKE]]" after a serial target.
bool parseLineSettings(const std::string& text, Target& target, std::string& why)
{
    const std::vector<std::string> fields = split(text, ',');
    const auto baud = number(fields[0], 0, 1'000'000);
    if (!baud || std::find(std::begin(kBaudRates), std::end(kBaudRates), *baud) == std::end(kBaudRates)) {
        why = "the speed must be 115200, 38400, 19200 or 9600";
        return false;
    }
    target.baud = static_cast<int>(*baud);
    if (fields.size() > 1) {
        const auto parity = lookUp(kParities, fields[1]);
        if (!parity) {
            why = "the parity must be N (NONE) or E (EVEN)";
            return false;
        }
        target.parity = static_cast<Parity>(*parity);
    }
    if (fields.size() > 2) {
        const auto handshake = lookUp(kHandshakes, fields[2]);
        if (!handshake) {
            why = "the handshake must be DTR/DSR or XON/XOFF";
            return false;
        }
        target.handshake = static_cast<Handshaking>(*handshake);
    }
    if (fields.size() > 3) {
        why = "too many serial settings";
        return false;
    }
    return true;
}

// HOST[:PORT]; a host is anything up to the last colon.
bool splitHostPort(const std::string& text, std::string& host, int& port, std::string& why)
{
    const std::size_t colon = text.rfind(':');
    host = text.substr(0, colon);
    if (colon != std::string::npos) {
        const auto value = number(text.substr(colon + 1), 1, 65535);
        if (!value) {
            why = "the port must be a number from 1 to 65535";
            return false;
        }
        port = static_cast<int>(*value);
    }
    if (host.empty()) {
        why = "the host is missing";
        return false;
    }
    return true;
}

std::optional<std::array<std::uint8_t, 4>> ipv4(const std::string& text)
{
    const std::vector<std::string> parts = split(text, '.');
    if (parts.size() != 4)
        return std::nullopt;
    std::array<std::uint8_t, 4> address{};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto part = number(parts[i], 0, 255);
        if (!part)
            return std::nullopt;
        address[i] = static_cast<std::uint8_t>(*part);
    }
    return address;
}

std::string dotted(std::uint32_t address)
{
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 255) + "."
           + std::to_string((address >> 8) & 255) + "." + std::to_string(address & 255);
}

std::uint32_t packed(const std::array<std::uint8_t, 4>& a)
{
    return (std::uint32_t(a[0]) << 24) | (std::uint32_t(a[1]) << 16) | (std::uint32_t(a[2]) << 8) | a[3];
}

} // namespace

std::string Target::name() const
{
    std::string settings;
    if (kind == LinkKind::Serial)
        settings = "@" + std::to_string(baud) + (parity == Parity::Even ? ",E" : ",N")
                   + (handshake == Handshaking::XonXoff ? ",XON/XOFF" : ",DTR/DSR");
    switch (kind) {
    case LinkKind::Tcp:
        return "tcp:" + host + ":" + std::to_string(port);
    case LinkKind::Serial:
        return (comNumber > 0 ? "com:" + std::to_string(comNumber) : "serial:" + path) + settings;
    case LinkKind::Usb:
        return "usb";
    case LinkKind::Parallel:
        return path.empty() ? "lpt" : "lpt:" + path;
    case LinkKind::None:
        break;
    }
    return {};
}

std::string Target::laneKey() const
{
    switch (kind) {
    case LinkKind::Tcp:
        return "tcp:" + host + ":" + std::to_string(port);
    case LinkKind::Serial:
        return comNumber > 0 ? "com:" + std::to_string(comNumber) : "serial:" + path;
    case LinkKind::Usb:
        return "usb";
    case LinkKind::Parallel:
        return "lpt:" + path;
    case LinkKind::None:
        break;
    }
    return {};
}

std::optional<Target> parseTarget(const std::string& text, std::string& why)
{
    Target target;
    const std::size_t colon = text.find(':');
    const std::string scheme = text.substr(0, colon);
    const std::string rest = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    if (scheme == "tcp" && colon != std::string::npos) {
        target.kind = LinkKind::Tcp;
        if (!splitHostPort(rest, target.host, target.port, why))
            return std::nullopt;
        return target;
    }
    if ((scheme == "com" || scheme == "serial") && colon != std::string::npos) {
        target.kind = LinkKind::Serial;
        const std::size_t at = rest.find('@');
        const std::string port = rest.substr(0, at);
        if (scheme == "com") {
            const auto com = number(port, 1, 16);
            if (!com) {
                why = "the COM port must be a number from 1 to 16";
                return std::nullopt;
            }
            target.comNumber = static_cast<int>(*com);
        } else if (port.empty()) {
            why = "the serial device path is missing";
            return std::nullopt;
        } else {
            target.path = port;
        }
        if (at != std::string::npos && !parseLineSettings(rest.substr(at + 1), target, why))
            return std::nullopt;
        return target;
    }
    if (text == "usb") {
        target.kind = LinkKind::Usb;
        return target;
    }
    if (scheme == "lpt") {
        target.kind = LinkKind::Parallel;
        target.path = rest;
        if (colon != std::string::npos && rest.empty()) {
            why = "the parallel device path is missing";
            return std::nullopt;
        }
        return target;
    }
    why = "a target is tcp:HOST[:PORT], com:N or serial:PATH with @BAUD[,PARITY[,HANDSHAKE]], usb or lpt[:PATH]";
    return std::nullopt;
}

std::optional<std::vector<Target>> parseRange(const std::string& text, std::string& why)
{
    // The port follows the last colon unless that colon is part of nothing else.
    std::string hosts = text;
    int port = kDefaultTcpPort;
    if (text.find(':') != std::string::npos && !splitHostPort(text, hosts, port, why))
        return std::nullopt;

    std::uint32_t first = 0;
    std::uint32_t last = 0;
    if (const std::size_t dash = hosts.find('-'); dash != std::string::npos && ipv4(hosts.substr(0, dash))) {
        const auto start = ipv4(hosts.substr(0, dash));
        const auto end = number(hosts.substr(dash + 1), 0, 255);
        if (!end || *end < (*start)[3]) {
            why = "in A.B.C.D-E, E must be a number from D to 255";
            return std::nullopt;
        }
        first = packed(*start);
        last = (first & 0xFFFFFF00u) | static_cast<std::uint32_t>(*end);
    } else if (const std::size_t slash = hosts.find('/'); slash != std::string::npos) {
        const auto network = ipv4(hosts.substr(0, slash));
        const auto bits = number(hosts.substr(slash + 1), 16, 32);
        if (!network || !bits) {
            why = "in A.B.C.D/N, N must be a number from 16 to 32";
            return std::nullopt;
        }
        const std::uint32_t mask = *bits == 32 ? 0xFFFFFFFFu : ~(0xFFFFFFFFu >> *bits);
        first = packed(*network) & mask;
        last = first | ~mask;
        if (*bits < 31) { // neither the network's own address nor its broadcast address
            ++first;
            --last;
        }
    } else {
        Target single;
        single.host = hosts;
        single.port = port;
        return std::vector<Target>{single};
    }
    std::vector<Target> targets;
    for (std::uint64_t address = first; address <= last; ++address) {
        Target target;
        target.host = dotted(static_cast<std::uint32_t>(address));
        target.port = port;
        targets.push_back(target);
    }
    return targets;
}

} // namespace softswitch::ctl
