#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include <QAbstractTableModel>

#include "window/display_rows.h"

namespace kestra {

// A list's view of a row cache. Like a list that asks its owner for the text of each cell, the
// model keeps only a row count: rows are inserted and removed explicitly, and every cell's text is
// read from the cache when the view paints it. A cell the cache no longer holds shows nothing.
class RowListModel final : public QAbstractTableModel {
public:
    using CellSource = std::function<std::u16string_view(std::size_t row, int column)>;
    using RowCount = std::function<std::size_t()>;

    RowListModel(const std::array<ColumnSpec, 4>& columns, CellSource cell, RowCount cachedRows,
                 QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Adds `count` rows after the rows the list shows.
    void insertCallbackRows(int count);
    void deleteAllRows();
    void deleteRow(int row);
    void redrawRow(int row);

private:
    QVariant alignment(int column) const;

    const std::array<ColumnSpec, 4>& columns_;
    CellSource cell_;
    RowCount cachedRows_;
    int shownRows_ = 0;
};

// A model over a vector of ItemRow or PropertyRow, which must outlive it.
template <typename Row>
RowListModel* makeRowListModel(const std::vector<Row>& rows,
                               const std::array<ColumnSpec, 4>& columns, QObject* parent) {
    return new RowListModel(
        columns,
        [&rows](std::size_t row, int column) -> std::u16string_view {
            return row < rows.size() ? cellText(rows[row], column) : std::u16string_view();
        },
        [&rows] { return rows.size(); }, parent);
}

} // namespace kestra
