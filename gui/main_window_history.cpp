// Unsaved changes in the main window: Undo and Redo, the title's mark, and the question asked
// before changes would be lost. The steps and the revision are the core's (editing/edit_history).
#include "main_window.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSessionManager>

#include "control_ids.h"
#include "report_list.h"
#include "window_texts.h"

#include <algorithm>

namespace kestra {

namespace {

// Qt reads "[*]" in a window title as the place of its modified marker and removes it; doubled,
// it shows as written.
QString literalTitle(QString title) {
    return title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

} // namespace

void MainWindow::undoEdit() {
    const HistoryMove move = kestra::undoEdit(state_);
    if (move.effect != HistoryMove::Effect::Nothing)
        journalRecord({JournalRecord::Kind::Undo, {}});
    showHistoryMove(move);
}

void MainWindow::redoEdit() {
    const HistoryMove move = kestra::redoEdit(state_);
    if (move.effect != HistoryMove::Effect::Nothing)
        journalRecord({JournalRecord::Kind::Redo, {}});
    showHistoryMove(move);
}

// The rows follow the document; the item the step touched is selected and shown, or, when it
// left the document, its place is scrolled into view.
void MainWindow::showHistoryMove(const HistoryMove& move) {
    if (move.effect == HistoryMove::Effect::Nothing)
        return;
    const int item = int(move.item);
    RowListModel* itemRows = controls_.itemList->rows();
    RowListModel* propertyRows = controls_.propertyList->rows();
    switch (move.effect) {
    case HistoryMove::Effect::ItemRemoved:
        itemRows->deleteRow(item);
        itemRows->redrawRowsFrom(item);
        break;
    case HistoryMove::Effect::ItemInserted:
        itemRows->insertCallbackRow(item);
        itemRows->redrawRowsFrom(item);
        break;
    default:
        itemRows->redrawRow(item);
        break;
    }
    resetEditPanel();
    propertyRows->deleteAllRows();
    propertyRows->insertCallbackRows(int(state_.propertyRows.size()));
    if (state_.selectedItem == item)
        controls_.itemList->selectAndReveal(item);
    else
        controls_.itemList->scrollTo(itemRows->index(std::min(item, itemRows->rowCount() - 1), 0));
    updateStatusBar();
    showEditState();
}

void MainWindow::showEditState() {
    if (!state_.openedFilePath.empty()) {
        const char* format = state_.history.hasUnsavedChanges() ? texts::changedTitleFormat
                                                                : texts::openedTitleFormat;
        setWindowTitle(literalTitle(
            QString::fromUtf8(format).arg(QString::fromStdString(state_.openedFilePath))));
    }
    enableCommand(undoCommandId, state_.history.canUndo());
    enableCommand(redoCommandId, state_.history.canRedo());
}

bool MainWindow::settleUnsavedChanges() {
    if (!state_.history.hasUnsavedChanges())
        return true;
    const QString name = QFileInfo(QString::fromStdString(state_.currentFilePath)).fileName();
    switch (dialogs_.askUnsavedChanges(this, name)) {
    case UnsavedChoice::Save:
        return saveFile();
    case UnsavedChoice::Discard:
        return true;
    case UnsavedChoice::Cancel:
        break;
    }
    return false;
}

// Exit, the close box and Alt+F4 come here.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (settleUnsavedChanges()) {
        journal_.settle();
        event->accept();
    } else
        event->ignore();
}

// The desktop session ending does not close the window first: it asks the program to keep its
// data, and may let it ask the user. Unasked, unsaved changes stop the session from ending.
void MainWindow::settleBeforeSessionEnds() {
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& session) {
        const bool settled = session.allowsInteraction() ? settleUnsavedChanges()
                                                         : !state_.history.hasUnsavedChanges();
        if (!settled)
            session.cancel();
        session.release();
    });
}

} // namespace kestra
