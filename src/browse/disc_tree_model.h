#pragma once

#include "platform/sql/data_control.h"

#include <QAbstractItemModel>
#include <QHash>
#include <functional>
#include <optional>
#include <vector>

namespace platterly::browse {

// One disc's contents as a tree: the title node (icon 1) and the entries of the disc's root
// stand side by side at the top; every other entry sits under the folder that holds it. The
// model is built from the disc's rows in stored order, where every entry follows its folder,
// and holds one small node per row instead of a widget item, so a disc of 100,000 entries
// loads in a fraction of a second. A node's tooltip adds the entry's size and time of change.
class DiscTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    // The node's icon number (1-28) under this role; a window maps it to a picture.
    static constexpr int IconNumberRole = Qt::UserRole + 1;

    explicit DiscTreeModel(QObject* parent = nullptr);

    // Icon numbers for names, looked up once per extension while a tree loads.
    using IconLookup = std::function<int(const QString& name)>;
    // Told every few thousand rows how many have been read, so a window can stay painted.
    using Progress = std::function<void(qint64 rowsRead)>;

    // Rebuilds the tree from the rows of `data`'s current recordset that belong to `title`
    // exactly (same letters, same case). Rows that cannot be placed (a child whose folder
    // never appeared, a second title row) are skipped.
    sql::SqlError load(sql::DataControl& data, const QString& title, const IconLookup& icons,
                       const Progress& progress = {});
    void clear();

    qsizetype nodeCount() const { return static_cast<qsizetype>(m_nodes.size()); }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct Node
    {
        QString name;
        int icon = 0;
        int parent = -1; // -1: a top-level node
        int row = 0;     // position among its siblings
        std::vector<int> children;
        std::optional<qint64> size;     // SIZE, for the tooltip
        std::optional<qint64> modified; // MODIFIED, for the tooltip
    };

    int addNode(int parent, QString name, int icon);
    QString toolTip(const Node& node) const;
    const std::vector<int>& childrenOf(int node) const;

    std::vector<Node> m_nodes;
    std::vector<int> m_topLevel;
};

// The icon lookup of the settings file, remembering each extension's number for one load.
DiscTreeModel::IconLookup settingsIconLookup(const QString& settingsFile);

} // namespace platterly::browse
