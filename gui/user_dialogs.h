#pragma once

#include <cstddef>
#include <functional>

#include <QString>

class QWidget;

namespace kestra {

enum class UnsavedChoice { Save, Discard, Cancel };

// The questions and messages the main window puts to the user, apart from the window so that the
// file choosers and message boxes can be replaced where no one is there to answer them.
struct UserDialogs {
    // The file to open; empty when the user cancels.
    std::function<QString(QWidget* owner)> askOpenPath;
    // The path to save to, starting from `currentPath`; empty when the user cancels.
    std::function<QString(QWidget* owner, const QString& currentPath)> askSavePath;
    // An error box with an OK button; `reason`, when not empty, says why beneath `text`.
    std::function<void(QWidget* owner, const QString& text, const QString& caption,
                       const QString& reason)>
        showError;
    // What to do with unsaved changes to the file `fileName` before they would be lost.
    std::function<UnsavedChoice(QWidget* owner, const QString& fileName)> askUnsavedChanges;
    // Whether to save over `fileName`, which another program changed since it was opened.
    std::function<bool(QWidget* owner, const QString& fileName)> askSaveOverChanges;
    // Whether to recover the `steps` edit steps kept of `fileName` when Kestra last ended
    // without saving them; false discards them.
    std::function<bool(QWidget* owner, const QString& fileName, std::size_t steps)> askRecover;
    // Whether to keep aside the kept edit steps of `fileName`, which changed since; false
    // discards them.
    std::function<bool(QWidget* owner, const QString& fileName)> askKeepJournalAside;
};

// Open and save file dialogs and message boxes of the platform.
UserDialogs standardUserDialogs();

} // namespace kestra
