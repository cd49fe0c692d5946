#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace platterly::cli {

// Exit statuses of the command line.
inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1;
inline constexpr int kUsage = 2;

// What every command is given: its own arguments (options already taken out), the catalogue
// file to work on and where to write.
struct Invocation
{
    QString command;
    QStringList arguments;
    QString catalogue;
    bool json = false;
    bool help = false;
    QTextStream& out;
    QTextStream& err;

    int fail(const QString& message) const;
    int usage(const QString& text) const;
    // Wrong usage of this command: says why, then the command's own usage.
    int wrongUsage(const QString& why) const;
};

struct Command
{
    const char* name;
    const char* synopsis; // arguments after the command name
    const char* summary;
    int (*run)(const Invocation&);
};

// Commands live beside the code that runs them; each file gives its own.
const Command* catalogueCommands(int* count);
const Command* driveCommands(int* count);
const Command* searchCommands(int* count);
const Command* maintenanceCommands(int* count);

QString usageText();
QString commandUsage(const Command& command);

} // namespace platterly::cli
