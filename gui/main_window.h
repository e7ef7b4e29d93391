#pragma once

#include <map>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QTimer>

#include "main_window_controls.h"
#include "recent_files_menu.h"
#include "recovery/document_journal.h"
#include "user_dialogs.h"
#include "window/search_dialog_state.h"
#include "window/window_history.h"
#include "window/window_state.h"

class QAction;

namespace kestra {

class ProgressScope;

// The editor's one top-level window. It keeps the application state, shows the core's rows and
// forwards every command, from menu items, shortcuts and buttons alike, through `dispatch`.
// The commands live in main_window_commands.cpp, item editing in main_window_editing.cpp.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window in start-up order; reads the documentation file from the first of
    // `documentationPlaces` that can be read and, when none can, says so, with where it looked,
    // before the window is shown.
    explicit MainWindow(
        UserDialogs dialogs,
        const std::vector<std::string>& documentationPlaces = {documentationFileName},
        QWidget* parent = nullptr);
    ~MainWindow() override;

    void dispatch(int commandId);
    // Opens the `chosen` path as Open does once its dialog has given one. Every way of opening a
    // file (Open, a file dropped on the window, Open Recent, the command line) ends here, and so
    // first settles unsaved changes (settleUnsavedChanges): if the user cancels, nothing happens.
    // On success the document, title, lists and status bar follow the file, the undo history
    // starts afresh, and Save, Save As, Search and New Item are enabled; on failure the error box
    // is shown and everything stays as it was.
    void openPath(const QString& chosen);
    // Before the document is replaced or the window closes: with unsaved changes, asks whether
    // to save them. True when the caller may go on (nothing unsaved, saved, or discarded); false
    // when the user cancelled or the save failed (its error shown).
    bool settleUnsavedChanges();

    const WindowState& state() const { return state_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    // main_window.cpp
    void layOut();
    void resetEditPanel();
    void updateStatusBar();
    void enableCommand(int commandId, bool enabled = true);
    void connectLists();

    // main_window_desktop.cpp
    void keepFrameOnScreen();

    // main_window_commands.cpp
    void openFile();
    bool saveFile();
    void saveFileAs();
    bool saveTo(const std::string& path);
    void showSaveFailed(const QString& reason);
    void showAbout();
    void chooseItem(int index);
    void enterOnItemList();
    void showPropertiesOf(int index);
    void runSearchCommand();

    // main_window_editing.cpp
    void choosePropertyForEdit(int row);
    void applyEdit();
    void copyItem();
    void newItem();
    void deleteItem();
    void appendItemRow();

    // main_window_history.cpp
    void undoEdit();
    void redoEdit();
    void showHistoryMove(const HistoryMove& move);
    // The title's unsaved-changes mark and the Undo and Redo items, after anything that edits,
    // undoes, loads or saves.
    void showEditState();
    void settleBeforeSessionEnds();

    // main_window_recovery.cpp
    void setUpJournal();
    // After a load: offers the steps a journal of `path` kept back, and journals what follows.
    // The load's progress window ends before a question, which it would otherwise cover.
    void recoverJournal(const std::string& path, ProgressScope& progress);
    // After an edit command: journals the step it recorded, if any.
    void journalNewStep(std::uint64_t revisionBefore);
    void journalRecord(const JournalRecord& record);
    void showJournalFailure(const std::optional<std::string>& failure);

    WindowState state_;
    UserDialogs dialogs_;
    MainWindowControls controls_;
    std::map<int, QAction*> actions_;
    RecentFilesMenu* recentFiles_ = nullptr;
    bool framePending_ = true;      // the window manager has not yet framed the window
    SearchDialogState searchState_; // the Search dialog's results and rows, kept between runs
    DocumentJournal journal_;
    QTimer journalFlush_;
};

} // namespace kestra
