#include "chooser/file_list.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalBlocker>

namespace platterly::chooser {

FileList::FileList(const QString& patterns, QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        m_patterns.emplace_back(QRegularExpression::wildcardToRegularExpression(pattern.trimmed()),
                                QRegularExpression::CaseInsensitiveOption);
    }
}

bool FileList::setPath(const QString& folder)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isAbsolute() || !info.isDir())
        return false;
    m_path = QDir::cleanPath(info.absoluteFilePath());

    const QSignalBlocker quiet(this);
    clear();
    const QStringList names = QDir(m_path).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names) {
        if (matches(name))
            addItem(name);
    }
    return true;
}

QString FileList::fileName() const
{
    const QListWidgetItem* line = currentItem();
    return line && line->isSelected() ? line->text() : QString();
}

bool FileList::matches(const QString& name) const
{
    for (const QRegularExpression& pattern : m_patterns) {
        if (pattern.match(name).hasMatch())
            return true;
    }
    return false;
}

} // namespace platterly::chooser
