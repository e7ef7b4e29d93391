#include "value_input_filter.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

#include "control_ids.h"
#include "qt_text.h"
#include "values/text_insertion.h"
#include "values/value_text.h"

namespace kestra {

namespace {

constexpr char16_t backspace = 8;
constexpr char16_t enter = 13;

// How many more characters fit, with the selection about to be replaced.
qsizetype roomLeft(const QLineEdit& edit, TypeCode code) {
    const qsizetype kept = edit.text().size() - edit.selectedText().size();
    return qsizetype(typedTextLimit(code)) - kept;
}

// Holds every edit of the field to the type's length, whichever way its text came in: typed,
// pasted by shortcut, menu or middle button, dropped, or committed by an input method. The field
// asks it after each change; it compares the text with the one it last saw and cuts what the
// edit inserted. Text the program sets is taken whole: the field counts it as unmodified, and so
// does an edit undone back to it.
class LengthLimit final : public QValidator {
public:
    LengthLimit(std::size_t limit, QLineEdit* edit, QObject* parent)
        : QValidator(parent), limit_(limit), edit_(edit), previous_(edit->text()) {}

    State validate(QString& input, int& cursor) const override {
        if (edit_->isModified()) {
            if (const std::optional<FieldEdit> cut = limitInsertion(
                    toU16View(previous_), toU16View(input), std::size_t(cursor), limit_)) {
                input = toQString(cut->text);
                cursor = int(cut->cursor);
            }
        }
        previous_ = input;
        return Acceptable;
    }

private:
    std::size_t limit_;
    const QLineEdit* edit_;
    mutable QString previous_;
};

} // namespace

std::optional<char16_t> typedCharacter(const QKeyEvent& key) {
    switch (key.key()) {
    case Qt::Key_Backspace:
        return backspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return enter;
    default:
        break;
    }
    if (key.modifiers() & Qt::ControlModifier) {
        if (key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z)
            return char16_t(key.key() - Qt::Key_A + 1);
        return std::nullopt;
    }
    const QString text = key.text();
    if (text.size() != 1 || text.at(0).unicode() < u' ' || text.at(0).unicode() == 0x7F)
        return std::nullopt;
    return char16_t(text.at(0).unicode());
}

ValueInputFilter::ValueInputFilter(TypeCode code, QLineEdit* edit)
    : QObject(edit), code_(code), edit_(edit) {
    setObjectName(QString::number(id()));
    edit->setValidator(new LengthLimit(typedTextLimit(code), edit, this));
}

int ValueInputFilter::id() const {
    switch (code_) {
    case TypeCode::F4:
        return floatFilterId;
    case TypeCode::I4:
        return integerFilterId;
    case TypeCode::S32:
        return string32FilterId;
    case TypeCode::S16:
        return string16FilterId;
    }
    return 0;
}

bool ValueInputFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_) {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (refuseKey(*static_cast<QKeyEvent*>(event)))
                return true;
            break;
        case QEvent::InputMethod:
            dropRefusedCommittedCharacters(*static_cast<QInputMethodEvent*>(event));
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool ValueInputFilter::refuseKey(const QKeyEvent& key) {
    const std::optional<char16_t> typed = typedCharacter(key);
    if (typed && !mayTypeCharacter(code_, toU16View(edit_->text()), *typed))
        return true;
    if (!typed || *typed == backspace || *typed == enter || *typed < u' ')
        return false;
    // The length limit would cut the character anyway; refusing it here keeps the undo history.
    return roomLeft(*edit_, code_) < 1;
}

// Committed text is typed text: it passes the character rules. Its length is the limit's.
void ValueInputFilter::dropRefusedCommittedCharacters(QInputMethodEvent& event) const {
    const QString committed = event.commitString();
    const QString taken =
        toQString(typedCharactersTaken(code_, toU16View(edit_->text()), toU16View(committed)));
    if (taken != committed)
        event.setCommitString(taken, event.replacementStart(), event.replacementLength());
}

void configureValueEdit(QLineEdit* edit, TypeCode code) {
    for (ValueInputFilter* old :
         edit->findChildren<ValueInputFilter*>(Qt::FindDirectChildrenOnly)) {
        edit->removeEventFilter(old);
        delete old;
    }
    edit->installEventFilter(new ValueInputFilter(code, edit));
}

} // namespace kestra
