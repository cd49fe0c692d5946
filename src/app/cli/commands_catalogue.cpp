// init, add, discs, totals and tree: making a catalogue, adding a disc, and reading it back.
#include "app/cli/cli.h"
#include "app/cli/json_line.h"
#include "app/cli/utf8_output.h"
#include "browse/entry_locator.h"
#include "catalogue/catalogue_file.h"
#include "catalogue/catalogue_reader.h"
#include "catalogue/disc_volumes.h"
#include "cataloguing/cataloguing_run.h"
#include "cataloguing/disc_image.h"
#include "cataloguing/disc_update.h"
#include "platform/drives/system_volume_source.h"
#include "platform/drives/typed_path.h"
#include "platform/sql/casefold.h"
#include "platform/system/native_name.h"
#include "search/name_index_planner.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
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
        QString shown = terminalSafe(folder);
        if (shown.size() > 50)
            shown = QStringLiteral("...") + shown.right(47);
        call.err << "\r\x1b[K" << entries << " entries  " << shown << Qt::flush;
    };
}

void reportUnreadable(const Invocation& call, const QList<cataloguing::UnreadableFolder>& named,
                      qint64 count)
{
    for (const cataloguing::UnreadableFolder& folder : named)
        call.err << "platterly-cli: could not read " << system::displayedText(folder.path) << " ("
                 << folder.reason << "); recorded without its contents" << Qt::endl;
    if (count > named.size())
        call.err << "platterly-cli: " << count - named.size() << " more folders could not be read"
                 << Qt::endl;
}

// What `add PATH [TITLE]` catalogues: the folder, or the image file, PATH names. Without a
// TITLE an image is titled with its volume label (or its file name); a folder needs one.
std::optional<cataloguing::CataloguingRequest> addRequest(const Invocation& call, int* status)
{
    for (const QString& arg : call.arguments) {
        if (arg.startsWith(QLatin1String("--"))) {
            *status = call.wrongUsage(QStringLiteral("unknown option %1").arg(arg));
            return std::nullopt;
        }
    }
    if (call.arguments.isEmpty() || call.arguments.size() > 2) {
        *status = call.wrongUsage(QStringLiteral("add expects a PATH and a TITLE"));
        return std::nullopt;
    }
    const drives::DriveMap drives = drives::systemDriveMap();
    const drives::TypedPath where =
        drives::resolveTypedPath(drives, call.arguments.at(0), QDir::currentPath());
    if (!where.ok()) {
        *status = call.fail(where.error);
        return std::nullopt;
    }
    const bool titled = call.arguments.size() == 2;
    cataloguing::CataloguingRequest request;
    if (cataloguing::isImageFile(where.nativePath)) {
        const cataloguing::DiscImage image =
            cataloguing::identifyImage(where.nativePath, where.drivePath);
        if (!image.ok()) {
            *status = call.fail(image.error);
            return std::nullopt;
        }
        request = cataloguing::imageRequest(
            titled ? call.arguments.at(1) : cataloguing::proposedImageTitle(image), image);
    } else if (!titled) {
        *status = call.wrongUsage(QStringLiteral("a folder is catalogued under a TITLE"));
        return std::nullopt;
    } else {
        request = {call.arguments.at(1),
                   where.nativePath,
                   where.drivePath,
                   {},
                   drives::describeVolume(drives, where.nativePath, where.drivePath)};
    }
    if (request.title.trimmed().size() > catalogue::kMaxTitleLength) {
        *status = call.fail(
            titled ? QStringLiteral("A title holds at most %1 characters.")
                         .arg(catalogue::kMaxTitleLength)
                   : QStringLiteral("The image's label \"%1\" is longer than a title may be (%2 "
                                    "characters): give a TITLE.")
                         .arg(request.title)
                         .arg(catalogue::kMaxTitleLength));
        return std::nullopt;
    }
    return request;
}

int add(const Invocation& call)
{
    int status = kSuccess;
    const std::optional<cataloguing::CataloguingRequest> request = addRequest(call, &status);
    if (!request)
        return status;
    const QString title = request->title;

    sql::DataControl data;
    search::useCatalogue(data, call.catalogue);
    const cataloguing::RunProgress progress = progressLine(call);
    const cataloguing::RunResult result = cataloguing::runCataloguing(data, *request, progress);
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

int update(const Invocation& call)
{
    for (const QString& arg : call.arguments)
        if (arg.startsWith(QLatin1String("--")))
            return call.wrongUsage(QStringLiteral("unknown option %1").arg(arg));
    if (call.arguments.isEmpty() || call.arguments.size() > 2)
        return call.wrongUsage(QStringLiteral("update expects a title and, if need be, a folder"));
    cataloguing::UpdateRequest request;
    request.title = call.arguments.at(0);
    request.drives = drives::systemDriveMap();
    if (call.arguments.size() == 2) {
        const drives::TypedPath where =
            drives::resolveTypedPath(request.drives, call.arguments.at(1), QDir::currentPath());
        if (!where.ok())
            return call.fail(where.error);
        request.nativeRoot = where.nativePath;
        request.driveRoot = where.drivePath;
    } else {
        // Found as Open File finds it, with the drive letter the window would show.
        request.driveBoxLetter =
            browse::driveLetterOfBoxText(browse::initialDriveBoxText(request.drives));
    }
    sql::DataControl data;
    search::useCatalogue(data, call.catalogue);
    const cataloguing::RunProgress progress = progressLine(call);
    const cataloguing::UpdateResult result = cataloguing::runUpdate(data, request, progress);
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
    search::useCatalogue(data, call.catalogue);
    // The volume labels recorded when the discs were catalogued; none in an older catalogue.
    QHash<QString, drives::VolumeRecord> volumes;
    if (call.json) {
        if (const sql::Database* db = data.database())
            volumes = catalogue::readDiscVolumes(*db);
    }
    const sql::SqlError error = catalogue::readDiscs(data, [&](const catalogue::DiscRow& disc) {
        if (call.json) {
            JsonLine line;
            line.add(QStringLiteral("CDNAME"), disc.title)
                .add(QStringLiteral("DIRS"), disc.dirs.toLongLong())
                .add(QStringLiteral("FILES"), disc.files.toLongLong())
                .add(QStringLiteral("DATE"), dateText(disc.date));
            const auto volume = volumes.constFind(sql::foldCase(disc.title));
            if (volume != volumes.constEnd())
                line.add(QStringLiteral("LABEL"), volume->label);
            else
                line.addNull(QStringLiteral("LABEL"));
            call.out << line.text() << '\n';
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
    search::useCatalogue(data, call.catalogue);
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
    search::useCatalogue(data, call.catalogue);
    qint64 rows = 0;
    Utf8Output output(call.out, !call.json && standardOutputIsTerminal());
    qint64 deepest = 0;
    const sql::SqlError error =
        catalogue::readDiscEntries(data, call.arguments.at(0), [&](const catalogue::EntryRow& row) {
            ++rows;
            // The picture indents each row under a folder of the level above it: a row with
            // no such folder before it (a damaged file) is left out, and no indent is ever
            // made from a number read from the file.
            const bool placed = row.level >= 1 && row.level <= std::max<qint64>(2, deepest + 1);
            if (placed)
                deepest = std::max(deepest, row.level);
            if (call.json)
                output << JsonLine()
                              .add(QStringLiteral("CDNAME"), row.title)
                              .add(QStringLiteral("FNAME"), row.name)
                              .add(QStringLiteral("PATH"), row.path)
                              .add(QStringLiteral("LEVEL"), row.level)
                              .add(QStringLiteral("TYPE"), row.type)
                              .addDetails(row.size, row.modified)
                              .text()
                       << '\n';
            else if (placed)
                output.name(QString(static_cast<qsizetype>(row.level - 1) * 2, QLatin1Char(' ')) +
                            row.name)
                    << '\t' << detailsText(row.size, row.modified) << '\n';
            return true;
        });
    output.flush();
    if (error)
        return call.fail(error.message);
    if (rows == 0)
        return call.fail(QStringLiteral("No disc is titled %1.").arg(call.arguments.at(0)));
    return kSuccess;
}

const Command kCommands[] = {
    {"init", "FILE", "Create an empty catalogue file (an existing file is never overwritten).",
     init},
    {"add", "PATH [TITLE]",
     "Catalogue the folder or drive PATH (/media/cdrom, ~/Music or D:\\) under TITLE; or the disc "
     "image or archive PATH (photos.iso, backup.zip, old.tar.gz) as one disc, titled with its "
     "volume label (or its file name) unless a TITLE is given.",
     add},
    {"update", "TITLE [PATH] [--json]",
     "Read the disc TITLE again, from PATH (a folder, or an image file) or from where Open File "
     "would find it now (the drive letter of the settings, where it was catalogued, a volume "
     "with its label; a disc catalogued from an image is read from its image file), and make "
     "its rows what adding that tree now would write; prints how many entries were added, "
     "removed and changed. A disc that is not there is refused and nothing changes.",
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
