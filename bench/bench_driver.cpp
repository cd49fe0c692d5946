#include "bench_driver.h"

#include "child_process.h"
#include "interruption.h"
#include "median.h"
#include "tree_generator.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

namespace platterly::bench {

namespace {

constexpr double kRatioGoal = 1.0;       // against find listing sizes and times too
constexpr double kUpdateRatioGoal = 1.0; // an unchanged disc updated, against cataloguing it
constexpr double kPeakMiBGoal = 100.0;
constexpr double kKiBPerMiB = 1024.0;
constexpr double kBytesPerMB = 1e6;

struct Samples
{
    std::vector<double> find;
    std::vector<double> findDetails; // find printing each entry's size and time too
    std::vector<double> update;      // runUpdate of the unchanged tree, timed inside the child
    std::vector<double> walk;
    std::vector<double> catalogue;        // runCataloguing alone, timed inside the child
    std::vector<double> catalogueProcess; // the whole child: start, new file, run, exit
    // Processor time (user and system, all threads) of each whole child process: less
    // disturbed than wall time when other work shares the machine.
    std::vector<double> findCpu;
    std::vector<double> findDetailsCpu;
    std::vector<double> walkCpu;
    std::vector<double> catalogueCpu;
    std::vector<double> peakMiB;
    std::vector<double> residentBeforeMiB;
    std::vector<double> fileMB;
};

// The value of `key=` in a child's line of key=value pairs.
std::optional<double> valueOf(const std::string& line, const std::string& key)
{
    const std::string prefix = key + '=';
    std::size_t at = line.find(prefix);
    while (at != std::string::npos && at != 0 && line[at - 1] != ' ')
        at = line.find(prefix, at + 1);
    if (at == std::string::npos)
        return std::nullopt;
    return std::strtod(line.c_str() + at + prefix.size(), nullptr);
}

std::string rate(double entries, double seconds)
{
    char text[32];
    const double perSecond = seconds > 0 ? entries / seconds : 0;
    if (perSecond >= 1e6)
        std::snprintf(text, sizeof text, "%.2f M/s", perSecond / 1e6);
    else
        std::snprintf(text, sizeof text, "%.0f k/s", perSecond / 1e3);
    return text;
}

std::string today()
{
    char text[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", std::localtime(&now));
    return text;
}

std::string cpuText(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", seconds);
    return text;
}

// The first three fields of /proc/loadavg: runnable tasks over 1, 5 and 15 minutes.
std::string loadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

std::string roundsText(const std::vector<double>& values)
{
    std::string text;
    char one[32];
    for (double value : values) {
        std::snprintf(one, sizeof one, "%s%.2f", text.empty() ? "" : " ", value);
        text += one;
    }
    return text;
}

ChildRun timeFind(const std::string& tree)
{
    return runChild({"find", tree, "-printf", "%h/%f\n"}, ChildOutput::Discard);
}

// find as it lists what the cataloguing records: it looks at every entry for its size and time.
ChildRun timeFindWithDetails(const std::string& tree)
{
    return runChild({"find", tree, "-printf", "%h/%f\t%s\t%T@\n"}, ChildOutput::Discard);
}

bool reportFailure(const ChildRun& run, const char* what)
{
    if (run.succeeded())
        return false;
    std::fprintf(stderr, "platterly-bench: %s failed: %s\n", what, run.error.c_str());
    return true;
}

// find twice (names; names, sizes and times) and the walk alone. False when a step failed.
bool timeListings(const std::string& tree, std::uint64_t entries, Samples& samples)
{
    const ChildRun find = timeFind(tree);
    if (reportFailure(find, "find"))
        return false;
    samples.find.push_back(find.seconds);
    samples.findCpu.push_back(find.cpuSeconds);
    const ChildRun detailed = timeFindWithDetails(tree);
    if (reportFailure(detailed, "find with sizes and times"))
        return false;
    samples.findDetails.push_back(detailed.seconds);
    samples.findDetailsCpu.push_back(detailed.cpuSeconds);

    const ChildRun walk = runChild({ownProgramPath(), "--walk-once", tree}, ChildOutput::Capture);
    if (reportFailure(walk, "the walk"))
        return false;
    samples.walk.push_back(valueOf(walk.output, "seconds").value_or(0));
    samples.walkCpu.push_back(walk.cpuSeconds);
    const auto walked = static_cast<std::uint64_t>(valueOf(walk.output, "entries").value_or(0));
    if (walked != entries)
        std::printf("  warning: the walk gave %llu rows for %llu entries\n",
                    static_cast<unsigned long long>(walked),
                    static_cast<unsigned long long>(entries));
    return true;
}

// The cataloguing into a new file that is measured and removed, then the update of an
// unchanged disc in another new file. False when a step failed.
bool timeCataloguing(int round, const std::string& tree, const std::string& catalogueFolder,
                     std::uint64_t entries, Samples& samples)
{
    const std::string self = ownProgramPath();
    const std::string catalogue = catalogueFolder + "/round-" + std::to_string(round) + ".db2";
    const ChildRun run =
        runChild({self, "--catalogue-once", tree, catalogue}, ChildOutput::Capture);
    std::error_code sizeError;
    std::uintmax_t fileBytes = std::filesystem::file_size(catalogue, sizeError);
    if (sizeError)
        fileBytes = 0; // the child failed before making the file
    std::error_code ignored;
    std::filesystem::remove(catalogue, ignored);
    if (reportFailure(run, "the cataloguing"))
        return false;
    const auto rows = static_cast<std::uint64_t>(valueOf(run.output, "dirs").value_or(0) +
                                                 valueOf(run.output, "files").value_or(0));
    samples.catalogue.push_back(valueOf(run.output, "seconds").value_or(0));
    samples.catalogueProcess.push_back(run.seconds);
    samples.catalogueCpu.push_back(run.cpuSeconds);
    samples.peakMiB.push_back(static_cast<double>(run.peakResidentKiB) / kKiBPerMiB);
    samples.residentBeforeMiB.push_back(valueOf(run.output, "resident_before_kib").value_or(0) /
                                        kKiBPerMiB);
    samples.fileMB.push_back(static_cast<double>(fileBytes) / kBytesPerMB);
    if (rows != entries)
        std::printf("  warning: the catalogue counts %llu folders and files for %llu entries\n",
                    static_cast<unsigned long long>(rows),
                    static_cast<unsigned long long>(entries));

    const ChildRun update =
        runChild({self, "--update-once", tree, catalogue}, ChildOutput::Capture);
    std::filesystem::remove(catalogue, ignored);
    if (reportFailure(update, "the update"))
        return false;
    samples.update.push_back(valueOf(update.output, "seconds").value_or(0));
    if (valueOf(update.output, "added").value_or(1) +
            valueOf(update.output, "removed").value_or(1) +
            valueOf(update.output, "changed").value_or(1) !=
        0)
        std::printf("  warning: the unchanged tree was updated with changes: %s",
                    update.output.c_str());
    return true;
}

bool runRound(int round, const std::string& tree, const std::string& catalogueFolder,
              std::uint64_t entries, Samples& samples)
{
    if (!timeListings(tree, entries, samples) ||
        !timeCataloguing(round, tree, catalogueFolder, entries, samples))
        return false;
    std::printf("round %d: find %.2f s, with sizes and times %.2f s, walk %.2f s, cataloguing "
                "%.2f s (process %.2f s), update %.2f s, peak %.1f MiB\n",
                round, samples.find.back(), samples.findDetails.back(), samples.walk.back(),
                samples.catalogue.back(), samples.catalogueProcess.back(), samples.update.back(),
                samples.peakMiB.back());
    std::fflush(stdout);
    return true;
}

void printRow(const char* step, double entries, const std::vector<double>& wall,
              const std::vector<double>& cpu)
{
    const double seconds = median(wall);
    std::printf("%-34s %9.2f %11s %8s   %s\n", step, seconds, rate(entries, seconds).c_str(),
                cpu.empty() ? "" : cpuText(median(cpu)).c_str(), roundsText(wall).c_str());
}

void printRatios(const Samples& samples)
{
    const double find = median(samples.find);
    const double findDetails = median(samples.findDetails);
    const double catalogue = median(samples.catalogue);
    const double ratio = findDetails > 0 ? catalogue / findDetails : 0;
    const double findCpu = median(samples.findDetailsCpu);
    const double cpuRatio = findCpu > 0 ? median(samples.catalogueCpu) / findCpu : 0;
    const double updateRatio = catalogue > 0 ? median(samples.update) / catalogue : 0;
    std::printf("\nratio cataloguing / find with sizes and times: %.2f  (goal at most %.1f: %s); "
                "in CPU time: %.2f\n",
                ratio, kRatioGoal, ratio <= kRatioGoal ? "met" : "NOT met", cpuRatio);
    std::printf("ratio cataloguing / find of names alone: %.2f\n", find > 0 ? catalogue / find : 0);
    std::printf("ratio update of the unchanged disc / cataloguing: %.2f  (goal at most %.1f: %s)\n",
                updateRatio, kUpdateRatioGoal, updateRatio <= kUpdateRatioGoal ? "met" : "NOT met");
}

void printSummary(const TreeShape& shape, double warmFind, const Samples& samples,
                  const std::string& loadBefore)
{
    const auto entries = static_cast<double>(shape.entries);
    const double peak = *std::max_element(samples.peakMiB.begin(), samples.peakMiB.end());
    const double before = median(samples.residentBeforeMiB);
    const double fileMB = samples.fileMB.back();

    std::printf("\nplatterly-bench, %s, %llu entries (%llu folders, %llu files), %zu rounds, "
                "warm page cache (warm-up find %.2f s)\n",
                today().c_str(), static_cast<unsigned long long>(shape.entries),
                static_cast<unsigned long long>(shape.folders),
                static_cast<unsigned long long>(shape.files), samples.find.size(), warmFind);
    std::printf("load average before: %s, after: %s (other work on the machine slows every "
                "step)\n",
                loadBefore.c_str(), loadAverage().c_str());
    std::printf("%-34s %9s %11s %8s   %s\n", "step (medians)", "wall s", "entries/s", "CPU s",
                "rounds, wall s");
    printRow("find -printf '%h/%f\\n'", entries, samples.find, samples.findCpu);
    printRow("find -printf '%h/%f\\t%s\\t%T@\\n'", entries, samples.findDetails,
             samples.findDetailsCpu);
    printRow("walk alone (ScanFolder, no rows)", entries, samples.walk, samples.walkCpu);
    printRow("cataloguing (runCataloguing)", entries, samples.catalogue, {});
    printRow("  the same, whole child process", entries, samples.catalogueProcess,
             samples.catalogueCpu);
    printRow("update, unchanged (runUpdate)", entries, samples.update, {});
    std::printf("(walk, cataloguing and update wall times are taken inside the child around the "
                "call; CPU times are of whole processes)\n");
    printRatios(samples);
    std::printf("peak resident memory of the cataloguing: %.1f MiB, of which %.1f MiB before "
                "the run began  (goal under %.0f MiB: %s)\n",
                peak, before, kPeakMiBGoal, peak < kPeakMiBGoal ? "met" : "NOT met");
    std::printf("catalogue file: %.1f MB (%.1f MiB), %.0f bytes per entry\n", fileMB,
                fileMB * kBytesPerMB / (kKiBPerMiB * kKiBPerMiB), fileMB * kBytesPerMB / entries);
}

// Storing sizes and times in CDS or in a table of their own, on the rows of this tree.
bool compareStorage(const std::string& tree, const std::string& catalogueFolder)
{
    std::printf("\nStoring sizes and times (--storage):\n");
    std::fflush(stdout);
    const std::string catalogue = catalogueFolder + "/storage.db2";
    const std::string self = ownProgramPath();
    const ChildRun made =
        runChild({self, "--catalogue-once", tree, catalogue}, ChildOutput::Discard);
    if (reportFailure(made, "the cataloguing for the storage comparison"))
        return false;
    const ChildRun compared = runChild({self, "--storage-once", catalogue}, ChildOutput::Capture);
    std::printf("%s", compared.output.c_str());
    return !reportFailure(compared, "the storage comparison");
}

std::string makeCatalogueFolder(const std::string& tree)
{
    const std::filesystem::path parent = std::filesystem::path(tree).parent_path();
    std::string pattern =
        (parent.empty() ? std::string(".") : parent.string()) + "/catalogues-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return {};
    return pattern;
}

// Warm-up, rounds and summary on a ready tree. Returns false when a step failed or the run
// was interrupted; the catalogues made on the way are removed either way.
bool measureTree(const std::string& tree, const TreeShape& shape, int rounds, bool storage)
{
    // The first listing reads the folders into the page cache; every timed round after it
    // finds them there, for find and the cataloguing alike.
    const ChildRun warm = timeFind(tree);
    if (reportFailure(warm, "the warm-up find"))
        return false;
    const std::string loadBefore = loadAverage();
    std::printf("warm-up find: %.2f s; load average %s\n", warm.seconds, loadBefore.c_str());
    std::fflush(stdout);

    const std::string catalogueFolder = makeCatalogueFolder(tree);
    if (catalogueFolder.empty()) {
        std::perror("platterly-bench: cannot make a folder for the catalogues");
        return false;
    }
    Samples samples;
    bool ok = true;
    for (int round = 1; round <= rounds && ok; ++round)
        ok = !interrupted() && runRound(round, tree, catalogueFolder, shape.entries, samples);
    if (ok)
        printSummary(shape, warm.seconds, samples, loadBefore);
    if (ok && storage && !interrupted())
        ok = compareStorage(tree, catalogueFolder);
    std::error_code ignored;
    std::filesystem::remove_all(catalogueFolder, ignored);
    return ok;
}

// "/tmp/t/" is "/tmp/t": the stamp and the catalogues go beside the tree, never inside it.
std::string absoluteTreePath(const std::string& typed)
{
    std::filesystem::path path = std::filesystem::absolute(typed).lexically_normal();
    if (!path.has_filename())
        path = path.parent_path();
    return path.string();
}

} // namespace

int runBenchmark(const BenchOptions& options)
{
    catchInterruptions();
    const std::string tree = absoluteTreePath(options.tree);
    const TreeOutcome prepared = prepareTree(tree, options.entries);
    if (!prepared.ok) {
        std::fprintf(stderr, "platterly-bench: %s\n", prepared.error.c_str());
        return interrupted() ? 130 : 1;
    }
    const TreeShape& shape = prepared.shape;
    if (shape.reused)
        std::printf("Reusing the tree %s (%llu entries)\n", tree.c_str(),
                    static_cast<unsigned long long>(shape.entries));
    else
        std::printf("Made the tree %s in %.1f s: %llu entries, names of %.1f bytes on average\n",
                    tree.c_str(), shape.secondsToMake,
                    static_cast<unsigned long long>(shape.entries), shape.averageNameLength);

    const bool measured = measureTree(tree, shape, options.rounds, options.storage);
    if (interrupted())
        std::fprintf(stderr, "platterly-bench: interrupted; removing what it made\n");

    if (options.keep) {
        std::printf("\nThe tree is kept in %s for the next run.\n", tree.c_str());
    } else {
        std::string error;
        if (!removeTree(tree, error)) {
            std::fprintf(stderr, "platterly-bench: %s\n", error.c_str());
            return 1;
        }
        std::printf("\nThe tree was removed (--keep leaves it for the next run).\n");
    }
    if (interrupted())
        return 130; // as a shell reports a program ended by Ctrl-C
    return measured ? 0 : 1;
}

} // namespace platterly::bench
