#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace platterly::test {

// What a run of the command line program left: its exit status and its two outputs.
struct CliOutcome
{
    int status = -1;
    QString out;
    QString err;
};

// Starts `program` with `args` in `folder`; given a `shell` command line, through bash, in
// which "$0" "$@" are the program and its arguments (to set limits before it runs).
inline void startCli(QProcess& process, const QStringList& args, const QString& folder = {},
                     const QString& shell = {},
                     const QString& program = QStringLiteral(PLATTERLY_CLI))
{
    process.setWorkingDirectory(folder);
    const QStringList throughShell = QStringList{QStringLiteral("-c"), shell, program} + args;
    process.start(shell.isEmpty() ? program : QStringLiteral("bash"),
                  shell.isEmpty() ? args : throughShell);
    EXPECT_TRUE(process.waitForStarted());
}

inline CliOutcome finishCli(QProcess& process)
{
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

inline CliOutcome runCli(const QStringList& args, const QString& folder = {},
                         const QString& shell = {},
                         const QString& program = QStringLiteral(PLATTERLY_CLI))
{
    QProcess process;
    startCli(process, args, folder, shell, program);
    return finishCli(process);
}

} // namespace platterly::test
