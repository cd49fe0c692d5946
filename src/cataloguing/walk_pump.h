#pragma once

#include "catalogue/name_index_blocks.h"
#include "cataloguing/folder_lister.h"
#include "cataloguing/scan_folder.h"
#include "platform/sql/sql_error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platterly::cataloguing {

// Rows on their way from the walk to the writing thread, already in the form SQLite takes:
// names and folders in UTF-8, names one after another in one buffer. With them go the
// blocks of the name index cut from the rows so far, and the folders the rows lie in as the
// system names them, so that the writing thread can look at each entry for its size and time
// (unless the rows came with them: an image's directory gives them).
struct RowBatch
{
    struct Row
    {
        std::uint32_t nameOffset;
        std::uint32_t nameLength;
        std::uint32_t folder; // index into folders
        std::int32_t level;
        std::int16_t type;
        bool hasSize;
        bool hasModified;
        std::int64_t size;
        std::int64_t modified;
        // The name as listed, in nativeNames, when its bytes are not those of `name`.
        std::uint32_t nativeOffset;
        std::uint32_t nativeLength;

        std::optional<qint64> sizeValue() const
        {
            return hasSize ? std::optional<qint64>(size) : std::nullopt;
        }
        std::optional<qint64> modifiedValue() const
        {
            return hasModified ? std::optional<qint64>(modified) : std::nullopt;
        }
    };
    std::string names;
    std::string nativeNames;
    std::vector<Row> rows;
    std::vector<QByteArray> folders;
    std::vector<QByteArray> nativeFolders; // beside folders
    QString lastFolder;                    // drive form, for the progress line
    std::vector<catalogue::NameBlock> blocks;
    bool looked = false; // the entries have their sizes and times: nothing is to be looked at

    QByteArrayView name(const Row& row) const
    {
        return QByteArrayView(names.data() + row.nameOffset, row.nameLength);
    }
};

struct PumpRequest
{
    QString nativeRoot; // the folder to walk, as the system names it; or the image file
    QString driveRoot;  // the same folder in drive form, with its final "\"
    // When given, the name index blocks of the rows are cut on the walk's thread, for rows
    // that get consecutive rowids from `firstRowid` on.
    catalogue::NameBlockBuilder* blocks = nullptr;
    qint64 firstRowid = 0;
    // nativeRoot is a disc image or archive: its directory is walked (ScanImage), and sizes and
    // times come from it, never from the file system.
    bool image = false;
};

struct PumpResult
{
    WalkResult walk;
    bool cancelled = false;  // by `cancel`: the walk was stopped part-way
    bool blocksValid = true; // every row went into a block
    sql::SqlError error;     // the first error the writer returned; the walk was stopped
    qint64 written = 0;      // rows handed to the writer
    qint64 folders = 0;      // of them, rows of TYPE 100: the disc's count of folders
};

// Hands each batch to the writer, on the calling thread.
using BatchWriter = std::function<sql::SqlError(const RowBatch& batch)>;

// Walks the tree on a second thread while the calling thread hands its rows, batch by batch
// and in walk order, to `write`; a pipe between them bounds the rows in memory. Progress is
// told on the calling thread, at most about every 50 ms, where a window can repaint and set
// `cancel`.
PumpResult pumpWalk(const PumpRequest& request, FolderLister& lister, const BatchWriter& write,
                    const WalkProgress& progress, const std::atomic<bool>* cancel);

} // namespace platterly::cataloguing
