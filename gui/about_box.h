#pragma once

#include <QDialog>

namespace kestra {

// The modal About box: icon, name and version, two lines about the program, and OK. Enter, OK,
// Escape and the close box all close it.
class AboutBox final : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* owner);
};

} // namespace kestra
