#include "row_list_model.h"

#include "qt_text.h"

namespace kestra {

RowListModel::RowListModel(const std::array<ColumnSpec, 4>& columns, CellSource cell,
                           RowCount heldRows, QObject* parent)
    : QAbstractTableModel(parent), columns_(columns), cell_(std::move(cell)),
      heldRows_(std::move(heldRows)) {}

int RowListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int RowListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant RowListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole) {
        const auto row = std::size_t(index.row());
        if (row >= heldRows_())
            return QString();
        return toQString(cell_(row, index.column()));
    }
    if (role == Qt::TextAlignmentRole)
        return alignment(index.column());
    return {};
}

QVariant RowListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= int(columns_.size()))
        return {};
    if (role == Qt::DisplayRole)
        return toQString(columns_[std::size_t(section)].name);
    if (role == Qt::TextAlignmentRole)
        return alignment(section);
    return {};
}

QVariant RowListModel::alignment(int column) const {
    const bool right = columns_[std::size_t(column)].rightAligned;
    return int((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

void RowListModel::insertCallbackRows(int count) {
    if (count <= 0)
        return;
    beginInsertRows({}, shownRows_, shownRows_ + count - 1);
    shownRows_ += count;
    endInsertRows();
}

void RowListModel::insertCallbackRow(int row) {
    if (row < 0 || row > shownRows_)
        return;
    beginInsertRows({}, row, row);
    ++shownRows_;
    endInsertRows();
}

void RowListModel::deleteAllRows() {
    beginResetModel();
    shownRows_ = 0;
    endResetModel();
}

void RowListModel::deleteRow(int row) {
    if (row < 0 || row >= shownRows_)
        return;
    beginRemoveRows({}, row, row);
    --shownRows_;
    endRemoveRows();
}

void RowListModel::redrawRow(int row) {
    if (row < 0 || row >= shownRows_)
        return;
    emit dataChanged(index(row, 0), index(row, int(columns_.size()) - 1), {Qt::DisplayRole});
}

// One signal for the whole range: after a row near the top of a million comes or goes, a signal
// per row would take longer than the change itself.
void RowListModel::redrawRowsFrom(int first) {
    if (first < 0 || first >= shownRows_)
        return;
    emit dataChanged(index(first, 0), index(shownRows_ - 1, int(columns_.size()) - 1),
                     {Qt::DisplayRole});
}

} // namespace kestra
