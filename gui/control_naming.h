#pragma once

#include <QString>
#include <QWidget>

namespace kestra {

// Gives a control its numeric ID as objectName, by which the window, the tests and outside tools
// address it, and the accessible name a screen reader announces.
template <typename Widget> Widget* named(Widget* widget, int id, const char* accessibleName) {
    widget->setObjectName(QString::number(id));
    widget->setAccessibleName(QString::fromUtf8(accessibleName));
    return widget;
}

} // namespace kestra
