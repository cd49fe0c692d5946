#include "child_modes.h"

#include "catalogue/catalogue_file.h"
#include "cataloguing/cataloguing_run.h"
#include "cataloguing/disc_image.h"
#include "cataloguing/disc_update.h"
#include "cataloguing/scan_folder.h"
#include "platform/drives/system_volume_source.h"
#include "platform/drives/typed_path.h"
#include "platform/sql/data_control.h"
#include "search/name_index_planner.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

namespace platterly::bench {

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Resident memory of this process now, from /proc: the part of the peak that was there
// before the measured step began (program, libraries, Qt).
long residentKiBNow()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return 0;
}

// The tree in both forms, as the command line resolves a typed folder.
bool resolveTree(const std::string& tree, drives::TypedPath& where)
{
    where = drives::resolveTypedPath(drives::systemDriveMap(), QFile::decodeName(tree.c_str()),
                                     QDir::currentPath());
    if (!where.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(where.error));
        return false;
    }
    return true;
}

class CountingSink final : public cataloguing::WalkSink
{
public:
    void add(const cataloguing::WalkRow&) override { ++m_rows; }
    qint64 rows() const { return m_rows; }

private:
    qint64 m_rows = 0;
};

} // namespace

int catalogueOnce(const std::string& tree, const std::string& catalogue)
{
    drives::TypedPath where;
    if (!resolveTree(tree, where))
        return 1;
    const QString cataloguePath = QFile::decodeName(catalogue.c_str());
    if (const sql::SqlError error = catalogue::createEmptyCatalogue(cataloguePath)) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message));
        return 1;
    }
    sql::DataControl data;
    search::useCatalogue(data, cataloguePath);
    // A disc image or archive is catalogued as the disc it holds.
    cataloguing::CataloguingRequest request{
        QStringLiteral("Bench"), where.nativePath, where.drivePath, {}};
    if (cataloguing::isImageFile(where.nativePath)) {
        const cataloguing::DiscImage image =
            cataloguing::identifyImage(where.nativePath, where.drivePath);
        if (!image.ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(image.error));
            return 1;
        }
        request = cataloguing::imageRequest(QStringLiteral("Bench"), image);
    }

    const long residentBefore = residentKiBNow();
    const auto start = Clock::now();
    const cataloguing::RunResult result = cataloguing::runCataloguing(data, request);
    const double seconds = secondsSince(start);
    data.close();
    if (result.outcome != cataloguing::RunOutcome::Finished) {
        std::fprintf(stderr, "cataloguing failed: %s\n", qPrintable(result.message));
        return 1;
    }
    std::printf("seconds=%.6f dirs=%lld files=%lld unreadable=%lld resident_before_kib=%ld\n",
                seconds, static_cast<long long>(result.dirs), static_cast<long long>(result.files),
                static_cast<long long>(result.unreadableFolderCount), residentBefore);
    return 0;
}

int updateOnce(const std::string& tree, const std::string& catalogue)
{
    drives::TypedPath where;
    if (!resolveTree(tree, where))
        return 1;
    const QString cataloguePath = QFile::decodeName(catalogue.c_str());
    if (const sql::SqlError error = catalogue::createEmptyCatalogue(cataloguePath)) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message));
        return 1;
    }
    sql::DataControl data;
    search::useCatalogue(data, cataloguePath);
    const QString title = QStringLiteral("Bench");
    const cataloguing::RunResult added =
        cataloguing::runCataloguing(data, {title, where.nativePath, where.drivePath, {}});
    if (added.outcome != cataloguing::RunOutcome::Finished) {
        std::fprintf(stderr, "cataloguing failed: %s\n", qPrintable(added.message));
        return 1;
    }
    // The disc read again, unchanged: what updating a disc costs when nothing changed.
    const auto start = Clock::now();
    const cataloguing::UpdateResult result =
        cataloguing::runUpdate(data, {title, where.nativePath, where.drivePath, {}, {}, {}});
    const double seconds = secondsSince(start);
    data.close();
    if (!result.ok()) {
        std::fprintf(stderr, "updating failed: %s\n", qPrintable(result.message));
        return 1;
    }
    std::printf("seconds=%.6f added=%lld removed=%lld changed=%lld\n", seconds,
                static_cast<long long>(result.added), static_cast<long long>(result.removed),
                static_cast<long long>(result.changed));
    return 0;
}

int walkOnce(const std::string& tree)
{
    drives::TypedPath where;
    if (!resolveTree(tree, where))
        return 1;
    cataloguing::WalkRequest request;
    request.nativeRoot = where.nativePath;
    request.driveRoot = where.drivePath;
    CountingSink sink;
    const auto start = Clock::now();
    const cataloguing::WalkResult result = cataloguing::ScanFolder(request, sink);
    const double seconds = secondsSince(start);
    if (result.outcome != cataloguing::WalkOutcome::Completed) {
        std::fprintf(stderr, "walk failed: %s\n", qPrintable(result.error));
        return 1;
    }
    std::printf("seconds=%.6f entries=%lld\n", seconds, static_cast<long long>(sink.rows()));
    return 0;
}

} // namespace platterly::bench
