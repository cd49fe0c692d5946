#pragma once

#include "cataloguing/folder_lister.h"
#include "cataloguing/scan_folder.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QList>
#include <QString>
#include <atomic>
#include <functional>
#include <vector>

namespace platterly::test {

// The real lister, except that chosen folders fail the way a file system can make them fail
// (running as root, no file permission does that). It notes every path it is asked to list.
class ScriptedLister final : public cataloguing::FolderLister
{
public:
    void fail(const QString& nativePath, cataloguing::ListStatus status,
              const QString& reason = QStringLiteral("Permission denied"))
    {
        m_failures.insert(QFile::encodeName(nativePath), {status, reason});
    }

    // Called before each listing with the path asked for.
    std::function<void(const QByteArray&)> beforeListing;
    QList<QByteArray> listed;

    cataloguing::ListOutcome list(const QByteArray& nativePath,
                                  const cataloguing::ListOptions& options,
                                  cataloguing::FolderListing& listing) override
    {
        listed.append(nativePath);
        if (beforeListing)
            beforeListing(nativePath);
        const auto failure = m_failures.constFind(nativePath);
        if (failure != m_failures.constEnd()) {
            listing.clear();
            return *failure;
        }
        return m_system.list(nativePath, options, listing);
    }

private:
    cataloguing::SystemFolderLister m_system;
    QHash<QByteArray, cataloguing::ListOutcome> m_failures;
};

// Keeps every row it is given; can raise a cancel flag once it holds a number of rows.
class RecordingSink final : public cataloguing::WalkSink
{
public:
    std::vector<cataloguing::WalkRow> rows;
    std::atomic<bool>* cancel = nullptr;
    std::size_t cancelAfter = 0;

    void add(const cataloguing::WalkRow& row) override
    {
        rows.push_back(row);
        if (cancel && rows.size() == cancelAfter)
            cancel->store(true);
    }
};

} // namespace platterly::test
