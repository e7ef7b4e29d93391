#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>

#include <QAbstractTableModel>

#include "window/row_lists.h"

namespace kestra {

// A list's view of its rows. Like a list that asks its owner for the text of each cell, the model
// keeps only a row count: rows are inserted and removed explicitly, and every cell's text is
// rendered by the rows when the view paints it. A cell the rows no longer hold shows nothing.
class RowListModel final : public QAbstractTableModel {
public:
    using CellSource = std::function<std::u16string(std::size_t row, int column)>;
    using RowCount = std::function<std::size_t()>;

    RowListModel(const std::array<ColumnSpec, 4>& columns, CellSource cell, RowCount heldRows,
                 QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Adds `count` rows after the rows the list shows.
    void insertCallbackRows(int count);
    // Adds one row at `row`; the rows from there on move down one place.
    void insertCallbackRow(int row);
    void deleteAllRows();
    void deleteRow(int row);
    void redrawRow(int row);
    // Redraws the rows from `first` to the last.
    void redrawRowsFrom(int first);

private:
    QVariant alignment(int column) const;

    const std::array<ColumnSpec, 4>& columns_;
    CellSource cell_;
    RowCount heldRows_;
    int shownRows_ = 0;
};

// A model over ItemRows or PropertyRows, which must outlive it.
template <typename Rows>
RowListModel* makeRowListModel(const Rows& rows, const std::array<ColumnSpec, 4>& columns,
                               QObject* parent) {
    return new RowListModel(
        columns,
        [&rows](std::size_t row, int column) {
            return row < rows.size() ? rows.cellText(row, column) : std::u16string();
        },
        [&rows] { return rows.size(); }, parent);
}

} // namespace kestra
