#pragma once

#include "cataloguing/cataloguing_run.h"
#include "cataloguing/disc_source.h"

#include <QDate>
#include <QString>
#include <atomic>

namespace platterly::cataloguing {

struct UpdateRequest
{
    QString title; // the disc's title, compared case-blind
    // Where to read the disc from: a folder or an image file as the system names it, and its
    // drive form (the PATH its entries in the root get). When empty, the disc is looked for
    // where Open File looks for it, on `drives` (findDiscSource).
    QString nativeRoot;
    QString driveRoot;
    QDate date; // the day recorded for the disc; today when invalid
    drives::DriveMap drives;
    std::optional<QChar> driveBoxLetter;
};

enum class UpdateOutcome
{
    Updated,
    NotFound,  // no disc bears the title: nothing changed
    Ambiguous, // two discs bear the title (after a rename): nothing changed
    Absent,    // the disc's folder or medium is not there: nothing changed
    Cancelled, // rolled back: the catalogue is as it was
    Failed,    // rolled back: the catalogue is as it was
};

struct UpdateResult
{
    UpdateOutcome outcome = UpdateOutcome::Failed;
    QString message; // for every outcome but Updated: what to tell the user
    QString title;   // the disc's title as the catalogue spells it
    qint64 added = 0;
    qint64 removed = 0;
    qint64 changed = 0; // in size, time of change or category
    qint64 dirs = 0;    // the disc's new counts
    qint64 files = 0;
    qint64 unreadableFolderCount = 0;
    QList<UnreadableFolder> unreadableFolders;

    bool ok() const { return outcome == UpdateOutcome::Updated; }
};

// Reads a catalogued disc again from where it is now and makes its rows what cataloguing the
// same tree under the same title writes: the rows of CDS, the disc's TOTAL row (its counts and
// date, in its place among the discs), its VOLUMES row (where it was read from) and TOTALS,
// moved by the difference of the counts; the name index follows. A disc catalogued from an
// image is read from its image file. All of it is one transaction, and the disc is looked up
// and found inside it: a failure or a cancel leaves the catalogue as it was. A root that
// cannot be found or read, or that holds nothing while the disc held entries (a drive without
// its medium), is refused with nothing changed.
UpdateResult runUpdate(sql::DataControl& data, const UpdateRequest& request, FolderLister& lister,
                       const RunProgress& progress = {}, const std::atomic<bool>* cancel = nullptr);
UpdateResult runUpdate(sql::DataControl& data, const UpdateRequest& request,
                       const RunProgress& progress = {}, const std::atomic<bool>* cancel = nullptr);

} // namespace platterly::cataloguing
