#pragma once

#include <QString>
#include <cstddef>
#include <functional>

namespace platterly::browse {

// Why a copy failed, with the error numbers the copy commands react to (the disc is missing
// or not ready) and a description shown to the user.
struct CopyFailure
{
    enum Code
    {
        None = 0,
        FileNotFound = 53,
        DiskNotReady = 71,
        PathNotFound = 76,
        Other = 75
    };
    Code code = None;
    QString description;

    explicit operator bool() const { return code != None; }
    // The disc is missing, not ready, or another disc is in the drive.
    bool discMissing() const
    {
        return code == FileNotFound || code == PathNotFound || code == DiskNotReady;
    }
};

// Told how many bytes have been copied out of how many; returns false to stop the copy.
using CopyProgress = std::function<bool(qint64 copied, qint64 total)>;

// Copies one file into a folder, replacing a file of the same name there. The copy is written
// under a temporary name in the destination folder and renamed when complete, so a failed or
// stopped copy never leaves a half-written file, and an existing file is replaced only by a
// complete copy. Paths and the name are in the text form of native names, so a name that is
// not UTF-8 is read and written with its own bytes; a name holding '/' is refused.
CopyFailure copyFileInto(const QString& sourceFile, const QString& targetFolder,
                         const QString& fileName, const CopyProgress& progress = {});

// Takes the next bytes of a file being written; false when they could not be written.
using ContentsWriter = std::function<bool(const char* data, std::size_t size)>;
// Produces a file's contents through the writer it is given; a failure of its own (the source
// cannot be read, the copy was stopped) is its answer. It stops as soon as the writer fails.
using ContentsFiller = std::function<CopyFailure(const ContentsWriter& write)>;

// Writes a new file `fileName` into `targetFolder` with the contents `fill` produces, as
// copyFileInto writes its copy: under a temporary name, renamed over the target only when
// complete.
CopyFailure writeFileInto(const QString& targetFolder, const QString& fileName,
                          const ContentsFiller& fill);

} // namespace platterly::browse
