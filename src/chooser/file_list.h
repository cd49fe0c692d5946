#pragma once

#include <QListWidget>
#include <QRegularExpression>
#include <vector>

namespace platterly::chooser {

// The file list of the chooser: the files of one folder whose names match a pattern list
// such as "*.mdb;*.db2;*.db3", sorted without regard to case. Names match without regard to
// case as well, since catalogue files copied from other systems often have names in capitals
// (DB.DB2). Hidden files are left out.
class FileList : public QListWidget
{
    Q_OBJECT

public:
    explicit FileList(const QString& patterns, QWidget* parent = nullptr);

    // The folder listed, a native absolute path; empty before the first setPath().
    QString path() const { return m_path; }
    // Lists the matching files of `folder`. False, with nothing changed, when it is not an
    // existing folder.
    bool setPath(const QString& folder);

    // The name of the selected file; empty when none is selected.
    QString fileName() const;
    // Whether `name` matches one of the patterns.
    bool matches(const QString& name) const;

private:
    QString m_path;
    std::vector<QRegularExpression> m_patterns;
};

} // namespace platterly::chooser
