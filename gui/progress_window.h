#pragma once

#include <QDialog>

#include <memory>

#include "wait_cursor.h"

namespace kestra {

// The small "Opening..." / "Saving..." window shown while a file is read or written. The work runs
// synchronously, so the window is painted once when it appears and not serviced after that.
class ProgressWindow final : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Opening, Saving };

    ProgressWindow(Kind kind, QWidget* owner);
};

// Shows a progress window of `kind` and the wait cursor for as long as it lives or until `end`.
class ProgressScope {
public:
    ProgressScope(ProgressWindow::Kind kind, QWidget* owner);
    ~ProgressScope();
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    // Closes the window and restores the cursor, so that a message can follow the work.
    void end();

private:
    WaitCursor cursor_; // before the window, so that it shows as the window appears
    std::unique_ptr<ProgressWindow> window_;
};

} // namespace kestra
