#include "tree_generator.h"

#include "child_process.h"
#include "interruption.h"
#include "name_generator.h"
#include "seeded_random.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace platterly::bench {

namespace {

// Changing the generator changes the trees it makes: the version in the stamp makes an old
// tree be made again instead of being measured as if it were new.
constexpr int kGeneratorVersion = 2;
constexpr std::uint64_t kSeed = 0x506c617474657231ULL;
// Sizes and times come from a generator of their own, so the names are those of version 1.
constexpr std::uint64_t kDetailsSeed = 0x53697a6554696d65ULL;
constexpr std::uint32_t kEmptyFilesPercent = 3;
constexpr std::uint32_t kLargestSizeBits = 30;     // sizes up to 1 GiB, as holes: no disc space
constexpr std::int64_t kEarliestTime = 1104537600; // 2005-01-01
constexpr std::int64_t kLatestTime = 1735689600;   // 2025-01-01
constexpr std::uint64_t kFolderShareDivisor = 10;  // about 10 % of the entries are folders
constexpr std::uint64_t kProgressEvery = 100'000;

// Share in percent of the folders at each depth, from depth 1 (in the root) to depth 7: a
// bushy middle, as in a real collection, rather than one long chain.
constexpr std::array<std::uint32_t, 7> kFolderDepthPercent = {2, 6, 12, 20, 24, 20, 16};

struct PlannedFolder
{
    std::size_t parent = 0;
    std::uint32_t depth = 0;
    std::uint64_t files = 0;
    std::string relativePath; // from the root, "." for the root; set when the folder is made
};

std::string stampText(std::uint64_t entries)
{
    std::ostringstream text;
    text << "platterly-bench tree version=" << kGeneratorVersion << " seed=" << kSeed
         << " entries=" << entries << '\n';
    return text.str();
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool isEmptyFolder(const std::string& path)
{
    DIR* folder = ::opendir(path.c_str());
    if (!folder)
        return false;
    bool empty = true;
    while (const dirent* entry = ::readdir(folder)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            empty = false;
            break;
        }
    }
    ::closedir(folder);
    return empty;
}

std::uint32_t pickDepth(SeededRandom& random)
{
    std::uint32_t pick = random.below(100);
    for (std::uint32_t depth = 0; depth < kFolderDepthPercent.size(); ++depth) {
        if (pick < kFolderDepthPercent[depth])
            return depth + 1;
        pick -= kFolderDepthPercent[depth];
    }
    return 1;
}

void reportProgress(std::uint64_t made, std::uint64_t total)
{
    if (made % kProgressEvery == 0 && ::isatty(STDERR_FILENO) == 1)
        std::fprintf(stderr, "\r  made %llu of %llu entries", static_cast<unsigned long long>(made),
                     static_cast<unsigned long long>(total));
}

class TreeMaker
{
public:
    TreeMaker(int rootFd, std::uint64_t entries)
        : m_rootFd(rootFd), m_entries(entries), m_random(kSeed), m_names(m_random)
    {
    }

    bool make(std::string& error)
    {
        const std::uint64_t folderCount = m_entries / kFolderShareDivisor;
        planFolders(folderCount);
        for (std::uint64_t i = 0; i < m_entries - folderCount; ++i)
            ++m_folders[m_random.below(static_cast<std::uint32_t>(m_folders.size()))].files;
        for (std::size_t i = 1; i < m_folders.size(); ++i) {
            if (!makeFolder(m_folders[i], error))
                return false;
        }
        for (const PlannedFolder& folder : m_folders) {
            if (!makeFiles(folder, error))
                return false;
        }
        // Folders last: making a file changes the time of its folder.
        for (std::size_t i = 1; i < m_folders.size(); ++i) {
            const time_t when = timeOfChange();
            const timespec times[2] = {{when, 0}, {when, 0}};
            if (::utimensat(m_rootFd, m_folders[i].relativePath.c_str(), times, 0) != 0) {
                error = m_folders[i].relativePath + ": " + std::strerror(errno);
                return false;
            }
        }
        if (::isatty(STDERR_FILENO) == 1)
            std::fprintf(stderr, "\r\x1b[K");
        return true;
    }

    double averageNameLength() const
    {
        return m_made ? static_cast<double>(m_nameBytes) / static_cast<double>(m_made) : 0.0;
    }

private:
    // Each folder hangs below a random folder one level up; the root holds the first level.
    void planFolders(std::uint64_t count)
    {
        std::vector<std::vector<std::size_t>> byDepth(kFolderDepthPercent.size() + 1);
        m_folders.push_back({0, 0, 0, "."});
        byDepth[0].push_back(0);
        for (std::uint64_t i = 0; i < count; ++i) {
            std::uint32_t depth = pickDepth(m_random);
            while (byDepth[depth - 1].empty())
                --depth;
            const std::vector<std::size_t>& parents = byDepth[depth - 1];
            const std::size_t parent =
                parents[m_random.below(static_cast<std::uint32_t>(parents.size()))];
            byDepth[depth].push_back(m_folders.size());
            m_folders.push_back({parent, depth, 0, {}});
        }
    }

    bool makeFolder(PlannedFolder& folder, std::string& error)
    {
        const std::string& parentPath = m_folders[folder.parent].relativePath;
        for (;;) {
            if (interrupted()) {
                error = "interrupted while making the tree";
                return false;
            }
            const std::string name = m_names.folderName();
            std::string path = parentPath == "." ? name : parentPath + '/' + name;
            if (::mkdirat(m_rootFd, path.c_str(), 0755) == 0) {
                folder.relativePath = std::move(path);
                counted(name);
                return true;
            }
            if (errno != EEXIST) {
                error = path + ": " + std::strerror(errno);
                return false;
            }
        }
    }

    bool makeFiles(const PlannedFolder& folder, std::string& error)
    {
        if (folder.files == 0)
            return true;
        const int folderFd =
            ::openat(m_rootFd, folder.relativePath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folderFd < 0) {
            error = folder.relativePath + ": " + std::strerror(errno);
            return false;
        }
        for (std::uint64_t made = 0; made < folder.files;) {
            if (interrupted()) {
                error = "interrupted while making the tree";
                ::close(folderFd);
                return false;
            }
            const std::string name = m_names.fileName();
            const int fd =
                ::openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd >= 0) {
                const time_t when = timeOfChange();
                const timespec times[2] = {{when, 0}, {when, 0}};
                const bool detailed =
                    ::ftruncate(fd, fileSize()) == 0 && ::futimens(fd, times) == 0;
                ::close(fd);
                if (!detailed) {
                    error = folder.relativePath + '/' + name + ": " + std::strerror(errno);
                    ::close(folderFd);
                    return false;
                }
                counted(name);
                ++made;
            } else if (errno != EEXIST) {
                error = folder.relativePath + '/' + name + ": " + std::strerror(errno);
                ::close(folderFd);
                return false;
            }
        }
        ::close(folderFd);
        return true;
    }

    // Sizes spread evenly over the powers of two from 1 byte to 1 GiB, a few files empty.
    off_t fileSize()
    {
        if (m_details.percent(kEmptyFilesPercent))
            return 0;
        const std::uint32_t bits = m_details.below(kLargestSizeBits);
        return static_cast<off_t>((std::uint64_t{1} << bits) +
                                  m_details.next() % (std::uint64_t{1} << bits));
    }

    time_t timeOfChange()
    {
        return static_cast<time_t>(
            kEarliestTime + static_cast<std::int64_t>(m_details.next() %
                                                      std::uint64_t(kLatestTime - kEarliestTime)));
    }

    void counted(const std::string& name)
    {
        m_nameBytes += name.size();
        reportProgress(++m_made, m_entries);
    }

    int m_rootFd;
    std::uint64_t m_entries;
    SeededRandom m_random;
    SeededRandom m_details{kDetailsSeed};
    NameGenerator m_names;
    std::vector<PlannedFolder> m_folders; // index 0 is the root
    std::uint64_t m_made = 0;
    std::uint64_t m_nameBytes = 0;
};

TreeShape shapeOf(std::uint64_t entries)
{
    TreeShape shape;
    shape.entries = entries;
    shape.folders = entries / kFolderShareDivisor;
    shape.files = entries - shape.folders;
    return shape;
}

} // namespace

std::string stampPath(const std::string& tree)
{
    return tree + ".stamp";
}

bool removeTree(const std::string& tree, std::string& error)
{
    const std::string stamp = stampPath(tree);
    if (::access(stamp.c_str(), F_OK) != 0) {
        error = tree + " has no stamp file; it was not made here and is left alone";
        return false;
    }
    // The stamp goes first: a tree half removed must not pass for a complete one.
    std::remove(stamp.c_str());
    const ChildRun rm =
        runChild({"rm", "-rf", "--one-file-system", "--", tree}, ChildOutput::Discard);
    if (!rm.succeeded()) {
        error = rm.error;
        return false;
    }
    return true;
}

TreeOutcome prepareTree(const std::string& tree, std::uint64_t entries)
{
    TreeOutcome outcome;
    const std::string stamp = stampPath(tree);
    std::error_code ignored;
    const bool stamped = std::filesystem::exists(stamp, ignored);
    const bool folderExists = std::filesystem::is_directory(tree, ignored);
    if (stamped && folderExists && readFile(stamp) == stampText(entries)) {
        outcome.ok = true;
        outcome.shape = shapeOf(entries);
        outcome.shape.reused = true;
        return outcome;
    }
    if (stamped) {
        std::fprintf(stderr, "Removing the old tree %s (made for another entry count)\n",
                     tree.c_str());
        if (!removeTree(tree, outcome.error))
            return outcome;
    } else if (folderExists && !isEmptyFolder(tree)) {
        outcome.error = tree + " exists, holds files and has no stamp: choose another --tree";
        return outcome;
    }

    std::filesystem::create_directories(tree, ignored);
    const int rootFd = ::open(tree.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (rootFd < 0) {
        outcome.error = tree + ": " + std::strerror(errno);
        return outcome;
    }
    // A stamp that matches no entry count marks the tree as ours while it is being made: an
    // interrupted making is removed and made again by the next run.
    std::ofstream(stamp) << "platterly-bench tree being made\n";
    std::fprintf(stderr, "Making a tree of %llu entries in %s\n",
                 static_cast<unsigned long long>(entries), tree.c_str());
    const auto start = std::chrono::steady_clock::now();
    TreeMaker maker(rootFd, entries);
    const bool made = maker.make(outcome.error);
    // The new tree should not be written out to disc in the middle of a timed round.
    if (made)
        ::syncfs(rootFd);
    ::close(rootFd);
    if (!made) {
        // A part of a tree is of no use to the next run; it would only fill the disc.
        std::string removalError;
        removeTree(tree, removalError);
        return outcome;
    }

    std::ofstream(stamp) << stampText(entries);
    outcome.ok = true;
    outcome.shape = shapeOf(entries);
    outcome.shape.averageNameLength = maker.averageNameLength();
    outcome.shape.secondsToMake =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return outcome;
}

} // namespace platterly::bench
