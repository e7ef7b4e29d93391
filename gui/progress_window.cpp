#include "progress_window.h"

#include <QCoreApplication>
#include <QLabel>
#include <QScreen>

#include "dialog_geometry.h"
#include "window_texts.h"

namespace kestra {

ProgressWindow::ProgressWindow(Kind kind, QWidget* owner) : QDialog(owner) {
    const bool opening = kind == Kind::Opening;
    setWindowTitle(QString::fromUtf8(opening ? texts::openingCaption : texts::savingCaption));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(false);
    // It only informs: the main window keeps the activation, and with it its shortcuts, which
    // nothing would hand back without a window manager.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedDialogSize(*this, 253, 62);

    auto* text =
        new QLabel(QString::fromUtf8(opening ? texts::openingText : texts::savingText), this);
    placeTextControl(*this, *text, {109, 26, opening ? 36 : 30, 8});

    if (const QScreen* screen = owner ? owner->screen() : nullptr) {
        QRect frame = rect();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

ProgressScope::ProgressScope(ProgressWindow::Kind kind, QWidget* owner)
    : window_(std::make_unique<ProgressWindow>(kind, owner)) {
    window_->show();
    // Painted once before the synchronous work starts; user input waits until it is done.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    window_->repaint();
}

ProgressScope::~ProgressScope() {
    end();
}

void ProgressScope::end() {
    if (window_) {
        window_->close();
        window_.reset();
    }
    cursor_.restore();
}

} // namespace kestra
