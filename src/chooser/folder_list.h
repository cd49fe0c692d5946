#pragma once

#include <QListWidget>

namespace platterly::chooser {

// The folder list of the chooser. It shows the way down to the current folder, one line per
// folder from the root, each indented below its parent, then the subfolders of the current
// folder (without hidden ones), sorted without regard to case. A double click, or Enter, on
// a line opens that folder: up the way or down into a subfolder.
class FolderList : public QListWidget
{
    Q_OBJECT

public:
    explicit FolderList(QWidget* parent = nullptr);

    // The current folder, a native absolute path; empty before the first setPath().
    QString path() const { return m_path; }
    // Makes `folder` the current folder without reporting a change. False, with nothing
    // changed, when it is not an existing folder.
    bool setPath(const QString& folder);

    // The folder a line stands for; empty for a row that does not exist.
    QString folderAt(int row) const;
    // The row of the current folder.
    int currentFolderRow() const { return m_currentFolderRow; }
    // Opens the folder of `row` as a double click does, reporting the change.
    void openRow(int row);

Q_SIGNALS:
    // The user opened another folder.
    void pathChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fill();
    void addLine(const QString& text, const QString& folder, int depth, bool open);

    QString m_path;
    int m_currentFolderRow = -1;
};

} // namespace platterly::chooser
