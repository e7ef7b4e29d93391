#pragma once

#include <QHeaderView>
#include <QObject>
#include <QTableView>

#include "row_list_model.h"

namespace kestra {

// A report-style list over rows rendered on demand: four fixed columns, one selectable row at a
// time, never sorted, rows of one fixed height. A table view, not a tree view: a tree view keeps
// an entry for every row, which for a million rows takes longer to build and lay out than
// reading the file, while a table's rows of fixed height cost nothing until they are painted.
// It remembers the row last selected (the selection mark), which Enter and the item buttons act
// on.
class ReportList final : public QTableView {
    Q_OBJECT
public:
    ReportList(int id, const QString& accessibleName, RowListModel* model, QWidget* parent);

    RowListModel* rows() const { return rows_; }
    // The column headers.
    QHeaderView* header() const { return horizontalHeader(); }
    // The row last selected; -1 before the first selection and after its row is gone.
    int selectionMark() const { return selectionMark_; }
    // Makes `row` the selection mark and the selected row and scrolls it fully into view.
    void selectAndReveal(int row);

signals:
    void rowDoubleClicked(int row);

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    void trackRemovedRows(int first, int last);

    RowListModel* rows_;
    int selectionMark_ = -1;
};

} // namespace kestra
