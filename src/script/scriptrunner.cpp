#include "script/scriptrunner.h"

#include "script/scripttext.h"

#include <charconv>
#include <cstdio>
#include <sstream>
#include <utility>

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

const char* kindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label: return "label";
    case ControlKind::Button: return "button";
    case ControlKind::Option: return "option";
    case ControlKind::Combo: return "combo";
    case ControlKind::TextBox: return "textbox";
    case ControlKind::Frame: return "frame";
    case ControlKind::TabControl: return "tabs";
    case ControlKind::Timer: break;
    }
    return "timer";
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
    if (icon == MsgIcon::Critical && !m_critical)
        m_critical = text;
    m_out << "msgbox icon=" << iconName(icon) << " buttons=" << (buttons == MsgButtons::YesNo ? "YesNo" : "OK")
          << " title=" << quoted(title) << " text=" << quoted(text) << " -> " << answerName(answer) << '\n';
    m_out.flush();
    return answer;
}

std::optional<std::string> ScriptBoxes::takeCritical()
{
    return std::exchange(m_critical, std::nullopt);
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

void listControls(const Form1& form, std::ostream& out)
{
    for (const Control* c : form.controls())
        out << c->name() << ' ' << kindName(c->kind()) << '\n';
    for (const SharedStateLine& line : kSharedStateLines)
        out << line.name << " shared-state\n";
}

const ScriptRunner::Action ScriptRunner::kActions[] = {
    {"pick", &ScriptRunner::pick},     {"type", &ScriptRunner::type},   {"click", &ScriptRunner::click},
    {"tab", &ScriptRunner::tab},       {"answer", &ScriptRunner::answer}, {"wait", &ScriptRunner::wait},
    {"dump", &ScriptRunner::dump},     {"close", &ScriptRunner::close},
};

ScriptRunner::ScriptRunner(MainWindow& window, ScriptBoxes& boxes, std::ostream& out, std::ostream& err,
                           std::function<void(int ms)> wait, bool strict)
    : m_window(window), m_boxes(boxes), m_out(out), m_err(err), m_wait(std::move(wait)), m_strict(strict)
{
}

int ScriptRunner::run(std::istream& script)
{
    if (!m_window.load()) {
        endedIfOver();
        return strictStop() ? kExitStrictStop : kExitOk;
    }
    if (strictStop())
        return kExitStrictStop;
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
        endedIfOver();
        if (strictStop())
            return kExitStrictStop;
        if (m_window.ended())
            return kExitOk;
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

bool ScriptRunner::strictStop()
{
    const auto critical = m_boxes.takeCritical();
    const auto refusal = std::exchange(m_refusal, std::nullopt);
    if (!m_strict || (!critical && !refusal))
        return false;
    m_err << "line " << m_lineNumber << ": ";
    if (refusal)
        m_err << "refused " << *refusal << '\n';
    else
        m_err << "critical message box " << quoted(*critical) << '\n';
    return true;
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
    if (!m_refusal)
        m_refusal = target.name();
    return true;
}

bool ScriptRunner::execute(const std::string& line)
{
    const auto [command, rest] = firstWord(line);
    for (const Action& action : kActions)
        if (command == action.word)
            return (this->*action.run)(rest);
    return fail("unknown command " + printable(command));
}

bool ScriptRunner::namedText(const std::string& rest, Control*& target, std::string& text)
{
    const auto [name, argument] = firstWord(rest);
    target = control(name);
    if (target == nullptr)
        return fail("unknown control " + printable(name));
    const auto unescaped = unescape(argument);
    if (!unescaped)
        return fail("bad escape in " + printable(argument));
    text = *unescaped;
    return true;
}

bool ScriptRunner::type(const std::string& rest)
{
    Control* target = nullptr;
    std::string text;
    if (!namedText(rest, target, text))
        return false;
    if (target->kind() != ControlKind::TextBox && target->kind() != ControlKind::Combo)
        return fail(target->name() + " takes no typing");
    if (!refused(*target))
        target->setText(text);
    return true;
}

bool ScriptRunner::pick(const std::string& rest)
{
    Control* target = nullptr;
    std::string text;
    if (!namedText(rest, target, text))
        return false;
    if (target->kind() != ControlKind::Combo)
        return fail(target->name() + " is not a combo box");
    int index = -1;
    for (std::size_t i = 0; i < target->list.size(); ++i)
        if (target->list[i] == text)
            index = static_cast<int>(i);
    if (index < 0)
        return fail(target->name() + " has no entry " + quoted(text));
    if (!refused(*target))
        m_window.pick(*target, index);
    return true;
}

bool ScriptRunner::click(const std::string& rest)
{
    Control* target = control(rest);
    if (target == nullptr)
        return fail("unknown control " + printable(rest));
    if (target->kind() != ControlKind::Button && target->kind() != ControlKind::Option)
        return fail(rest + " cannot be clicked");
    if (!refused(*target))
        m_window.click(*target);
    return true;
}

bool ScriptRunner::tab(const std::string& rest)
{
    int tab = 0;
    const int tabCount = static_cast<int>(m_window.form().SSTab1.tabCaptions.size());
    if (!parseInt(rest, tab) || tab < 0 || tab >= tabCount)
        return fail("no tab " + printable(rest));
    if (!refused(m_window.form().SSTab1))
        m_window.selectTab(tab);
    return true;
}

bool ScriptRunner::answer(const std::string& rest)
{
    constexpr std::pair<const char*, MsgAnswer> kAnswers[] = {
        {"OK", MsgAnswer::Ok}, {"Yes", MsgAnswer::Yes}, {"No", MsgAnswer::No}};
    for (const auto& [word, answer] : kAnswers) {
        if (rest == word) {
            m_boxes.queue(answer);
            return true;
        }
    }
    return fail("unknown answer " + printable(rest));
}

bool ScriptRunner::wait(const std::string& rest)
{
    int ms = 0;
    if (!parseInt(rest, ms) || ms < 0)
        return fail("bad wait " + printable(rest));
    m_wait(ms);
    return true;
}

bool ScriptRunner::dump(const std::string& rest)
{
    std::vector<std::string> names;
    std::istringstream words(rest);
    for (std::string name; words >> name;)
        names.push_back(name);
    for (const std::string& name : names)
        if (!control(name) && !m_window.form().findArray(name) && !sharedStateLine(name))
            return fail("unknown control " + printable(name));
    dump(names);
    return true;
}

bool ScriptRunner::close(const std::string& rest)
{
    if (!rest.empty())
        return fail("unknown command close");
    m_window.close();
    return true;
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
