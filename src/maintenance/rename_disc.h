#pragma once

#include "platform/sql/data_control.h"

#include <QString>

namespace platterly::maintenance {

// Texts of the rename command, exactly as the program words them.
inline const QString kRenamePrompt = QStringLiteral("Enter New CD Name(uptp 15 letters only)");
inline const QString kRenameCaption = QStringLiteral("Rename CD Collection");

enum class RenameOutcome
{
    Renamed,
    Refused,  // the new title is empty or longer than 15 characters: nothing changed
    NotFound, // no row of CDS or TOTAL bears the old title: nothing changed
    Failed,   // rolled back: the catalogue is as it was
};

struct RenameResult
{
    RenameOutcome outcome = RenameOutcome::Failed;
    QString message;  // for every outcome but Renamed: what to tell the user
    qint64 rows = 0;  // CDS rows retitled, the title row included
    qint64 discs = 0; // TOTAL rows retitled

    bool ok() const { return outcome == RenameOutcome::Renamed; }
};

// The one test a new title must pass: 1 to 15 characters. Blanks around it stay part of it,
// a title another disc bears is accepted, and an apostrophe is a character like any other.
bool isAcceptableNewTitle(const QString& newTitle);

// Gives the disc titled `oldTitle` (compared case-blind) the title `newTitle`: CDNAME of all
// its CDS rows and of its TOTAL row is rewritten, together with the catalogue's name index,
// in one transaction; a failure leaves every row with the old title. The title row's FNAME
// and PATH keep the old title, and TOTALS does not change.
RenameResult renameDisc(sql::DataControl& data, const QString& oldTitle, const QString& newTitle);

} // namespace platterly::maintenance
