#pragma once
// The whole window model on the fakes, with a scripted printer on the serial
// line: each query gets the next reply queued for it, or its standing reply.
// Commands are recorded by short names ("maker", "sw1", ...).

#include "app/mainwindow.h"
#include "fakeplatform.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace softswitch::testing {

class ScriptedPrinter {
public:
    // A loaded window whose model label already shows the model.
    explicit ScriptedPrinter(const std::string& model = "KR-5050")
    {
        EXPECT_TRUE(window.load());
        fakes.serial.printer = [this](const std::vector<std::uint8_t>& command) { return answer(command); };
        standing("model", model);
        form.lblKR_INFO[0].setCaption(model);
    }
    ScriptedPrinter(const ScriptedPrinter&) = delete;
    ScriptedPrinter& operator=(const ScriptedPrinter&) = delete;

    // The reply a query gets next, once; "" is silence.
    void queue(const std::string& query, const std::string& reply) { m_queued[query].push_back(reply); }
    // The reply a query gets whenever nothing is queued for it.
    void standing(const std::string& query, const std::string& reply) { m_standing[query] = reply; }

    // The names of the commands sent so far, blank-separated.
    std::string sent() const
    {
        std::string names;
        for (const std::string& name : m_sent)
            names += (names.empty() ? "" : " ") + name;
        return names;
    }

    struct Parts {
        Form1& form;
        SharedState& state;
        Queries& queries;
    };
    Parts parts() { return {form, state, queries}; }

    FakePlatform fakes;
    MainWindow window{fakes.platform()};
    Form1& form = window.form();
    SharedState& state = window.state();
    Queries& queries = window.queries();

private:
    std::string answer(const std::vector<std::uint8_t>& command)
    {
        static const std::map<std::vector<std::uint8_t>, std::string> kNames = {
            {{29, 73, 66}, "maker"},           {{29, 73, 67}, "model"},           {{29, 73, 65}, "firmware"},
            {{29, 103, 52, 16}, "hours"},      {{29, 103, 52, 27}, "lines"},      {{29, 103, 52, 21}, "cuts"},
            {{29, 103, 52, 22}, "failedcuts"}, {{29, 73, 68}, "serial"},          {{29, 103, 52, 9}, "installed"},
            {{29, 103, 52, 36}, "language"},   {{29, 73, 69}, "fontrom"},         {{29, 103, 52, 33}, "codepage"},
            {{29, 103, 52, 34}, "interchars"}, {{29, 103, 52, 48, 0}, "density"}, {{29, 103, 52, 37, 0}, "new8x16"},
            {{29, 103, 52, 43, 0}, "thai"},    {{29, 103, 52, 39, 0}, "sw1"},     {{29, 103, 52, 40, 0}, "sw2"},
            {{29, 103, 52, 41, 0}, "sw3"},     {{29, 103, 52, 42, 0}, "sw4"},
        };
        const auto known = kNames.find(command);
        const std::string name = known == kNames.end() ? "unknown" : known->second;
        m_sent.push_back(name);
        std::string reply = m_standing.count(name) ? m_standing[name] : "";
        if (auto& queued = m_queued[name]; !queued.empty()) {
            reply = queued.front();
            queued.pop_front();
        }
        return reply.empty() ? "" : "_" + reply;
    }

    std::map<std::string, std::string> m_standing = {
        {"maker", "TARVENIC"},   {"model", "KR-5050"},   {"firmware", "V2.01"}, {"hours", "1520"},
        {"lines", "283400"},     {"cuts", "9875"},        {"failedcuts", "2"},   {"serial", "K5050A000123"},
        {"installed", "2023-03-14"}, {"language", "MULTILINGUAL"}, {"fontrom", "ANK24"}, {"codepage", "0"},
        {"interchars", "0"},     {"thai", "255"},         {"sw1", "0"},          {"sw2", "0"},
        {"sw3", "0"},            {"sw4", "0"},
    };
    std::map<std::string, std::deque<std::string>> m_queued;
    std::vector<std::string> m_sent;
};

} // namespace softswitch::testing
