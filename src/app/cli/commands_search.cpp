// search: the catalogue search of the main window, from the command line.
#include "app/cli/cli.h"
#include "app/cli/json_line.h"
#include "app/cli/utf8_output.h"
#include "browse/entry_locator.h"
#include "catalogue/settings.h"
#include "platform/drives/system_volume_source.h"
#include "search/duplicates.h"
#include "search/name_index_planner.h"
#include "search/search_history.h"
#include "search/search_run.h"
#include "search/statement_builder.h"

#include <optional>
#include <unistd.h>

namespace platterly::cli {

namespace {

struct SearchArguments
{
    QString pattern;
    QString category = QStringLiteral("All Files");
    std::optional<QString> disc;
    std::optional<qint64> limit;
    bool remember = false;
    search::SearchFilters filters;
    bool locate = false;
};

// Reads the value of a filter option into `filters`; false, having said why, when it is not a
// size or a day.
bool readFilter(const Invocation& call, const QString& option, const QString& value,
                search::SearchFilters& filters, int* status)
{
    const bool isSize = option == u"--larger" || option == u"--smaller";
    const std::optional<qint64> parsed =
        isSize ? search::parseSizeText(value) : search::startOfLocalDay(value);
    if (!parsed) {
        *status = call.wrongUsage(
            isSize ? QStringLiteral("%1 needs a size in bytes, or with K, M or G: %2")
                         .arg(option, value)
                   : QStringLiteral("%1 needs a day as YYYY-MM-DD: %2").arg(option, value));
        return false;
    }
    if (option == u"--larger")
        filters.largerThan = parsed;
    else if (option == u"--smaller")
        filters.smallerThan = parsed;
    else if (option == u"--after")
        filters.modifiedFrom = parsed;
    else
        filters.modifiedBefore = parsed;
    return true;
}

bool isFilterOption(const QString& arg)
{
    return arg == u"--larger" || arg == u"--smaller" || arg == u"--after" || arg == u"--before";
}

// Reads the command's own arguments; on a mistake returns nothing and has said why.
std::optional<SearchArguments> readArguments(const Invocation& call, int* status)
{
    SearchArguments parsed;
    std::optional<QString> pattern;
    bool onlyPositional = false;
    const QStringList& args = call.arguments;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool option = !onlyPositional && arg.startsWith(QLatin1String("--"));
        const bool takesValue = arg == QLatin1String("--category") ||
                                arg == QLatin1String("--disc") || arg == QLatin1String("--limit") ||
                                isFilterOption(arg);
        if (option && takesValue && i + 1 >= args.size()) {
            *status = call.wrongUsage(QStringLiteral("%1 needs a value").arg(arg));
            return std::nullopt;
        }
        if (!option) {
            if (pattern) {
                *status = call.wrongUsage(QStringLiteral("search takes one pattern"));
                return std::nullopt;
            }
            pattern = arg;
        } else if (arg == QLatin1String("--")) {
            onlyPositional = true;
        } else if (arg == QLatin1String("--category")) {
            parsed.category = args.at(++i);
        } else if (arg == QLatin1String("--disc")) {
            parsed.disc = args.at(++i);
        } else if (arg == QLatin1String("--limit")) {
            bool ok = false;
            parsed.limit = args.at(++i).toLongLong(&ok);
            if (!ok || *parsed.limit < 0) {
                *status = call.wrongUsage(QStringLiteral("--limit needs a number of rows"));
                return std::nullopt;
            }
        } else if (isFilterOption(arg)) {
            if (!readFilter(call, arg, args.at(++i), parsed.filters, status))
                return std::nullopt;
        } else if (arg == QLatin1String("--remember")) {
            parsed.remember = true;
        } else if (arg == QLatin1String("--locate")) {
            parsed.locate = true;
        } else {
            *status = call.wrongUsage(QStringLiteral("unknown option %1").arg(arg));
            return std::nullopt;
        }
    }
    if (!pattern) {
        *status = call.wrongUsage(QStringLiteral("search expects a pattern"));
        return std::nullopt;
    }
    parsed.pattern = *pattern;
    return parsed;
}

// The first search of a catalogue written by an older program builds its name index.
void prepareIndex(const Invocation& call, sql::Database& db)
{
    catalogue::NameIndexProgress progress;
    const bool terminal = isatty(STDERR_FILENO) == 1;
    if (terminal)
        progress = [&call](qint64 done, qint64 total) {
            call.err << "\r\x1b[KIndexing names: " << done << " of about " << total << Qt::flush;
            return true;
        };
    // A file that cannot be indexed now is searched all the same, by reading every row.
    const sql::SqlError ignored = search::prepareNameIndex(db, progress);
    Q_UNUSED(ignored);
    if (terminal)
        call.err << "\r\x1b[K" << Qt::flush;
}

int runSearchCommand(const Invocation& call)
{
    int status = kSuccess;
    const std::optional<SearchArguments> args = readArguments(call, &status);
    if (!args)
        return status;

    sql::DataControl data;
    search::useCatalogue(data, call.catalogue);
    sql::SqlError error;
    sql::Database* db = data.database(&error);
    if (!db)
        return call.fail(error.message);
    prepareIndex(call, *db);

    const search::SearchStatement built = search::buildSearchStatement(
        {args->pattern, args->category, args->disc.has_value(), args->disc.value_or(QString())},
        args->filters);
    // --limit stops the rows as the Stop button does: after that many, the total is counted.
    std::atomic<bool> stop = args->limit == 0;
    qint64 printed = 0;
    // --locate: the file Open File would open, with the drive letter the window would show.
    std::optional<browse::EntryLocator> locator;
    if (args->locate) {
        drives::DriveMap drives = drives::systemDriveMap();
        const std::optional<QChar> letter =
            browse::driveLetterOfBoxText(browse::initialDriveBoxText(drives));
        locator.emplace(std::move(drives), db, letter);
    }
    Utf8Output output(call.out, !call.json && standardOutputIsTerminal());
    const search::SearchOutcome outcome = search::runSearch(
        data, built,
        [&](const search::ResultRow& row) {
            std::optional<QString> location;
            if (locator) {
                if (const auto found = locator->find(row.title, row.path, row.name))
                    location = found->text();
            }
            if (call.json) {
                JsonLine line;
                line.add(QStringLiteral("CDNAME"), row.title)
                    .add(QStringLiteral("FNAME"), row.name)
                    .add(QStringLiteral("PATH"), row.path)
                    .addDetails(row.size, row.modified);
                if (locator && location)
                    line.add(QStringLiteral("LOCATION"), *location);
                else if (locator)
                    line.addNull(QStringLiteral("LOCATION"));
                output << line.text() << '\n';
            } else {
                output.name(row.title) << '\t';
                output.name(row.name) << '\t';
                output.name(row.path) << '\t' << detailsText(row.size, row.modified);
                // The location is always the last field, empty when the disc is not present.
                if (locator)
                    output << '\t';
                if (location)
                    output.name(*location);
                output << '\n';
            }
            return !args->limit || ++printed < *args->limit;
        },
        &stop);
    output.flush();
    if (outcome.error)
        return call.fail(outcome.error.message);
    call.err << search::resultMessage(outcome.found, outcome.total) << Qt::endl;

    if (args->remember) {
        const QString settings = catalogue::settingsFile();
        QStringList history = search::loadSearchHistory(settings);
        QString notSaved;
        search::rememberSearch(history, built.patternText, settings, &notSaved);
        if (!notSaved.isEmpty())
            return call.fail(notSaved);
    }
    return kSuccess;
}

void printGroup(const Invocation& call, Utf8Output& output, const search::DuplicateGroup& group)
{
    if (call.json) {
        QStringList copies;
        for (const search::DuplicateGroup::Copy& copy : group.copies)
            copies.append(JsonLine()
                              .add(QStringLiteral("CDNAME"), copy.title)
                              .add(QStringLiteral("PATH"), copy.path)
                              .text());
        output << JsonLine()
                      .add(QStringLiteral("FNAME"), group.name)
                      .add(QStringLiteral("SIZE"), group.size)
                      .addJson(QStringLiteral("COPIES"),
                               u'[' + copies.join(QLatin1Char(',')) + u']')
                      .text()
               << '\n';
        return;
    }
    output.name(group.name) << '\t' << QString::number(group.size) << '\n';
    for (const search::DuplicateGroup::Copy& copy : group.copies) {
        output << '\t';
        output.name(copy.title) << '\t';
        output.name(copy.path) << '\n';
    }
}

int runDuplicatesCommand(const Invocation& call)
{
    qint64 minSize = 1;
    const QStringList& args = call.arguments;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) != u"--min-size")
            return call.wrongUsage(QStringLiteral("unknown argument %1").arg(args.at(i)));
        const std::optional<qint64> size =
            i + 1 < args.size() ? search::parseSizeText(args.at(++i)) : std::nullopt;
        if (!size)
            return call.wrongUsage(
                QStringLiteral("--min-size needs a size in bytes, or with K, M or G"));
        minSize = *size;
    }
    sql::DataControl data;
    search::useCatalogue(data, call.catalogue);
    sql::SqlError error;
    sql::Database* db = data.database(&error);
    if (!db)
        return call.fail(error.message);
    Utf8Output output(call.out, !call.json && standardOutputIsTerminal());
    qint64 groups = 0;
    qint64 wasted = 0;
    error = search::findDuplicates(*db, minSize, [&](const search::DuplicateGroup& group) {
        ++groups;
        wasted += group.wastedBytes();
        printGroup(call, output, group);
        return true;
    });
    output.flush();
    if (error)
        return call.fail(error.message);
    call.err << groups << (groups == 1 ? " group" : " groups") << " of duplicates, " << wasted
             << " bytes in the copies beyond the first" << Qt::endl;
    return kSuccess;
}

const Command kCommands[] = {
    {"search",
     "PATTERN [--category TEXT] [--disc TITLE] [--larger SIZE] [--smaller SIZE] [--after DAY] "
     "[--before DAY] [--limit N] [--remember] [--locate] [--json]",
     "Search the catalogue for names matching *PATTERN* (wild characters * ? # [a-c] [!x]); "
     "--category is the category box (\"All Files\", \"Music Files\", ... or any text), --disc "
     "searches one disc, --larger and --smaller keep files of more or less than SIZE bytes "
     "(or K, M, G: 1024 bytes and its powers; folders never pass), --after keeps entries "
     "changed on or after DAY and --before those changed before it (local days, YYYY-MM-DD), "
     "--limit stops after N rows, --remember records PATTERN in the search history, --locate "
     "adds the real file Open File would open (LOCATION; empty or null when the disc is not "
     "present; inside a catalogued image, the image, // and the entry's path in it). Rows go "
     "to standard output (CDNAME, FNAME, PATH, SIZE in bytes, MODIFIED as local time "
     "YYYY-MM-DDTHH:MM:SS, then LOCATION last; an unknown value is empty, or null in JSON), "
     "the result message to standard error.",
     runSearchCommand},
    {"duplicates", "[--min-size SIZE] [--json]",
     "List the files that are in more than one place, on one disc or several: the same name "
     "(letters in any case) and the same size of at least SIZE bytes (1 by default; K, M, G: "
     "1024 bytes and its powers), largest wasted bytes first. Each group is a line FNAME, SIZE, "
     "then a line TAB CDNAME TAB PATH per copy; with --json one object per group, "
     "{\"FNAME\", \"SIZE\", \"COPIES\": [{\"CDNAME\", \"PATH\"}]}.",
     runDuplicatesCommand},
};

} // namespace

const Command* searchCommands(int* count)
{
    *count = static_cast<int>(std::size(kCommands));
    return kCommands;
}

} // namespace platterly::cli
