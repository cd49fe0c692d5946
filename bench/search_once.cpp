#include "search_once.h"

#include "median.h"
#include "platform/sql/data_control.h"
#include "search/name_index_planner.h"
#include "search/search_run.h"
#include "search/statement_builder.h"

#include <QFile>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace platterly::bench {

int searchOnce(const SearchOnce& request)
{
    const long long limit = request.limit;
    // As the program opens a catalogue to search it.
    sql::DataControl data;
    search::useCatalogue(data, QFile::decodeName(request.catalogue.c_str()));
    if (!request.useIndex)
        data.setPlanner(nullptr);
    sql::SqlError error;
    sql::Database* db = data.database(&error);
    if (!db) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message));
        return 1;
    }
    if (request.useIndex && (error = search::prepareNameIndex(*db))) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message));
        return 1;
    }
    search::SearchFilters limits;
    if (!request.larger.empty())
        limits.largerThan = search::parseSizeText(QString::fromStdString(request.larger));
    const QString statement =
        search::buildSearchStatement({QString::fromStdString(request.pattern),
                                      QString::fromStdString(request.category),
                                      !request.disc.empty(), QString::fromStdString(request.disc)},
                                     limits)
            .statement;

    std::vector<double> times;
    double first = 0;
    search::SearchOutcome outcome;
    for (int round = 0; round <= request.rounds; ++round) {
        long long delivered = 0;
        const auto start = std::chrono::steady_clock::now();
        outcome = search::runSearch(data, statement, [&](const search::ResultRow&) {
            return limit == 0 || ++delivered < limit;
        });
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        if (outcome.error) {
            std::fprintf(stderr, "%s\n", qPrintable(outcome.error.message));
            return 1;
        }
        if (round > 0)
            times.push_back(took.count());
        else
            first = took.count();
    }
    std::printf("median_ms=%.3f min_ms=%.3f first_ms=%.3f found=%lld total=%lld\n", median(times),
                times.empty() ? 0.0 : *std::min_element(times.begin(), times.end()), first,
                static_cast<long long>(outcome.found), static_cast<long long>(outcome.total));
    return 0;
}

} // namespace platterly::bench
