#pragma once

#include "platform/sql/data_control.h"

#include <QString>

namespace platterly::maintenance {

// Texts of the delete command, exactly as the program words them.
inline const QString kSelectDiscToDeleteMessage =
    QStringLiteral("Select CD to Delete And Press the Button");
inline const QString kConfirmDeleteQuestion =
    QStringLiteral("Do you Really Want to Delete The CD Title From DATABASE?");
inline const QString kDeletingCaption = QStringLiteral("Deleting CD Title Please Wait......");

enum class DeleteOutcome
{
    Deleted,
    NoDiscChosen, // empty title: nothing changed
    NotFound,     // no row of CDS or TOTAL bears the title: nothing changed
    NoDiscRow,    // CDS rows but no TOTAL row: refused, nothing changed
    Failed,       // rolled back: the catalogue is as it was
};

struct DeleteResult
{
    DeleteOutcome outcome = DeleteOutcome::Failed;
    QString message;  // for every outcome but Deleted: what to tell the user
    qint64 discs = 0; // TOTAL rows removed
    qint64 rows = 0;  // CDS rows removed, the title row included
    qint64 dirs = 0;  // subtracted from TDIRS
    qint64 files = 0; // subtracted from TFILES

    bool ok() const { return outcome == DeleteOutcome::Deleted; }
};

// Removes the disc titled `title` (compared case-blind, as every statement compares titles):
// all its CDS rows, its TOTAL row, and its counts from TOTALS (TCDS - 1, TDIRS - DIRS,
// TFILES - FILES), together with its names in the catalogue's name index, in one
// transaction: a failure leaves the disc whole.
//
// After a rename has given two discs one title, their rows are one disc's to every reader;
// deleting the title removes them all, and takes each TOTAL row's counts off the totals so
// that they stay the sum over the discs that remain.
//
// A title that has CDS rows but no TOTAL row cannot be taken off the totals: it is refused
// with nothing changed, rather than removing rows whose counts nobody knows.
DeleteResult deleteDisc(sql::DataControl& data, const QString& title);

} // namespace platterly::maintenance
