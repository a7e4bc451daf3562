// Runs a program of the desktop product as a separate process, in a folder
// of the test's own, with its stored defaults and temporary files there too.
#pragma once

#include "TestEnvironment.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

struct ProgramRun {
    int status = -1;  // the exit status, -1 when the program did not end normally
    std::string out;
    std::string err;
};

// `inChild`, when given, runs in the child just before the program starts.
inline ProgramRun RunProgram(const QString& program, const QStringList& arguments,
                             const QProcessEnvironment& environment, const std::filesystem::path& folder,
                             const std::function<void()>& inChild = {})
{
    QProcess process;
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(QString::fromStdString(folder.string()));
    process.start(program, arguments);
    ProgramRun run;
    if (!process.waitForStarted(-1) || !process.waitForFinished(-1)) {
        ADD_FAILURE() << program.toStdString() << " did not run";
        return run;
    }
    if (process.exitStatus() == QProcess::NormalExit)
        run.status = process.exitCode();
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}
