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

QString ShellIntegrationCommandLine(const QString& programPath, bool on)
{
    const QString helper = QFileInfo(programPath).dir().filePath(QStringLiteral(FOLIVO_INTEGRATION_HELPER));
    return Quoted(helper) + (on ? QStringLiteral(" /s ") : QStringLiteral(" /s /u ")) + Quoted(programPath);
}

bool SwitchShellIntegration(bool on)
{
    if (!folivo::SaveShellIntegration(on ? kShellIntegrationOn : kShellIntegrationOff))
        return false;
    const QString commandLine = ShellIntegrationCommandLine(QCoreApplication::applicationFilePath(), on);
    if (Runner())
        Runner()(commandLine);
    else
        RunAndWait(commandLine);
    return true;
}

void RunAndWait(const QString& commandLine)
{
    QProcess helper;
    helper.setProcessChannelMode(QProcess::ForwardedChannels);
    helper.setInputChannelMode(QProcess::ForwardedInputChannel);
    helper.startCommand(commandLine);
    if (helper.waitForStarted(-1))
        helper.waitForFinished(-1);
}

void SetCommandRunner(CommandRunner runner)
{
    Runner() = std::move(runner);
}
