#include "value_input_filter.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

#include <memory>

#include "control_ids.h"
#include "qt_text.h"
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
        case QEvent::ContextMenu:
            showContextMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
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
    if (key.matches(QKeySequence::Paste)) {
        pasteWithinLimit();
        return true;
    }
    if (!typed || *typed == backspace || *typed == enter || *typed < u' ')
        return false;
    return roomLeft(*edit_, code_) < 1;
}

void ValueInputFilter::pasteWithinLimit() {
    const qsizetype room = roomLeft(*edit_, code_);
    if (room < 1 || edit_->isReadOnly())
        return;
    QString pasted = QGuiApplication::clipboard()->text();
    // A single-line field takes the first line only.
    pasted = pasted.section(QLatin1Char('\n'), 0, 0).section(QLatin1Char('\r'), 0, 0);
    edit_->insert(pasted.left(room));
}

// The field's own menu, whose Paste keeps within the limit like Ctrl+V does.
void ValueInputFilter::showContextMenu(const QPoint& globalPosition) {
    std::unique_ptr<QMenu> menu(edit_->createStandardContextMenu());
    if (QAction* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
        paste->disconnect();
        connect(paste, &QAction::triggered, this, &ValueInputFilter::pasteWithinLimit);
    }
    menu->exec(globalPosition);
}

void configureValueEdit(QLineEdit* edit, TypeCode code) {
    for (ValueInputFilter* old :
         edit->findChildren<ValueInputFilter*>(Qt::FindDirectChildrenOnly)) {
        edit->removeEventFilter(old);
        delete old;
    }
    edit->setAcceptDrops(false);
    edit->installEventFilter(new ValueInputFilter(code, edit));
}

} // namespace kestra
