#include "platform/qt/qtshell.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace softswitch {

namespace {

// The Windows editor the command line names; on this desktop the file is
// handed to the opener instead.
constexpr const char* kEditorName = "notepad.exe";

} // namespace

QtShell::QtShell(std::function<void()> onEnd, std::string opener)
    : m_onEnd(std::move(onEnd)), m_opener(std::move(opener))
{
}

std::optional<QtShell::Command> QtShell::commandFor(const std::string& commandLine,
                                                   const std::string& workingFolder) const
{
    const QStringList words = QProcess::splitCommand(QString::fromLocal8Bit(commandLine));
    if (words.isEmpty())
        return std::nullopt;
    Command command;
    if (words.front().toLower() == QLatin1String(kEditorName)) {
        if (words.size() < 2)
            return std::nullopt;
        const QFileInfo file(QDir(QString::fromLocal8Bit(workingFolder)), words.sliced(1).join(' '));
        // A missing help file would only make the opener fail later, out of sight.
        if (!file.isFile())
            return std::nullopt;
        command.program = m_opener;
        command.arguments.push_back(file.absoluteFilePath().toStdString());
        return command;
    }
    command.program = words.front().toStdString();
    for (qsizetype i = 1; i < words.size(); ++i)
        command.arguments.push_back(words[i].toStdString());
    return command;
}

bool QtShell::launch(const std::string& commandLine)
{
    const auto command = commandFor(commandLine, QDir::currentPath().toStdString());
    if (!command)
        return false;
    QStringList arguments;
    for (const std::string& argument : command->arguments)
        arguments << QString::fromStdString(argument);
    return QProcess::startDetached(QString::fromStdString(command->program), arguments);
}

void QtShell::endProgram()
{
    if (m_onEnd)
        m_onEnd();
}

} // namespace softswitch
