#include "gui/list_models.h"

#include "gui/convert.h"

namespace tarnwick::gui {

void LineListModel::SetLines(int count, Accessor accessor) {
    beginResetModel();
    count_ = count;
    accessor_ = std::move(accessor);
    endResetModel();
}

int LineListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count_;
}

QVariant LineListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= count_) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        return FromBytes(accessor_(index.row()));
    }
    return {};
}

}  // namespace tarnwick::gui
