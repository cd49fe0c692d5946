#include "search/search_run.h"

#include "search/index_answer.h"

namespace platterly::search {

SearchOutcome runSearch(sql::DataControl& data, const QString& statement,
                        const ResultConsumer& consumer, const std::atomic<bool>* stop)
{
    SearchOutcome outcome;
    if ((outcome.error = query(data, statement)))
        return outcome;
    sql::Recordset& rows = *data.recordset();
    // Missing from catalogues made before they were recorded: then -1, read as unknown.
    const int size = rows.fieldIndex(u"SIZE");
    const int modified = rows.fieldIndex(u"MODIFIED");
    // A name written into the file in place, without SQLite's change counter moving, leaves
    // the name index looking current while it holds the old name: each name the index
    // answered with is tested against the pattern again, on the text already read.
    const auto* indexed = dynamic_cast<const IndexAnswer*>(data.rowidAnswer());
    const sql::JetLikePattern* recheck = indexed ? &indexed->query().pattern : nullptr;
    bool stopped = false;
    while (!rows.eof()) {
        if (stop && stop->load()) {
            stopped = true;
            break;
        }
        // The fields by position, as the results grid has always taken them: CDNAME, FNAME
        // and PATH are the first three fields of CDS.
        const ResultRow row{rows.text(0), rows.text(1), rows.text(2), rows.integer(size),
                            rows.integer(modified)};
        if (rows.lastError()) {
            outcome.error = rows.lastError();
            return outcome;
        }
        if (recheck && !recheck->matches(row.name)) {
            if ((outcome.error = rows.moveNext()))
                return outcome;
            continue;
        }
        ++outcome.found;
        if (!consumer(row)) {
            stopped = true;
            break;
        }
        if ((outcome.error = rows.moveNext()))
            return outcome;
    }
    if (!stopped) {
        // Every row was handed over: they are the whole result.
        outcome.total = outcome.found;
        return outcome;
    }
    if (const sql::RowidAnswer* answer = data.rowidAnswer())
        outcome.total = answer->count();
    else
        outcome.total = rows.recordCount();
    if (rows.lastError())
        outcome.error = rows.lastError();
    return outcome;
}

SearchOutcome runSearch(sql::DataControl& data, const SearchStatement& built,
                        const ResultConsumer& consumer, const std::atomic<bool>* stop)
{
    if (built.patternError.isEmpty())
        return runSearch(data, built.statement, consumer, stop);
    SearchOutcome refused;
    refused.error = {sql::ErrorCode::InvalidPattern, built.patternError};
    return refused;
}

QString resultMessage(qint64 found, qint64 total)
{
    if (found == 0)
        return QStringLiteral("No Files Found");
    if (found == 1)
        return QStringLiteral("Only 1 File Found");
    return QStringLiteral("Files Found %1 (%2)").arg(found).arg(total);
}

} // namespace platterly::search
