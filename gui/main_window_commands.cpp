// The menu commands of the main window and choosing an item in the item list.
#include "main_window.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include "about_box.h"
#include "control_ids.h"
#include "failure_reasons.h"
#include "io/writer_lock.h"
#include "names/documentation_search.h"
#include "progress_window.h"
#include "report_list.h"
#include "search_dialog.h"
#include "window/save_path.h"
#include "window_texts.h"

#include <system_error>
#include <thread>

namespace kestra {

namespace {

// After a save, the lock holds the last descriptor of the file the save has just replaced, and
// closing that frees the old file's blocks and cached pages: a tenth of a second for 200 MB, which
// the window need not wait for. Should no thread start, the lock goes here, as it always did. A
// failed save keeps the file in place, so its lock goes at once: a Save tried again must not
// find it still held.
void releaseInBackground(WriterLock lock) {
    try {
        std::thread([held = std::move(lock)]() mutable { held.unlock(); }).detach();
    } catch (const std::system_error&) {
    }
}

} // namespace

void MainWindow::openFile() {
    const QString chosen = dialogs_.askOpenPath(this);
    if (!chosen.isEmpty())
        openPath(chosen);
}

void MainWindow::openPath(const QString& chosen) {
    if (!settleUnsavedChanges())
        return;
    const std::string path = chosen.toStdString();
    // The "Opening..." window stays until the item list is filled: on a large file that takes a
    // while of its own, and the window is the only sign of work.
    ProgressScope progress(ProgressWindow::Kind::Opening, this);
    // Started from a menu, in the home folder, the names are often beside the file; once read
    // they stay for the rest of the run.
    if (const std::string beside = documentationBeside(path);
        !state_.documentation.loaded && !beside.empty())
        loadDocumentationFile(state_.documentation, beside);
    FileError error;
    if (!state_.document.load(path, state_.documentation, &error)) {
        progress.end();
        dialogs_.showError(this, QString::fromUtf8(texts::openFailed),
                           QString::fromUtf8(texts::upperErrorCaption),
                           openFailureReason(path, error));
        return;
    }

    state_.history.clear();
    recoverJournal(path, progress);
    state_.knownFile.remember(path);
    state_.currentFilePath = path;
    state_.openedFilePath = path;
    state_.selectedItem = -1;
    resetEditPanel();
    showEditState();
    controls_.itemList->rows()->deleteAllRows();
    controls_.propertyList->rows()->deleteAllRows();
    state_.propertyRows.clear();
    state_.itemRows.showAll(state_.document);
    controls_.itemList->rows()->insertCallbackRows(int(state_.itemRows.size()));
    enableCommand(searchCommandId);
    enableCommand(saveCommandId);
    enableCommand(saveAsCommandId);
    controls_.newItemButton->setEnabled(true);
    progress.end();
    updateStatusBar();
    recentFiles_->remember(path);
}

bool MainWindow::saveFile() {
    return saveTo(state_.currentFilePath);
}

void MainWindow::saveFileAs() {
    const QString chosen =
        dialogs_.askSavePath(this, QString::fromStdString(state_.currentFilePath));
    if (chosen.isEmpty())
        return;
    // The dialog takes only existing folders, but one may vanish before the save: a path into a
    // missing folder never becomes the path every later Save fails on.
    const std::string path = chosen.toStdString();
    if (!saveFolderExists(path)) {
        showSaveFailed(QString::fromUtf8(texts::saveFolderMissing).arg(QFileInfo(chosen).path()));
        return;
    }
    state_.currentFilePath = path;
    saveTo(state_.currentFilePath);
}

// Another program's save is not overwritten unasked, and writers that lock the file (the tool,
// another window) wait for this save, as it waits for theirs.
bool MainWindow::saveTo(const std::string& path) {
    if (changedSince(state_.knownFile, path) &&
        !dialogs_.askSaveOverChanges(this, QFileInfo(QString::fromStdString(path)).fileName()))
        return false;
    bool saved = false;
    FileError error;
    {
        ProgressScope progress(ProgressWindow::Kind::Saving, this);
        WriterLock lock;
        saved = lock.lock(path, WriterLock::defaultPatience) ? state_.document.save(path, &error)
                                                             : failWith(error, writerLockBusy);
        if (saved) {
            state_.knownFile.remember(path);
            releaseInBackground(std::move(lock));
        }
    }
    if (!saved) {
        showSaveFailed(saveFailureReason(path, error));
        return false;
    }
    recentFiles_->remember(path);
    state_.history.markSaved();
    journal_.follow(path, state_.document.stringWidth);
    showEditState();
    return true;
}

void MainWindow::showSaveFailed(const QString& reason) {
    dialogs_.showError(this, QString::fromUtf8(texts::saveFailed),
                       QString::fromUtf8(texts::upperErrorCaption), reason);
}

void MainWindow::showAbout() {
    AboutBox about(this);
    about.exec();
}

// Runs the Search dialog over the client area; "OK" on an opened item jumps there. The edit
// panel stays as it is, so a following Apply stores into the same property of that item.
void MainWindow::runSearchCommand() {
    SearchDialog dialog(searchState_, state_.document, state_.documentation, this);
    dialog.move(centralWidget()->mapToGlobal(QPoint(0, 0)));
    dialog.exec();
    const std::int32_t found = dialog.openedItem();
    if (!dialog.wasAccepted() || found < 0 || std::size_t(found) >= state_.document.items.size())
        return;
    controls_.itemList->selectAndReveal(found);
    showPropertiesOf(found);
}

void MainWindow::chooseItem(int index) {
    if (index < 0)
        return;
    showPropertiesOf(index);
    resetEditPanel();
}

void MainWindow::enterOnItemList() {
    const int marked = controls_.itemList->selectionMark();
    resetEditPanel();
    if (marked >= 0)
        showPropertiesOf(marked);
}

// Makes `index` the selected item and fills the property list with its properties.
void MainWindow::showPropertiesOf(int index) {
    if (std::size_t(index) >= state_.document.items.size())
        return;
    state_.selectedItem = index;
    controls_.propertyList->rows()->deleteAllRows();
    state_.propertyRows.show(state_.document, std::size_t(index));
    controls_.propertyList->rows()->insertCallbackRows(int(state_.propertyRows.size()));
}

} // namespace kestra
