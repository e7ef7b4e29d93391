#include "enter_key_filter.h"

#include <QKeyEvent>

namespace kestra {

EnterKeyFilter::EnterKeyFilter(int id, QObject* parent) : QObject(parent), id_(id) {
    if (id != 0)
        setObjectName(QString::number(id));
}

bool EnterKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit enterPressed(watched);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kestra
