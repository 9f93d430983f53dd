#include "gui/list_models.h"

#include <QFont>

#include "gui/convert.h"

using namespace Qt::StringLiterals;

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
        const QString line = FromBytes(accessor_(index.row()));
        if (numbered_ <= 0) return line;
        // Rows past the numbered ones keep the column: a blank as wide as "9  ".
        return (index.row() < numbered_ ? QString::number(index.row() + 1) : u" "_s) + u"  "_s +
               line;
    }
    if (role == Qt::FontRole && index.row() == marked_) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    return {};
}

void LineListModel::MarkRow(int row) {
    if (row == marked_) return;
    const int before = marked_;
    marked_ = row;
    for (const int r : {before, row}) {
        if (r >= 0 && r < count_) emit dataChanged(index(r), index(r), {Qt::FontRole});
    }
}

}  // namespace tarnwick::gui
