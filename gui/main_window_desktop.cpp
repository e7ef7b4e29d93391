// How the main window meets the desktop: files dropped on it, and the window manager's frame.
#include "main_window.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMoveEvent>
#include <QScreen>

#include <algorithm>

namespace kestra {

namespace {

// The one local file a drop carries, or empty: several files at once are not taken.
QString droppedFile(const QMimeData* data) {
    const QList<QUrl> urls = data->urls();
    return urls.size() == 1 && urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
}

} // namespace

// A file dropped anywhere on the window opens as File > Open would.
void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    openPath(path);
}

// The window manager's frame is known only once it has framed the window, which moves it.
void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (framePending_)
        keepFrameOnScreen();
}

// A window whose first frame would reach past the screen's available area (at a large scale
// factor, say) shrinks and moves into it.
void MainWindow::keepFrameOnScreen() {
    const QRect available = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    if (frame == geometry())
        return;
    framePending_ = false;
    if (available.contains(frame))
        return;
    const QSize excess(std::max(frame.width() - available.width(), 0),
                       std::max(frame.height() - available.height(), 0));
    resize(size() - excess);
    const QSize fitted = frame.size() - excess;
    move(std::clamp(frame.left(), available.left(), available.right() + 1 - fitted.width()),
         std::clamp(frame.top(), available.top(), available.bottom() + 1 - fitted.height()));
}

} // namespace kestra
