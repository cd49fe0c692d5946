// init, add, discs, totals and tree: making a catalogue, adding a disc, and reading it back.
#include "app/cli/cli.h"
#include "app/cli/json_line.h"
#include "browse/file_locations.h"
#include "catalogue/catalogue_file.h"
#include "catalogue/catalogue_reader.h"
#include "cataloguing/cataloguing_run.h"
#include "cataloguing/disc_update.h"
#include "platform/drives/system_volume_source.h"
#include "platform/drives/typed_path.h"
#include "search/name_index_planner.h"

#include <QDir>
#include <QFileInfo>
#include <unistd.h>

namespace platterly::cli {

namespace {

bool takeArguments(const Invocation& call, qsizetype count, int* status)
{
    for (const QString& arg : call.arguments) {
        if (arg.startsWith(QLatin1String("--"))) {
            *status = call.wrongUsage(QStringLiteral("unknown option %1").arg(arg));
            return false;
        }
    }
    if (call.arguments.size() != count) {
        *status = call.wrongUsage(
            QStringLiteral("%1 expects %2 argument(s)").arg(call.command).arg(count));
        return false;
    }
    return true;
}

QString dateText(const QVariant& value)
{
    if (value.isNull())
        return {};
    const QString text = value.toString();
    const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    return date.isValid() ? date.toString(Qt::ISODate) : text;
}

int init(const Invocation& call)
{
    int status = kSuccess;
    if (!takeArguments(call, 1, &status))
        return status;
    if (sql::SqlError error = catalogue::createEmptyCatalogue(call.arguments.at(0)))
        return call.fail(error.message);
    call.out << "Created the empty catalogue " << QFileInfo(call.arguments.at(0)).absoluteFilePath()
             << Qt::endl;
    return kSuccess;
}

// The progress line of a long run, on a terminal only.
cataloguing::RunProgress progressLine(const Invocation& call)
{
    if (isatty(STDERR_FILENO) != 1)
        return {};
    return [&call](qint64 entries, const QString& folder) {
        QString shown = folder;
        if (shown.size() > 50)
            shown = QStringLiteral("...") + shown.right(47);
        call.err << "\r\x1b[K" << entries << " entries  " << shown << Qt::flush;
    };
}

void reportUnreadable(const Invocation& call, const QList<cataloguing::UnreadableFolder>& named,
                      qint64 count)
{
    for (const cataloguing::UnreadableFolder& folder : named)
        call.err << "platterly-cli: could not read " << folder.path << " (" << folder.reason
                 << "); recorded without its contents" << Qt::endl;
    if (count > named.size())
        call.err << "platterly-cli: " << count - named.size() << " more folders could not be read"
                 << Qt::endl;
}

int add(const Invocation& call)
{
    int status = kSuccess;
    if (!takeArguments(call, 2, &status))
        return status;
    const QString title = call.arguments.at(1);
    if (title.trimmed().size() > catalogue::kMaxTitleLength)
        return call.fail(
            QStringLiteral("A title holds at most %1 characters.").arg(catalogue::kMaxTitleLength));
    const drives::DriveMap drives = drives::systemDriveMap();
    const drives::TypedPath where =
        drives::resolveTypedPath(drives, call.arguments.at(0), QDir::currentPath());
    if (!where.ok())
        return call.fail(where.error);

    sql::DataControl data;
    data.setDatabaseName(call.catalogue);
    search::useNameIndex(data);
    const cataloguing::RunProgress progress = progressLine(call);
    const cataloguing::CataloguingRequest request{title, where.nativePath, where.drivePath, {}};
    const cataloguing::RunResult result = cataloguing::runCataloguing(data, request, progress);
    if (progress)
        call.err << "\r\x1b[K" << Qt::flush;
    if (result.outcome != cataloguing::RunOutcome::Finished)
        return call.fail(result.message);
    reportUnreadable(call, result.unreadableFolders, result.unreadableFolderCount);
    if (call.json) {
        call.out << JsonLine()
                        .add(QStringLiteral("CDNAME"), title.trimmed())
                        .add(QStringLiteral("DIRS"), result.dirs)
                        .add(QStringLiteral("FILES"), result.files)
                        .text()
                 << Qt::endl;
    } else {
        call.out << "Finished: " << title.trimmed() << " holds " << result.dirs << " folders and "
                 << result.files << " files" << Qt::endl;
    }
    return kSuccess;
}

// Where to read a disc again from: the folder given, or where the disc is now.
std::optional<drives::TypedPath> updateRoot(const Invocation& call, sql::DataControl& data,
                                            const drives::DriveMap& drives)
{
    const QString title = call.arguments.at(0);
    if (call.arguments.size() == 2) {
        drives::TypedPath where =
            drives::resolveTypedPath(drives, call.arguments.at(1), QDir::currentPath());
        if (!where.ok()) {
            call.fail(where.error);
            return std::nullopt;
        }
        return where;
    }
    QString root;
    bool found = false;
    if (const sql::SqlError error = catalogue::readDiscRoot(data, title, &root, &found)) {
        call.fail(error.message);
        return std::nullopt;
    }
    if (!found || root.isEmpty()) {
        call.fail(found ? QStringLiteral("%1 holds no entries that tell where it was catalogued "
                                         "from; name its folder after the title.")
                              .arg(title)
                        : QStringLiteral("No disc is titled %1.").arg(title));
        return std::nullopt;
    }
    const browse::NativeLocation now = browse::discRootNow(drives, root);
    if (now.path.isEmpty()) {
        call.fail(QStringLiteral("%1 cannot be read at %2 (%3): insert the disc, or name its "
                                 "folder after the title. Nothing was changed.")
                      .arg(title, root, now.error));
        return std::nullopt;
    }
    drives::TypedPath where;
    where.nativePath = now.path;
    where.drivePath = root;
    return where;
}

int update(const Invocation& call)
{
    for (const QString& arg : call.arguments)
        if (arg.startsWith(QLatin1String("--")))
            return call.wrongUsage(QStringLiteral("unknown option %1").arg(arg));
    if (call.arguments.isEmpty() || call.arguments.size() > 2)
        return call.wrongUsage(QStringLiteral("update expects a title and, if need be, a folder"));
    sql::DataControl data;
    data.setDatabaseName(call.catalogue);
    search::useNameIndex(data);
    const std::optional<drives::TypedPath> where = updateRoot(call, data, drives::systemDriveMap());
    if (!where)
        return kFailure;
    const cataloguing::RunProgress progress = progressLine(call);
    const cataloguing::UpdateResult result = cataloguing::runUpdate(
        data, {call.arguments.at(0), where->nativePath, where->drivePath, {}}, progress);
    if (progress)
        call.err << "\r\x1b[K" << Qt::flush;
    if (!result.ok())
        return call.fail(result.message);
    reportUnreadable(call, result.unreadableFolders, result.unreadableFolderCount);
    if (call.json)
        call.out << JsonLine()
                        .add(QStringLiteral("CDNAME"), result.title)
                        .add(QStringLiteral("ADDED"), result.added)
                        .add(QStringLiteral("REMOVED"), result.removed)
                        .add(QStringLiteral("CHANGED"), result.changed)
                        .add(QStringLiteral("DIRS"), result.dirs)
                        .add(QStringLiteral("FILES"), result.files)
                        .text()
                 << Qt::endl;
    else
        call.out << "Updated " << result.title << ": " << result.added << " added, "
                 << result.removed << " removed, " << result.changed << " changed; it holds "
                 << result.dirs << " folders and " << result.files << " files" << Qt::endl;
    return kSuccess;
}

int discs(const Invocation& call)
{
    int status = kSuccess;
    if (!takeArguments(call, 0, &status))
        return status;
    sql::DataControl data;
    data.setDatabaseName(call.catalogue);
    const sql::SqlError error = catalogue::readDiscs(data, [&](const catalogue::DiscRow& disc) {
        if (call.json) {
            call.out << JsonLine()
                            .add(QStringLiteral("CDNAME"), disc.title)
                            .add(QStringLiteral("DIRS"), disc.dirs.toLongLong())
                            .add(QStringLiteral("FILES"), disc.files.toLongLong())
                            .add(QStringLiteral("DATE"), dateText(disc.date))
                            .text()
                     << '\n';
        } else {
            call.out << disc.title << '\t' << disc.dirs.toLongLong() << '\t'
                     << disc.files.toLongLong() << '\t' << dateText(disc.date) << '\n';
        }
        return true;
    });
    call.out.flush();
    return error ? call.fail(error.message) : kSuccess;
}

int totals(const Invocation& call)
{
    int status = kSuccess;
    if (!takeArguments(call, 0, &status))
        return status;
    sql::DataControl data;
    data.setDatabaseName(call.catalogue);
    catalogue::Totals sums;
    if (const sql::SqlError error = catalogue::readTotals(data, &sums))
        return call.fail(error.message);
    if (call.json)
        call.out << JsonLine()
                        .add(QStringLiteral("TCDS"), sums.discs)
                        .add(QStringLiteral("TDIRS"), sums.dirs)
                        .add(QStringLiteral("TFILES"), sums.files)
                        .text()
                 << Qt::endl;
    else
        call.out << sums.discs << " discs, " << sums.dirs << " folders, " << sums.files << " files"
                 << Qt::endl;
    return kSuccess;
}

int tree(const Invocation& call)
{
    int status = kSuccess;
    if (!takeArguments(call, 1, &status))
        return status;
    sql::DataControl data;
    data.setDatabaseName(call.catalogue);
    qint64 rows = 0;
    const sql::SqlError error =
        catalogue::readDiscEntries(data, call.arguments.at(0), [&](const catalogue::EntryRow& row) {
            ++rows;
            if (call.json)
                call.out << JsonLine()
                                .add(QStringLiteral("CDNAME"), row.title)
                                .add(QStringLiteral("FNAME"), row.name)
                                .add(QStringLiteral("PATH"), row.path)
                                .add(QStringLiteral("LEVEL"), row.level)
                                .add(QStringLiteral("TYPE"), row.type)
                                .addDetails(row.size, row.modified)
                                .text()
                         << '\n';
            else
                call.out << QString(static_cast<qsizetype>(std::max<qint64>(0, row.level - 1)) * 2,
                                    QLatin1Char(' '))
                         << row.name << '\t' << detailsText(row.size, row.modified) << '\n';
            return true;
        });
    call.out.flush();
    if (error)
        return call.fail(error.message);
    if (rows == 0)
        return call.fail(QStringLiteral("No disc is titled %1.").arg(call.arguments.at(0)));
    return kSuccess;
}

const Command kCommands[] = {
    {"init", "FILE", "Create an empty catalogue file (an existing file is never overwritten).",
     init},
    {"add", "PATH TITLE",
     "Catalogue the folder or drive PATH (/media/cdrom, ~/Music or D:\\) under TITLE.", add},
    {"update", "TITLE [PATH] [--json]",
     "Read the disc TITLE again, from PATH or from where it was catalogued, and make its rows "
     "what adding that tree now would write; prints how many entries were added, removed and "
     "changed. A disc that is not there is refused and nothing changes.",
     update},
    {"discs", "[--json]", "List the catalogued discs: title, folders, files, date.", discs},
    {"totals", "[--json]", "Show the number of discs, folders and files.", totals},
    {"tree", "TITLE [--json]",
     "List a disc's rows in stored order: each name indented by its depth, then its size in "
     "bytes and its time of change (local time, YYYY-MM-DDTHH:MM:SS), TAB-separated and empty "
     "when unknown.",
     tree},
};

} // namespace

const Command* catalogueCommands(int* count)
{
    *count = static_cast<int>(std::size(kCommands));
    return kCommands;
}

} // namespace platterly::cli
