#pragma once

#include <QObject>
#include <QTreeView>

#include "row_list_model.h"

namespace kestra {

// A report-style list over a row cache: four fixed columns, one selectable row at a time, never
// sorted, uniform rows so that a million of them scroll as fast as ten. It remembers the row last
// selected (the selection mark), which Enter and the item buttons act on.
class ReportList final : public QTreeView {
    Q_OBJECT
public:
    ReportList(int id, const QString& accessibleName, RowListModel* model, QWidget* parent);

    RowListModel* rows() const { return rows_; }
    // The row last selected; -1 before the first selection and after its row is gone.
    int selectionMark() const { return selectionMark_; }
    // Makes `row` the selection mark and the selected row and scrolls it fully into view.
    void selectAndReveal(int row);

signals:
    void rowDoubleClicked(int row);

private:
    void trackRemovedRows(int first, int last);

    RowListModel* rows_;
    int selectionMark_ = -1;
};

} // namespace kestra
