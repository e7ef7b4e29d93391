#pragma once

#include <QObject>

namespace kestra {

// Sees Return and Enter before the watched widget does and reports them instead, so that Enter
// means what the window makes of it (open the marked row, press the focused button) and never
// reaches a dialog's default button. Tagged with an ID where the window addresses it by number.
class EnterKeyFilter final : public QObject {
    Q_OBJECT
public:
    EnterKeyFilter(int id, QObject* parent);
    int id() const { return id_; }

signals:
    // `target` is the widget Enter was pressed on.
    void enterPressed(QObject* target);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int id_;
};

} // namespace kestra
