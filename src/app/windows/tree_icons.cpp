#include "app/windows/tree_icons.h"

#include "platform/ui/icon_library.h"

namespace platterly::app {

TreeIconProxy::TreeIconProxy(browse::DiscTreeModel* source, QObject* parent)
    : QIdentityProxyModel(parent)
{
    setSourceModel(source);
}

QVariant TreeIconProxy::data(const QModelIndex& index, int role) const
{
    if (role == Qt::DecorationRole) {
        const int number =
            QIdentityProxyModel::data(index, browse::DiscTreeModel::IconNumberRole).toInt();
        static const ui::IconLibrary library;
        return library.icon(number);
    }
    return QIdentityProxyModel::data(index, role);
}

} // namespace platterly::app
