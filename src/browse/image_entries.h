#pragma once

#include "browse/file_copy.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

namespace platterly::browse {

// The entries of one disc image or archive, found by the path the catalogue stores for them
// below the image's root: its folders and name joined with "\" ("Music\Old Songs\a.mp3").
class ImageMembers
{
public:
    struct Entry
    {
        QByteArray path; // as the image holds it (archive::Member::path)
        bool folder = false;
    };

    // Reads the image's directory, names only. An image that cannot be read holds nothing.
    explicit ImageMembers(const QString& image);

    // The entry stored as `storedPath`; "" is the image's root.
    std::optional<Entry> find(const QString& storedPath) const;

private:
    QHash<QString, Entry> m_entries;
};

// Copies the file `member` of an image into a folder under `fileName`, as copyFileInto copies
// a file: under a temporary name, renamed over the target only when complete. An image or an
// entry that is not there is File not found, as a missing disc's file is.
CopyFailure copyImageEntryInto(const QString& image, const QByteArray& member,
                               const QString& targetFolder, const QString& fileName,
                               const CopyProgress& progress = {});

// Extracts the file `member` of an image, for opening it with its program, into a private
// folder of this run of the program (readable by the user alone, removed when the program
// ends), under its own name. The extracted file's path, or nullopt with the reason in `error`.
std::optional<QString> extractForOpening(const QString& image, const QByteArray& member,
                                         const QString& fileName, QString* error,
                                         const CopyProgress& progress = {});

} // namespace platterly::browse
