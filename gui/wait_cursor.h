#pragma once

#include <QGuiApplication>

namespace kestra {

// The wait cursor over every window of the program while it lives or until `restore`, for work
// that holds the event loop up (opening, saving, searching).
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { restore(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    void restore() {
        if (shown_)
            QGuiApplication::restoreOverrideCursor();
        shown_ = false;
    }

private:
    bool shown_ = true;
};

} // namespace kestra
