#pragma once

#include "catalogue/catalogue_reader.h"
#include "platform/sql/data_control.h"

#include <QDate>
#include <QStringList>

namespace platterly::browse {

// What the main window shows of a catalogue: one row per disc, in the order the TOTAL table
// gives them, with the counts and date kept alongside, and the grand totals.
struct DiscListing
{
    QStringList titles; // CDNAME
    QStringList dirs;   // DIRS as text
    QStringList files;  // FILES as text
    QStringList dates;  // DATE as stored (YYYY-MM-DD)
    catalogue::Totals totals;
};

enum class DiscListStatus
{
    Listed,
    NotACatalogue, // the file lacks the catalogue's tables (error 3078)
    Unusable,      // missing, locked, damaged or not a database: the error says which
};

struct DiscListResult
{
    DiscListStatus status = DiscListStatus::Listed;
    DiscListing listing;
    sql::SqlError error;
};

// Reads the totals and the disc list of the file `data` is pointed at.
DiscListResult readDiscList(sql::DataControl& data);

// ":: Total ::  1250 Files   &&  87 Folders  in    :::  3  :::CDs"
QString totalsLine(qint64 files, qint64 dirs, qint64 discs);
// "Directories: 3 Files: 20"
QString discCountsLine(const QString& dirs, const QString& files);
// "This CD Created on : 5/3/2006": day first, whatever the system's date settings say; the
// stored text is read as YYYY-MM-DD (or a few other common forms of other tools).
QString discDateLine(const QString& storedDate);
QDate parseStoredDate(const QString& storedDate);

// Texts of the fallback when a chosen file is not a catalogue.
inline const QString kInvalidCatalogueMessage =
    QStringLiteral("You have selected an invalid Databse File, Default DATABASE will be LOADED");
inline const QString kInvalidCatalogueCaption = QStringLiteral("DEFAULT DATABASE Loaded");

} // namespace platterly::browse
