#pragma once

#include "catalogue/catalogue_reader.h"
#include "platform/sql/data_control.h"
#include "support/temp_tree.h"

#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace platterly::maintenance::test {

// A catalogue file in a folder of its own, filled by cataloguing real folder trees, and read
// back from disk afresh for every check.
class MaintenanceTest : public ::testing::Test
{
protected:
    void SetUp() override;

    QString folder() const { return m_dir.path(); }
    const QString& file() const { return m_file; }

    // Catalogues a tree of `folders` folders (one holding the next) and `files` files spread
    // over them under `title`; returns false when the run failed (the test reports it).
    bool addDisc(const QString& title, int folders, int files);

    // The whole catalogue as text, one line per row, tables in order, rows in stored order:
    // "CDS|title|name|path|level|type", "TOTAL|title|date|dirs|files", "TOTALS|c|d|f".
    QStringList snapshot() const { return snapshotOf(m_file); }
    static QStringList snapshotOf(const QString& file);
    // The snapshot's lines of one table that bear exactly `title`.
    QStringList rowsOf(const char* table, const QString& title) const;

    // Runs statements on the file through a connection of its own, as another program would
    // (to make a trigger fail a change, or to damage the catalogue on purpose).
    void foreignSql(const QString& statements) const;
    // Runs `change` while one step of it fails, through a trigger of the data control's
    // connection alone, so that the file itself (and the name index's stamp) stays as it is;
    // returns what `change` returned (its error message). `when` is a trigger time and event,
    // such as "BEFORE DELETE ON TOTAL".
    static QString failingAt(sql::DataControl& data, const QString& when,
                             const std::function<QString()>& change);
    // Builds the search's name index, as opening the catalogue for a search does.
    void buildNameIndex() const;
    // The rows (title|name|path) a window search with these boxes shows, answered through the
    // name index when it can be; `indexAnswered` tells whether it was.
    QStringList searchResults(const QString& pattern, const QString& disc = {},
                              bool* indexAnswered = nullptr) const;
    // The same rows read from CDS by SQLite alone, the reference the index must agree with.
    QStringList cdsRowsMatching(const QString& pattern) const;

private:
    QTemporaryDir m_dir;
    QString m_file;
    std::vector<std::unique_ptr<platterly::test::TempTree>> m_trees;
};

// The texts of the cells of each table row of a .docx's word/document.xml, and whether the
// first row is marked as the header row.
struct DocxTable
{
    std::vector<QStringList> rows;
    bool headerRowMarked = false;
    bool wellFormed = false;
    QString error;
};
DocxTable readDocxTable(const QString& docxPath);

} // namespace platterly::maintenance::test
