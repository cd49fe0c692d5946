// delete, rename, backup and export: the catalogue maintenance of the main window, from the
// command line.
#include "app/cli/cli.h"
#include "maintenance/backup_catalogue.h"
#include "maintenance/delete_disc.h"
#include "maintenance/docx_export.h"
#include "maintenance/rename_disc.h"
#include "maintenance/results_grid.h"
#include "platform/system/application_folder.h"
#include "search/name_index_planner.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <optional>

namespace platterly::cli {

namespace {

// The command's arguments, with the values of `valueOptions` taken out into `values` and the
// `flagOptions` given into `values` with an empty value. After "--" every argument is
// positional, so that a title may begin with two dashes.
std::optional<QStringList> positionalArguments(const Invocation& call, qsizetype least,
                                               qsizetype most, const QStringList& valueOptions,
                                               QHash<QString, QString>* values, int* status,
                                               const QStringList& flagOptions = {})
{
    QStringList positional;
    bool onlyPositional = false;
    for (qsizetype i = 0; i < call.arguments.size(); ++i) {
        const QString& arg = call.arguments.at(i);
        if (onlyPositional || !arg.startsWith(QLatin1String("--"))) {
            positional.append(arg);
        } else if (arg == QLatin1String("--")) {
            onlyPositional = true;
        } else if (flagOptions.contains(arg)) {
            values->insert(arg, QString());
        } else if (valueOptions.contains(arg) && i + 1 < call.arguments.size()) {
            values->insert(arg, call.arguments.at(++i));
        } else if (valueOptions.contains(arg)) {
            *status = call.wrongUsage(QStringLiteral("%1 needs a value").arg(arg));
            return std::nullopt;
        } else {
            *status = call.wrongUsage(QStringLiteral("unknown option %1").arg(arg));
            return std::nullopt;
        }
    }
    if (positional.size() < least || positional.size() > most) {
        *status = call.wrongUsage(QStringLiteral("wrong number of arguments"));
        return std::nullopt;
    }
    return positional;
}

int deleteCommand(const Invocation& call)
{
    int status = kSuccess;
    QHash<QString, QString> none;
    const auto args = positionalArguments(call, 1, 1, {}, &none, &status);
    if (!args)
        return status;
    sql::DataControl data;
    search::useCatalogue(data, call.catalogue);
    const maintenance::DeleteResult result = maintenance::deleteDisc(data, args->at(0));
    if (!result.ok())
        return call.fail(result.message);
    call.out << "Deleted " << args->at(0) << ": " << result.rows
             << " rows; the totals are lower by " << result.discs
             << (result.discs == 1 ? " disc, " : " discs, ") << result.dirs << " folders and "
             << result.files << " files" << Qt::endl;
    return kSuccess;
}

int renameCommand(const Invocation& call)
{
    int status = kSuccess;
    QHash<QString, QString> none;
    const auto args = positionalArguments(call, 2, 2, {}, &none, &status);
    if (!args)
        return status;
    sql::DataControl data;
    search::useCatalogue(data, call.catalogue);
    const maintenance::RenameResult result =
        maintenance::renameDisc(data, args->at(0), args->at(1));
    if (!result.ok())
        return call.fail(result.message);
    call.out << "Renamed " << args->at(0) << " to " << args->at(1) << ": " << result.rows << " rows"
             << Qt::endl;
    return kSuccess;
}

int backupCommand(const Invocation& call)
{
    int status = kSuccess;
    QHash<QString, QString> none;
    const auto args = positionalArguments(call, 0, 1, {}, &none, &status);
    if (!args)
        return status;
    const QString name =
        args->isEmpty() ? maintenance::defaultBackupName(QDate::currentDate()) : args->at(0);
    const maintenance::BackupResult result =
        maintenance::backupCatalogue(call.catalogue, system::applicationFolder(), name);
    if (!result.ok())
        return call.fail(result.message);
    if (!result.warning.isEmpty())
        call.err << "platterly-cli: warning: " << result.warning << Qt::endl;
    // The report as the window shows it, then the file alone on the last line for scripts.
    call.out << QString(result.message).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
             << '\n'
             << QDir::toNativeSeparators(QFileInfo(result.path).absoluteFilePath()) << Qt::endl;
    return kSuccess;
}

int exportCommand(const Invocation& call)
{
    int status = kSuccess;
    const QString category = QStringLiteral("--category");
    const QString disc = QStringLiteral("--disc");
    const QString overwrite = QStringLiteral("--overwrite");
    QHash<QString, QString> options;
    const auto args =
        positionalArguments(call, 2, 2, {category, disc}, &options, &status, {overwrite});
    if (!args)
        return status;

    // A slip of the arguments must not write the document over the catalogue itself.
    const QString target = QFileInfo(args->at(0)).canonicalFilePath();
    if (!target.isEmpty() && target == QFileInfo(call.catalogue).canonicalFilePath())
        return call.fail(QStringLiteral("%1 is the catalogue file; choose another document name.")
                             .arg(args->at(0)));
    const maintenance::ExistingFile existing = options.contains(overwrite)
                                                   ? maintenance::ExistingFile::Replace
                                                   : maintenance::ExistingFile::Refuse;
    // Said before the search, which may take a while; checked again when the document is saved.
    if (existing == maintenance::ExistingFile::Refuse &&
        maintenance::exportTargetExists(args->at(0)))
        return call.fail(QStringLiteral("%1 already exists; it was left as it is. Give "
                                        "--overwrite to replace it.")
                             .arg(args->at(0)));

    sql::DataControl data;
    search::useCatalogue(data, call.catalogue);
    sql::SqlError error;
    sql::Database* db = data.database(&error);
    if (!db)
        return call.fail(error.message);
    // As the search command does: an index that cannot be built now only makes it slower.
    const sql::SqlError ignored = search::prepareNameIndex(*db);
    Q_UNUSED(ignored);

    const search::SearchRequest request{args->at(1),
                                        options.value(category, QStringLiteral("All Files")),
                                        options.contains(disc), options.value(disc)};
    const maintenance::SearchGrid found = maintenance::searchResultsGrid(data, request);
    if (found.outcome.error)
        return call.fail(found.outcome.error.message);
    const maintenance::ExportResult written =
        maintenance::writeDocx(args->at(0), found.grid, existing);
    if (!written.ok)
        return call.fail(written.message);
    call.err << search::resultMessage(found.outcome.found, found.outcome.total) << Qt::endl;
    call.out << QDir::toNativeSeparators(QFileInfo(args->at(0)).absoluteFilePath()) << Qt::endl;
    return kSuccess;
}

const Command kCommands[] = {
    {"delete", "TITLE",
     "Delete the disc TITLE: its rows, its disc row and its share of the totals.", deleteCommand},
    {"rename", "OLD NEW", "Give the disc OLD the title NEW (1 to 15 characters).", renameCommand},
    {"backup", "[NAME]",
     "Copy the catalogue to NAME.DB2 in the application folder (NAME defaults to today's "
     "date, d-m-yyyy); the backup file is printed alone on the last line.",
     backupCommand},
    {"export", "FILE.docx PATTERN [--category TEXT] [--disc TITLE] [--overwrite]",
     "Search as the search command does and write the results grid (header and rows) to a "
     "new word-processor document FILE.docx; an existing FILE.docx is replaced only with "
     "--overwrite.",
     exportCommand},
};

} // namespace

const Command* maintenanceCommands(int* count)
{
    *count = static_cast<int>(std::size(kCommands));
    return kCommands;
}

} // namespace platterly::cli
