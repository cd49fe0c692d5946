#pragma once

#include "support/temp_tree.h"

#include <QString>
#include <QStringList>

namespace platterly::test {

// Real disc images and archives for the tests, made by the tools a user would use.

// Fills `tree` below `folder` with what a disc holds in the wild: nested folders, blanks,
// names in and out of UTF-8, hidden files and folders (with files inside), an empty folder.
void addDiscContents(TempTree& tree, const QString& folder);

// An ISO 9660 image with Rock Ridge and Joliet of `folder`, labelled `label`, made by
// xorriso; an empty text when it was made, else why not.
QString makeIso(const QString& folder, const QString& image, const QString& label);

// A zip file of the contents of `folder` made by Info-ZIP's zip (extra arguments such as
// "-P secret" go before the names); an empty text when it was made, else why not.
QString makeZip(const QString& folder, const QString& zipFile, const QStringList& extra = {});

// The first `bytes` bytes of a file, written to `copy`.
void truncateCopy(const QString& file, const QString& copy, qint64 bytes);

} // namespace platterly::test
