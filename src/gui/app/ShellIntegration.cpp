#include "app/ShellIntegration.h"

#include <core/SettingsGroups.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

CommandRunner& Runner()
{
    static CommandRunner runner;
    return runner;
}

// QProcess::splitCommand's quoting: inside quotes, three quotes are one.
QString Quoted(const QString& path)
{
    QString escaped = path;
    escaped.replace(u'"', QStringLiteral("\"\"\""));
    return u'"' + escaped + u'"';
}

}  // namespace

bool ShellIntegrationStoredOn()
{
    // The stored value is the menu item's check flag itself.
    return (folivo::ReadShellIntegration() & kShellIntegrationOn) != 0;
}

QString ShellIntegrationCommandLine(const QString& programPath, bool on)
{
    const QString helper = QFileInfo(programPath).dir().filePath(QStringLiteral(FOLIVO_INTEGRATION_HELPER));
    return Quoted(helper) + (on ? QStringLiteral(" /s ") : QStringLiteral(" /s /u ")) + Quoted(programPath);
}

QString SwitchShellIntegration(bool on)
{
    const QString commandLine = ShellIntegrationCommandLine(QCoreApplication::applicationFilePath(), on);
    const CommandOutcome outcome = Runner() ? Runner()(commandLine) : RunAndWait(commandLine);
    const QString switched = on ? QStringLiteral("on") : QStringLiteral("off");
    if (outcome.status != 0) {
        QString reason = outcome.errors.trimmed();
        if (reason.isEmpty())
            reason = QStringLiteral("The helper ended with exit status %1.").arg(outcome.status);
        return QStringLiteral("Shell integration could not be switched %1.\n\n").arg(switched) + reason;
    }
    if (!folivo::SaveShellIntegration(on ? kShellIntegrationOn : kShellIntegrationOff))
        return QStringLiteral("Shell integration was switched %1, but this could not be saved in the settings.")
            .arg(switched);
    return {};
}

CommandOutcome RunAndWait(const QString& commandLine)
{
    QProcess helper;
    helper.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    helper.setInputChannelMode(QProcess::ForwardedInputChannel);
    helper.startCommand(commandLine);
    if (!helper.waitForStarted(-1))
        return {-1, helper.program() + QStringLiteral(" could not be started: ") + helper.errorString()};
    helper.waitForFinished(-1);
    CommandOutcome outcome{helper.exitCode(), QString::fromUtf8(helper.readAllStandardError())};
    if (helper.exitStatus() != QProcess::NormalExit) {
        outcome.status = -1;
        outcome.errors += helper.program() + QStringLiteral(" ended abnormally.");
    }
    return outcome;
}

void SetCommandRunner(CommandRunner runner)
{
    Runner() = std::move(runner);
}
