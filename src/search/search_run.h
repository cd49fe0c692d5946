#pragma once

#include "platform/sql/data_control.h"
#include "search/statement_builder.h"

#include <QString>
#include <atomic>
#include <functional>
#include <optional>

namespace platterly::search {

// One result: the first three fields of a CDS row (a NULL field is an empty text), and the
// entry's size and time of change where the catalogue knows them.
struct ResultRow
{
    QString title;                  // CDNAME
    QString name;                   // FNAME
    QString path;                   // PATH
    std::optional<qint64> size;     // SIZE in bytes; nothing for a folder
    std::optional<qint64> modified; // MODIFIED, seconds since 1970 (UTC)
};

// Receives the rows of a search in the statement's order, each as soon as it is read;
// returns false to stop after this row (the Stop button).
using ResultConsumer = std::function<bool(const ResultRow&)>;

struct SearchOutcome
{
    qint64 found = 0; // rows handed to the consumer
    qint64 total = 0; // rows the statement matches; more than found after a stop
    sql::SqlError error;
};

// Sets the statement as the data control's record source, refreshes it and hands the rows to
// the consumer until they run out, the consumer returns false, or `stop` is found set before
// a row. There is no limit on the number of rows. The total is known once the rows stop:
// after a stop it is counted, from the name index when the data control's planner answered
// the statement. On failure the outcome holds the error and the rows handed over so far.
SearchOutcome runSearch(sql::DataControl& data, const QString& statement,
                        const ResultConsumer& consumer, const std::atomic<bool>* stop = nullptr);

// The same for a statement built from the search boxes. A pattern Jet refuses is reported
// as the box's pattern error (positions in the typed text) and nothing is read.
SearchOutcome runSearch(sql::DataControl& data, const SearchStatement& built,
                        const ResultConsumer& consumer, const std::atomic<bool>* stop = nullptr);

// The result message: "No Files Found", "Only 1 File Found", or
// "Files Found <found> (<total>)".
QString resultMessage(qint64 found, qint64 total);

} // namespace platterly::search
