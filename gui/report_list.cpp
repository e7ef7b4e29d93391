#include "report_list.h"

#include <QHeaderView>
#include <QPalette>

namespace kestra {

ReportList::ReportList(int id, const QString& accessibleName, RowListModel* model, QWidget* parent)
    : QTableView(parent), rows_(model) {
    setObjectName(QString::number(id));
    setAccessibleName(accessibleName);
    setModel(model);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    // Tab moves to the next control, as from any list, not to the next cell.
    setTabKeyNavigation(false);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);

    QHeaderView* rowHeaders = verticalHeader();
    rowHeaders->hide();
    rowHeaders->setSectionResizeMode(QHeaderView::Fixed);
    // As tall as a line of the list's text, as a list's rows are.
    rowHeaders->setMinimumSectionSize(fontMetrics().height());
    rowHeaders->setDefaultSectionSize(fontMetrics().height());

    QHeaderView* columns = header();
    columns->setSectionsClickable(false);
    columns->setSectionsMovable(false);
    columns->setStretchLastSection(false);
    for (int column = 0; column < model->columnCount(); ++column)
        columns->resizeSection(column, 100);

    // The selected row stays as visible when the list loses the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (!selected.isEmpty())
                    selectionMark_ = selected.indexes().first().row();
            });
    connect(model, &QAbstractItemModel::modelReset, this, [this] { selectionMark_ = -1; });
    connect(model, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int last) { trackRemovedRows(first, last); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit rowDoubleClicked(index.row()); });
}

void ReportList::selectAndReveal(int row) {
    const QModelIndex index = rows_->index(row, 0);
    if (!index.isValid())
        return;
    selectionModel()->select(index,
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selectionMark_ = row;
    scrollTo(index, QAbstractItemView::EnsureVisible);
}

QModelIndex ReportList::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    // A list of rows: Home and End go to the first and last row, where a table would move to the
    // first and last column of the row.
    if (action == MoveHome || action == MoveEnd)
        modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(action, modifiers);
}

void ReportList::trackRemovedRows(int first, int last) {
    if (selectionMark_ > last)
        selectionMark_ -= last - first + 1;
    else if (selectionMark_ >= first)
        selectionMark_ = -1;
}

} // namespace kestra
