#include "script/scriptrunner.h"

#include "script/scripttext.h"

#include <charconv>
#include <cstdio>
#include <sstream>

namespace softswitch::script {

namespace {

const char* iconName(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical: return "critical";
    case MsgIcon::Information: return "information";
    case MsgIcon::Question: return "question";
    case MsgIcon::Exclamation: return "exclamation";
    case MsgIcon::None: break;
    }
    return "none";
}

const char* answerName(MsgAnswer answer)
{
    switch (answer) {
    case MsgAnswer::Yes: return "Yes";
    case MsgAnswer::No: return "No";
    case MsgAnswer::Ok: break;
    }
    return "OK";
}

const char* boolText(bool value) { return value ? "true" : "false"; }

std::string colourText(std::uint32_t colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", colour & 0xFFFFFFu);
    return text;
}

// The shared state a dump shows after the controls, in this order, each as
// NAME=VALUE. ActiveControl is the window's: the control with the focus.
struct SharedStateLine {
    const char* name;
    std::string (*value)(MainWindow& window);
};

const SharedStateLine kSharedStateLines[] = {
    {"PortName", [](MainWindow& w) { return quoted(w.state().PortName); }},
    {"PortType", [](MainWindow& w) { return quoted(portTypeText(w.state())); }},
    {"MakerString", [](MainWindow& w) { return quoted(w.state().MakerString); }},
    {"SettingsChanged", [](MainWindow& w) { return std::string(boolText(w.state().SettingsChanged)); }},
    {"TabSwitching", [](MainWindow& w) { return std::string(boolText(w.state().TabSwitching)); }},
    {"LastTcpState", [](MainWindow& w) { return std::to_string(w.state().LastTcpState); }},
    {"ActiveControl", [](MainWindow& w) {
         const Control* active = w.form().activeControl();
         return quoted(active ? active->name() : std::string());
     }},
};

const SharedStateLine* sharedStateLine(const std::string& name)
{
    for (const SharedStateLine& line : kSharedStateLines)
        if (name == line.name)
            return &line;
    return nullptr;
}

// Splits "word rest of line" at the first blank.
std::pair<std::string, std::string> firstWord(const std::string& text)
{
    const auto blank = text.find(' ');
    if (blank == std::string::npos)
        return {text, {}};
    return {text.substr(0, blank), text.substr(blank + 1)};
}

bool parseInt(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

} // namespace

MsgAnswer ScriptBoxes::show(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title)
{
    MsgAnswer answer = buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    if (!m_answers.empty()) {
        const MsgAnswer queued = m_answers.front();
        m_answers.pop_front();
        const bool fits = buttons == MsgButtons::YesNo ? queued != MsgAnswer::Ok : queued == MsgAnswer::Ok;
        if (fits)
            answer = queued;
    }
    m_out << "msgbox icon=" << iconName(icon) << " buttons=" << (buttons == MsgButtons::YesNo ? "YesNo" : "OK")
          << " title=" << quoted(title) << " text=" << quoted(text) << " -> " << answerName(answer) << '\n';
    m_out.flush();
    return answer;
}

bool ScriptShell::launch(const std::string& commandLine)
{
    m_out << "launch " << quoted(commandLine) << '\n';
    m_out.flush();
    return true;
}

void dumpControl(const Control& control, std::ostream& out)
{
    const std::string& n = control.name();
    switch (control.kind()) {
    case ControlKind::Label:
    case ControlKind::Button:
    case ControlKind::Frame:
        out << n << ".Caption=" << quoted(control.caption()) << '\n';
        break;
    case ControlKind::Option:
        out << n << ".Caption=" << quoted(control.caption()) << '\n';
        out << n << ".Value=" << boolText(control.value()) << '\n';
        break;
    case ControlKind::Combo:
        out << n << ".Text=" << quoted(control.Text) << '\n';
        out << n << ".ListIndex=" << control.listIndex() << '\n';
        break;
    case ControlKind::TextBox:
        out << n << ".Text=" << quoted(control.Text) << '\n';
        break;
    case ControlKind::TabControl:
        out << n << ".Tab=" << control.tab() << '\n';
        out << n << ".Visible=" << boolText(control.Visible) << '\n';
        return;
    case ControlKind::Timer:
        out << n << ".Enabled=" << boolText(control.enabled()) << '\n';
        out << n << ".Interval=" << control.Interval << '\n';
        return;
    }
    out << n << ".Enabled=" << boolText(control.enabled()) << '\n';
    out << n << ".Visible=" << boolText(control.Visible) << '\n';
    if (control.kind() == ControlKind::Option)
        out << n << ".FontBold=" << boolText(control.FontBold) << '\n';
    if (control.kind() == ControlKind::TextBox)
        out << n << ".ForeColor=" << colourText(control.ForeColor) << '\n';
}

ScriptRunner::ScriptRunner(MainWindow& window, ScriptBoxes& boxes, std::ostream& out, std::ostream& err,
                           std::function<void(int ms)> wait)
    : m_window(window), m_boxes(boxes), m_out(out), m_err(err), m_wait(std::move(wait))
{
}

int ScriptRunner::run(std::istream& script)
{
    if (!m_window.load()) {
        endedIfOver();
        return kExitOk;
    }
    std::string line;
    while (std::getline(script, line)) {
        ++m_lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        if (!execute(line))
            return kExitScriptError;
        m_out.flush();
        if (m_window.ended()) {
            endedIfOver();
            return kExitOk;
        }
    }
    return kExitOk;
}

void ScriptRunner::endedIfOver()
{
    if (m_window.ended() && !m_endPrinted) {
        m_out << "ended\n";
        m_out.flush();
        m_endPrinted = true;
    }
}

bool ScriptRunner::fail(const std::string& why)
{
    m_err << "line " << m_lineNumber << ": " << why << '\n';
    return false;
}

Control* ScriptRunner::control(const std::string& name)
{
    return m_window.form().find(name);
}

bool ScriptRunner::refused(const Control& target)
{
    if (m_window.form().reachable(target))
        return false;
    m_out << "refused " << target.name() << '\n';
    return true;
}

bool ScriptRunner::execute(const std::string& line)
{
    const auto [command, rest] = firstWord(line);
    if (command == "pick" || command == "type") {
        const auto [name, argument] = firstWord(rest);
        Control* target = control(name);
        if (target == nullptr)
            return fail("unknown control " + name);
        const auto text = unescape(argument);
        if (!text)
            return fail("bad escape in " + argument);
        if (command == "type") {
            if (target->kind() != ControlKind::TextBox && target->kind() != ControlKind::Combo)
                return fail(name + " takes no typing");
            if (!refused(*target))
                target->setText(*text);
            return true;
        }
        if (target->kind() != ControlKind::Combo)
            return fail(name + " is not a combo box");
        int index = -1;
        for (std::size_t i = 0; i < target->list.size(); ++i)
            if (target->list[i] == *text)
                index = static_cast<int>(i);
        if (index < 0)
            return fail(name + " has no entry " + quoted(*text));
        if (!refused(*target))
            m_window.pick(*target, index);
        return true;
    }
    if (command == "click") {
        Control* target = control(rest);
        if (target == nullptr)
            return fail("unknown control " + rest);
        if (target->kind() != ControlKind::Button && target->kind() != ControlKind::Option)
            return fail(rest + " cannot be clicked");
        if (!refused(*target))
            m_window.click(*target);
        return true;
    }
    if (command == "tab") {
        int tab = 0;
        const int tabCount = static_cast<int>(m_window.form().SSTab1.tabCaptions.size());
        if (!parseInt(rest, tab) || tab < 0 || tab >= tabCount)
            return fail("no tab " + rest);
        if (!refused(m_window.form().SSTab1))
            m_window.selectTab(tab);
        return true;
    }
    if (command == "answer") {
        if (rest == "OK")
            m_boxes.queue(MsgAnswer::Ok);
        else if (rest == "Yes")
            m_boxes.queue(MsgAnswer::Yes);
        else if (rest == "No")
            m_boxes.queue(MsgAnswer::No);
        else
            return fail("unknown answer " + rest);
        return true;
    }
    if (command == "wait") {
        int ms = 0;
        if (!parseInt(rest, ms) || ms < 0)
            return fail("bad wait " + rest);
        m_wait(ms);
        return true;
    }
    if (command == "dump") {
        std::vector<std::string> names;
        std::istringstream words(rest);
        for (std::string name; words >> name;)
            names.push_back(name);
        for (const std::string& name : names)
            if (!control(name) && !m_window.form().findArray(name) && !sharedStateLine(name))
                return fail("unknown control " + name);
        dump(names);
        return true;
    }
    if (command == "close" && rest.empty()) {
        m_window.close();
        return true;
    }
    return fail("unknown command " + command);
}

void ScriptRunner::dump(const std::vector<std::string>& names)
{
    const Form1& form = m_window.form();
    if (names.empty()) {
        for (const Control* c : form.controls())
            dumpControl(*c, m_out);
        for (const SharedStateLine& line : kSharedStateLines)
            m_out << line.name << '=' << line.value(m_window) << '\n';
        return;
    }
    for (const std::string& name : names) {
        if (Control* c = form.find(name))
            dumpControl(*c, m_out);
        else if (ControlArray* array = form.findArray(name))
            for (Control* element : array->all())
                dumpControl(*element, m_out);
        else if (const SharedStateLine* line = sharedStateLine(name))
            m_out << line->name << '=' << line->value(m_window) << '\n';
    }
}

} // namespace softswitch::script
