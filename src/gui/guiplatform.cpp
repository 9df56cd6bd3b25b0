#include "gui/guiplatform.h"

#include "form/programend.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>

namespace softswitch::gui {

namespace {

// One screen refresh: waits shorter than this need no new picture.
constexpr std::chrono::milliseconds kFrame{16};

// A printer's reply may carry its NUL terminator into a message; a message
// box shows the text up to there and after it, without the NUL.
QString shownText(const std::string& text)
{
    QString shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    shown.remove(QChar(u'\0'));
    return shown;
}

// The window is busy while a flow runs; a message box waits for the user.
class ArrowWhileOpen {
public:
    ArrowWhileOpen() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~ArrowWhileOpen() { QApplication::restoreOverrideCursor(); }
    ArrowWhileOpen(const ArrowWhileOpen&) = delete;
    ArrowWhileOpen& operator=(const ArrowWhileOpen&) = delete;
};

} // namespace

MsgAnswer GuiBoxes::show(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title)
{
    if (m_beforeShow)
        m_beforeShow();
    const ArrowWhileOpen arrow;
    QMessageBox box(m_parent ? m_parent() : nullptr);
    box.setWindowTitle(shownText(title));
    box.setText(shownText(text));
    switch (icon) {
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    }
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::No ? MsgAnswer::No : MsgAnswer::Yes;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MsgAnswer::Ok;
}

GuiShell::GuiShell(std::function<void()> onEnd, std::function<void(const std::string& path)> failed,
                   std::string opener)
    : m_shell(std::move(onEnd), std::move(opener)), m_failed(std::move(failed))
{
}

bool GuiShell::launch(const std::string& commandLine)
{
    const auto command = m_shell.commandFor(commandLine, QDir::currentPath().toStdString(),
                                            QCoreApplication::applicationDirPath().toStdString());
    if (!command)
        return false;
    // Not detached, to learn how it ended; not parented, so that closing the
    // window neither waits for nor kills an editor the opener started.
    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setProgram(QString::fromStdString(command->program));
    QStringList arguments;
    for (const std::string& argument : command->arguments)
        arguments << QString::fromStdString(argument);
    process->setArguments(arguments);
    const std::string shown = command->arguments.empty() ? command->program : command->arguments.back();
    const auto failed = m_failed;
    const auto running = m_running;
    QObject::connect(process, &QProcess::finished, process,
                     [process, shown, failed, running](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         --*running;
                         if ((status != QProcess::NormalExit || exitCode != 0) && failed)
                             failed(shown);
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, shown, failed, running](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         process->deleteLater();
                         --*running;
                         if (failed)
                             failed(shown);
                     });
    ++*running;
    process->start();
    return true;
}

GuiEventLoop::GuiEventLoop(EventLoop& inner, std::function<void()> refresh, std::function<void()> paint,
                           std::function<bool()> ended)
    : m_inner(inner), m_refresh(std::move(refresh)), m_paint(std::move(paint)), m_ended(std::move(ended))
{
}

bool GuiEventLoop::frameDue()
{
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastFrame < kFrame)
        return false;
    m_lastFrame = now;
    return true;
}

void GuiEventLoop::sleep(std::chrono::milliseconds duration)
{
    if (frameDue())
        m_paint();
    m_inner.sleep(duration);
}

void GuiEventLoop::processEvents()
{
    // A handler run by these events refreshes the view itself when it ends.
    if (frameDue())
        m_refresh();
    m_inner.processEvents();
    if (m_ended())
        throw ProgramEnded{};
}

} // namespace softswitch::gui
