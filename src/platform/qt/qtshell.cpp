#include "platform/qt/qtshell.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace softswitch {

namespace {

// The Windows editor the command line names; on this desktop the file is
// handed to the opener instead.
constexpr const char* kEditorName = "notepad.exe";
// Where an installed copy of a file the editor opens lives, from the program's folder.
constexpr const char* kInstalledDataFolder = "../share/softswitch";

} // namespace

QtShell::QtShell(std::function<void()> onEnd, std::string opener)
    : m_onEnd(std::move(onEnd)), m_opener(std::move(opener))
{
}

std::optional<QtShell::Command> QtShell::commandFor(const std::string& commandLine,
                                                   const std::string& workingFolder,
                                                   const std::string& programFolder) const
{
    const QStringList words = QProcess::splitCommand(QString::fromLocal8Bit(commandLine));
    if (words.isEmpty())
        return std::nullopt;
    Command command;
    if (words.front().toLower() == QLatin1String(kEditorName)) {
        if (words.size() < 2)
            return std::nullopt;
        const QString name = words.sliced(1).join(' ');
        QStringList folders{QString::fromLocal8Bit(workingFolder)};
        if (!programFolder.empty()) {
            const QDir program(QString::fromLocal8Bit(programFolder));
            folders << program.path() << QDir::cleanPath(program.filePath(kInstalledDataFolder));
        }
        for (const QString& folder : folders) {
            const QFileInfo file(QDir(folder), name);
            if (file.isFile()) {
                command.program = m_opener;
                command.arguments.push_back(file.absoluteFilePath().toStdString());
                return command;
            }
        }
        // A missing help file would only make the opener fail later, out of sight.
        return std::nullopt;
    }
    command.program = words.front().toStdString();
    for (qsizetype i = 1; i < words.size(); ++i)
        command.arguments.push_back(words[i].toStdString());
    return command;
}

bool QtShell::launch(const std::string& commandLine)
{
    // Without an application object Qt knows no program folder (and says so).
    const std::string programFolder =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath().toStdString() : std::string();
    const auto command = commandFor(commandLine, QDir::currentPath().toStdString(), programFolder);
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
