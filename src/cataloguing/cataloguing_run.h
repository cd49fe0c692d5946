#pragma once

#include "cataloguing/folder_lister.h"
#include "cataloguing/scan_folder.h"
#include "platform/drives/disc_places.h"
#include "platform/sql/data_control.h"

#include <QDate>
#include <QString>
#include <atomic>
#include <functional>

namespace platterly::cataloguing {

// Texts the run shows to the user, exactly as the program words them.
inline const QString kEnterTitleMessage = QStringLiteral("Enter CD Title");
inline const QString kTitleExistsMessage =
    QStringLiteral("CD Title Already Exists Please Enter Another Title ");

struct CataloguingRequest
{
    QString title;      // as typed; blanks around it are removed
    QString nativeRoot; // the folder to catalogue as the system names it
    QString driveRoot;  // the same folder in drive form (C:\DATA or C:\DATA\)
    QDate date;         // the day recorded for the disc; today when invalid
    // The volume the folder lies on, recorded so the disc is found after it has moved
    // (drives::describeVolume); nothing is recorded when not given.
    std::optional<drives::VolumeRecord> volume = std::nullopt;
    // nativeRoot is a disc image or archive file, read without mounting it (ScanImage).
    bool image = false;
};

enum class RunOutcome
{
    Finished,
    EmptyTitle,  // nothing written
    TitleExists, // nothing written
    Cancelled,   // rolled back: the catalogue is as it was
    Failed,      // rolled back: the catalogue is as it was
};

struct RunResult
{
    RunOutcome outcome = RunOutcome::Failed;
    QString message; // for every outcome but Finished: what to tell the user
    qint64 dirs = 0;
    qint64 files = 0;
    qint64 unreadableFolderCount = 0;
    QList<UnreadableFolder> unreadableFolders;
};

// Told, on the calling thread, how many entries have been recorded and which folder is being
// walked; a window repaints and serves its Cancel button from here.
using RunProgress = std::function<void(qint64 entries, const QString& currentFolder)>;

// Catalogues one disc into the file of `data`: checks the title, writes the title row, walks
// the tree (on a second thread, while this one writes the rows), counts the disc's rows,
// appends its TOTAL row and adds its counts to TOTALS. All of it is one transaction: a
// failure or a cancel leaves the catalogue exactly as it was before.
RunResult runCataloguing(sql::DataControl& data, const CataloguingRequest& request,
                         FolderLister& lister, const RunProgress& progress = {},
                         const std::atomic<bool>* cancel = nullptr);
RunResult runCataloguing(sql::DataControl& data, const CataloguingRequest& request,
                         const RunProgress& progress = {},
                         const std::atomic<bool>* cancel = nullptr);

} // namespace platterly::cataloguing
