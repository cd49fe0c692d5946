#include "chooser/folder_list.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QStyle>

namespace platterly::chooser {

namespace {

constexpr int kFolderRole = Qt::UserRole;
// Blanks of indentation per level of the way down.
constexpr int kIndent = 2;

} // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { openRow(row(item)); });
}

bool FolderList::setPath(const QString& folder)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isAbsolute() || !info.isDir())
        return false;
    m_path = QDir::cleanPath(info.absoluteFilePath());
    fill();
    return true;
}

QString FolderList::folderAt(int row) const
{
    const QListWidgetItem* line = item(row);
    return line ? line->data(kFolderRole).toString() : QString();
}

void FolderList::openRow(int row)
{
    const QString folder = folderAt(row);
    if (folder.isEmpty())
        return;
    if (setPath(folder))
        Q_EMIT pathChanged();
}

void FolderList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openRow(currentRow());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void FolderList::fill()
{
    const QSignalBlocker quiet(this);
    clear();

    // The way down: "/", then each folder on the way to the current one.
    const QStringList parts = m_path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString folder = QStringLiteral("/");
    addLine(folder, folder, 0, true);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        folder = QDir(folder).filePath(parts.at(i));
        addLine(parts.at(i), folder, static_cast<int>(i) + 1, true);
    }
    m_currentFolderRow = count() - 1;

    const QDir current(m_path);
    const QStringList subfolders =
        current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    const int depth = static_cast<int>(parts.size()) + 1;
    for (const QString& name : subfolders)
        addLine(name, current.filePath(name), depth, false);

    setCurrentRow(m_currentFolderRow);
    scrollToItem(currentItem());
}

void FolderList::addLine(const QString& text, const QString& folder, int depth, bool open)
{
    const QIcon icon = style()->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirIcon);
    auto* line = new QListWidgetItem(icon, QString(depth * kIndent, QLatin1Char(' ')) + text);
    line->setData(kFolderRole, folder);
    line->setToolTip(folder);
    addItem(line);
}

} // namespace platterly::chooser
