#include "browse/disc_tree_model.h"

#include "catalogue/entry_details.h"
#include "catalogue/path_routines.h"
#include "platform/system/native_name.h"

#include <QSet>
#include <algorithm>

namespace platterly::browse {

namespace {

constexpr qint64 kProgressEvery = 4096;
constexpr int kTitleIcon = 1;

} // namespace

DiscTreeModel::DiscTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void DiscTreeModel::clear()
{
    beginResetModel();
    m_nodes.clear();
    m_topLevel.clear();
    endResetModel();
}

int DiscTreeModel::addNode(int parent, QString name, int icon)
{
    const int id = static_cast<int>(m_nodes.size());
    // Add the node before taking the sibling list: growing m_nodes moves every node.
    m_nodes.push_back(Node{std::move(name), icon, parent, 0, {}, {}, {}});
    std::vector<int>& siblings =
        parent < 0 ? m_topLevel : m_nodes[static_cast<std::size_t>(parent)].children;
    m_nodes.back().row = static_cast<int>(siblings.size());
    siblings.push_back(id);
    return id;
}

sql::SqlError DiscTreeModel::load(sql::DataControl& data, const QString& title,
                                  const IconLookup& icons, const Progress& progress)
{
    beginResetModel();
    m_nodes.clear();
    m_topLevel.clear();
    sql::SqlError failure;
    if (sql::Recordset* rows = data.recordset()) {
        const int cdName = rows->fieldIndex(u"CDNAME");
        const int fName = rows->fieldIndex(u"FNAME");
        const int path = rows->fieldIndex(u"PATH");
        const int level = rows->fieldIndex(u"level");
        const int size = rows->fieldIndex(u"SIZE"); // -1 in older catalogues: unknown
        const int modified = rows->fieldIndex(u"MODIFIED");
        // The node most recently added at each level: the folder the next deeper row is in.
        std::vector<int> levelNodes;
        QSet<QString> titleKeys;
        qint64 read = 0;
        for (rows->moveFirst(); !rows->eof(); rows->moveNext()) {
            if (progress && ++read % kProgressEvery == 0)
                progress(read);
            if (rows->field(cdName).toString() != title)
                continue;
            const qint64 depth = rows->field(level).toLongLong();
            // A row can only sit in a folder of the level above it, which must have come
            // before: a deeper row (a damaged file) is skipped, and the levels grow by one at
            // most per row, never by a number read from the file.
            if (depth < 1 || depth > std::max<qint64>(2, qint64(levelNodes.size())))
                continue;
            if (static_cast<qint64>(levelNodes.size()) <= depth)
                levelNodes.resize(static_cast<std::size_t>(depth) + 1, -1);
            QString name = rows->field(fName).toString();
            if (depth == 1) {
                const QString key = rows->field(path).toString();
                if (titleKeys.contains(key))
                    continue; // a second title row under the same key
                titleKeys.insert(key);
                levelNodes[1] = addNode(-1, std::move(name), kTitleIcon);
                continue;
            }
            const int icon = icons ? icons(name) : 0;
            const int folder = depth == 2 ? -1 : levelNodes[static_cast<std::size_t>(depth) - 1];
            if (depth > 2 && folder < 0)
                continue; // its folder never appeared
            const int node = addNode(folder, std::move(name), icon);
            m_nodes.back().size = rows->integer(size);
            m_nodes.back().modified = rows->integer(modified);
            levelNodes[static_cast<std::size_t>(depth)] = node;
        }
        failure = rows->lastError().code == sql::ErrorCode::NoCurrentRecord ? sql::SqlError{}
                                                                            : rows->lastError();
    }
    endResetModel();
    return failure;
}

const std::vector<int>& DiscTreeModel::childrenOf(int node) const
{
    return node < 0 ? m_topLevel : m_nodes[static_cast<std::size_t>(node)].children;
}

QModelIndex DiscTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    const int parentNode = parent.isValid() ? static_cast<int>(parent.internalId()) : -1;
    const std::vector<int>& children = childrenOf(parentNode);
    if (row >= static_cast<int>(children.size()))
        return {};
    return createIndex(row, 0, static_cast<quintptr>(children[static_cast<std::size_t>(row)]));
}

QModelIndex DiscTreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    const Node& node = m_nodes[static_cast<std::size_t>(child.internalId())];
    if (node.parent < 0)
        return {};
    const Node& parentNode = m_nodes[static_cast<std::size_t>(node.parent)];
    return createIndex(parentNode.row, 0, static_cast<quintptr>(node.parent));
}

int DiscTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    const int node = parent.isValid() ? static_cast<int>(parent.internalId()) : -1;
    return static_cast<int>(childrenOf(node).size());
}

int DiscTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant DiscTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Node& node = m_nodes[static_cast<std::size_t>(index.internalId())];
    if (role == Qt::DisplayRole)
        return system::displayedText(node.name);
    if (role == Qt::ToolTipRole)
        return toolTip(node);
    if (role == IconNumberRole)
        return node.icon;
    return {};
}

QString DiscTreeModel::toolTip(const Node& node) const
{
    QString tip = system::displayedText(node.name);
    if (node.size)
        tip += QStringLiteral("\nSize: ") + catalogue::sizeForDisplay(*node.size);
    if (node.modified)
        tip += QStringLiteral("\nModified: ") + catalogue::modifiedForDisplay(*node.modified);
    return tip;
}

DiscTreeModel::IconLookup settingsIconLookup(const QString& settingsFile)
{
    auto known = std::make_shared<QHash<QString, int>>();
    return [settingsFile, known](const QString& name) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot < 0)
            return catalogue::IconForFile(settingsFile, name);
        const QString extension = name.mid(dot + 1).toLower();
        auto found = known->constFind(extension);
        if (found != known->constEnd())
            return *found;
        const int icon = catalogue::IconForFile(settingsFile, name);
        known->insert(extension, icon);
        return icon;
    };
}

} // namespace platterly::browse
