#pragma once

#include <QDialog>

namespace kestra {

// The small "Opening..." / "Saving..." window shown while a file is read or written. The work runs
// synchronously, so the window is painted once when it appears and not serviced after that.
class ProgressWindow final : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Opening, Saving };

    ProgressWindow(Kind kind, QWidget* owner);
};

// Shows a progress window of `kind` for as long as it lives.
class ProgressScope {
public:
    ProgressScope(ProgressWindow::Kind kind, QWidget* owner);
    ~ProgressScope();
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    ProgressWindow* window_;
};

} // namespace kestra
