// search: the catalogue search of the main window, from the command line.
#include "app/cli/cli.h"
#include "app/cli/json_line.h"
#include "app/cli/utf8_output.h"
#include "browse/entry_locator.h"
#include "catalogue/settings.h"
#include "platform/drives/system_volume_source.h"
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
    bool locate = false;
};

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
                                arg == QLatin1String("--disc") || arg == QLatin1String("--limit");
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
        {args->pattern, args->category, args->disc.has_value(), args->disc.value_or(QString())});
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
                    .add(QStringLiteral("PATH"), row.path);
                if (locator && location)
                    line.add(QStringLiteral("LOCATION"), *location);
                else if (locator)
                    line.addNull(QStringLiteral("LOCATION"));
                output << line.text() << '\n';
            } else {
                output.name(row.title) << '\t';
                output.name(row.name) << '\t';
                output.name(row.path);
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

const Command kCommands[] = {
    {"search",
     "PATTERN [--category TEXT] [--disc TITLE] [--limit N] [--remember] [--locate] [--json]",
     "Search the catalogue for names matching *PATTERN* (wild characters * ? # [a-c] [!x]); "
     "--category is the category box (\"All Files\", \"Music Files\", ... or any text), --disc "
     "searches one disc, --limit stops after N rows, --remember records PATTERN in the search "
     "history, --locate adds the real file Open File would open (LOCATION; empty or null when "
     "the disc is not present; inside a catalogued image, the image, // and the entry's path in "
     "it). Rows go to standard output, the result message to standard "
     "error.",
     runSearchCommand},
};

} // namespace

const Command* searchCommands(int* count)
{
    *count = static_cast<int>(std::size(kCommands));
    return kCommands;
}

} // namespace platterly::cli
