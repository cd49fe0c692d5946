#pragma once

#include "browse/disc_tree_model.h"

#include <QIcon>
#include <QIdentityProxyModel>

namespace platterly::app {

// Shows the disc tree's icon numbers as pictures of the program's image list.
class TreeIconProxy : public QIdentityProxyModel
{
    Q_OBJECT

public:
    TreeIconProxy(browse::DiscTreeModel* source, QObject* parent);
    QVariant data(const QModelIndex& index, int role) const override;
};

} // namespace platterly::app
