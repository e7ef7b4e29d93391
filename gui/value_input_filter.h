#pragma once

#include <optional>

#include <QObject>

#include "document/info_file.h"

class QInputMethodEvent;
class QKeyEvent;
class QLineEdit;

namespace kestra {

// The input rules of one value type on the value edit field: drops the typed characters the type
// refuses (keys and input-method commits) before the field sees them, and keeps whatever the user
// puts in (typed, pasted or dropped) within the type's length. Text the program puts into the
// field is never cut. The filter's objectName is its ID.
class ValueInputFilter final : public QObject {
    Q_OBJECT
public:
    ValueInputFilter(TypeCode code, QLineEdit* edit);

    TypeCode typeCode() const { return code_; }
    int id() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the key press must not reach the field.
    bool refuseKey(const QKeyEvent& key);
    void dropRefusedCommittedCharacters(QInputMethodEvent& event) const;

    TypeCode code_;
    QLineEdit* edit_;
};

// Gives the field the rules of `code`, removing the rules of every other type first.
void configureValueEdit(QLineEdit* edit, TypeCode code);

// The character a key press types, as the field would receive it: Backspace, Enter, the control
// characters of Ctrl+letter, or the printable text; nothing for keys that only move or edit.
std::optional<char16_t> typedCharacter(const QKeyEvent& key);

} // namespace kestra
