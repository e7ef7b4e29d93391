// Item editing in the main window: the edit panel, Apply, and copying, adding and deleting items.
// The rules are the core's (window/window_editing); this file keeps the widgets in step.
#include "main_window.h"

#include <QLineEdit>
#include <QPushButton>

#include "failure_reasons.h"
#include "qt_text.h"
#include "report_list.h"
#include "value_input_filter.h"
#include "values/value_text.h"
#include "window/window_editing.h"
#include "window_texts.h"

namespace kestra {

void MainWindow::choosePropertyForEdit(int row) {
    if (row < 0 || std::size_t(row) >= state_.propertyRows.size())
        return;
    const PropertyRow& chosen = state_.propertyRows[std::size_t(row)];
    controls_.valueEdit->setText(toQString(chosen.valueText.view()));
    state_.selectedProperty = row;
    TypeCode code = TypeCode::I4;
    const std::string codeText = narrowText(chosen.typeCodeText.view());
    if (typeCodeFromText(codeText, code))
        configureValueEdit(controls_.valueEdit, code);
    controls_.valueEdit->setEnabled(true);
    controls_.typeField->setText(toQString(chosen.typeText.view()));
    controls_.applyButton->setEnabled(true);
}

void MainWindow::applyEdit() {
    const QString text = controls_.valueEdit->text();
    const std::uint64_t revision = state_.history.currentRevision();
    const ApplyResult result = applyEditText(state_, toU16View(text));
    for (const std::size_t row : result.rewrittenPropertyRows)
        controls_.propertyList->rows()->redrawRow(int(row));
    if (result.itemRowRewritten)
        controls_.itemList->rows()->redrawRow(state_.selectedItem);
    journalNewStep(revision);
    showEditState();
    if (!result.allStored) {
        dialogs_.showError(this, QString::fromUtf8(texts::valueNotStored),
                           QString::fromUtf8(texts::upperErrorCaption),
                           valueProblemReason(text, result.problem, result.refusedType));
    }
}

void MainWindow::copyItem() {
    if (kestra::copyItem(state_, controls_.itemList->selectionMark()))
        appendItemRow();
}

void MainWindow::newItem() {
    if (kestra::newItem(state_))
        appendItemRow();
}

void MainWindow::appendItemRow() {
    journalRecord({JournalRecord::Kind::Step, *state_.history.lastDone()});
    controls_.itemList->rows()->insertCallbackRows(1);
    updateStatusBar();
    showEditState();
}

void MainWindow::deleteItem() {
    const int marked = controls_.itemList->selectionMark();
    const DeleteEffect effect = kestra::deleteItem(state_, marked);
    if (effect != DeleteEffect::Nothing) {
        journalRecord({JournalRecord::Kind::Step, *state_.history.lastDone()});
        controls_.itemList->rows()->deleteRow(marked);
        controls_.itemList->rows()->redrawRowsFrom(marked);
    }
    if (effect == DeleteEffect::RemovedShownItem) {
        controls_.propertyList->rows()->deleteAllRows();
        resetEditPanel();
    }
    updateStatusBar();
    showEditState();
}

} // namespace kestra
