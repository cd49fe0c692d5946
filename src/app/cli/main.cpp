// platterly-cli: the catalogue from the command line, over the same core as the windows.
#include "app/cli/cli.h"
#include "platform/archive/image_reader.h"
#include "platform/system/application_folder.h"
#include "platform/system/native_name.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

namespace platterly::cli {

int Invocation::fail(const QString& message) const
{
    err << "platterly-cli: " << QString(message).replace(QLatin1Char('\n'), QLatin1Char(' '))
        << Qt::endl;
    return kFailure;
}

int Invocation::usage(const QString& text) const
{
    err << text << Qt::endl;
    return kUsage;
}

namespace {
std::vector<Command> allCommands();
} // namespace

int Invocation::wrongUsage(const QString& why) const
{
    for (const Command& candidate : allCommands())
        if (command == QLatin1String(candidate.name))
            return usage(QStringLiteral("platterly-cli: %1\n%2").arg(why, commandUsage(candidate)));
    return usage(QStringLiteral("platterly-cli: %1\n%2").arg(why, usageText()));
}

namespace {

std::vector<Command> allCommands()
{
    std::vector<Command> commands;
    int count = 0;
    const Command* list = catalogueCommands(&count);
    commands.insert(commands.end(), list, list + count);
    list = driveCommands(&count);
    commands.insert(commands.end(), list, list + count);
    list = searchCommands(&count);
    commands.insert(commands.end(), list, list + count);
    list = maintenanceCommands(&count);
    commands.insert(commands.end(), list, list + count);
    return commands;
}

} // namespace

QString commandUsage(const Command& command)
{
    return QStringLiteral("usage: platterly-cli [--catalogue FILE] %1 %2\n  %3")
        .arg(QLatin1String(command.name), QLatin1String(command.synopsis),
             QLatin1String(command.summary));
}

QString usageText()
{
    QString text = QStringLiteral(
        "usage: platterly-cli [--catalogue FILE] COMMAND [ARGUMENTS] [--json] [--help]\n\n"
        "FILE is the catalogue to work on; by default db.db2 in the application folder.\n\n"
        "Commands:\n");
    for (const Command& command : allCommands())
        text += QStringLiteral("  %1 %2\n      %3\n")
                    .arg(QLatin1String(command.name), QLatin1String(command.synopsis),
                         QLatin1String(command.summary));
    text += QStringLiteral("\nExit status: 0 success, 1 failure (message on standard error), "
                           "2 wrong usage.");
    return text;
}

int run(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QString catalogue;
    bool json = false;
    bool help = false;
    QString command;
    QStringList rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--catalogue")) {
            if (i + 1 >= args.size()) {
                err << "platterly-cli: --catalogue needs a file name\n" << usageText() << Qt::endl;
                return kUsage;
            }
            catalogue = args.at(++i);
        } else if (arg.startsWith(QLatin1String("--catalogue="))) {
            catalogue = arg.mid(12);
        } else if (arg == QLatin1String("--json")) {
            json = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            help = true;
        } else if (command.isEmpty() && !arg.startsWith(QLatin1String("--"))) {
            command = arg;
        } else {
            rest.append(arg);
        }
    }
    if (command.isEmpty()) {
        if (help) {
            out << usageText() << Qt::endl;
            return kSuccess;
        }
        err << usageText() << Qt::endl;
        return kUsage;
    }
    if (catalogue.isEmpty())
        catalogue = system::defaultCatalogue();
    for (const Command& candidate : allCommands()) {
        if (command != QLatin1String(candidate.name))
            continue;
        if (help) {
            out << commandUsage(candidate) << Qt::endl;
            return kSuccess;
        }
        const Invocation invocation{command, rest, catalogue, json, help, out, err};
        return candidate.run(invocation);
    }
    err << "platterly-cli: unknown command " << command << "\n" << usageText() << Qt::endl;
    return kUsage;
}

} // namespace platterly::cli

int main(int argc, char** argv)
{
    platterly::archive::settleTimeZone();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("platterly"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    // The arguments as the program was given them: a path that is not UTF-8 keeps its bytes.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(platterly::system::textFromNativeBytes(argv[i]));
    const int status = platterly::cli::run(args, out, err);
    out.flush();
    err.flush();
    return status;
}
