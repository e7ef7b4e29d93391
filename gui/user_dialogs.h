#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace kestra {

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
};

// Open and save file dialogs and message boxes of the platform.
UserDialogs standardUserDialogs();

} // namespace kestra
