#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QTimer>

#include <functional>

#include "control_ids.h"
#include "main_window_fixture.h"
#include "value_input_filter.h"

namespace kestra::testing {
namespace {

class ValueInputFilterTest : public MainWindowTest {
protected:
    // Loads property `property` of item 0 into the edit panel.
    QLineEdit* edit(int property) {
        doubleClickRow(itemList(), 0);
        doubleClickRow(propertyList(), property);
        return valueEdit();
    }
    // Item 0's size shows as 123456792.000000: 16 characters, one more than may be typed.
    void openWithALongFloat() {
        auto items = threeSampleItems();
        items[0].size = 123456789.0f;
        const std::string path = folder.file("long.table");
        writeFile(path, sampleFileBytes(16, items));
        openPath(path);
    }
    static void typeAt(QLineEdit* field, int position, const QString& text) {
        field->setCursorPosition(position);
        QTest::keyClicks(field, text);
    }
    static QList<int> filterIds(QLineEdit* field) {
        QList<int> ids;
        for (auto* filter : field->findChildren<ValueInputFilter*>())
            ids << filter->objectName().toInt();
        return ids;
    }
};

// The ways a user puts text into the field besides typing it, at the end of its text.
void pasteFromContextMenu(QLineEdit* field) {
    // Whether the menu runs its own event loop or not, it is answered from the event loop.
    bool answered = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            if (action->text().startsWith("&Paste"))
                action->trigger();
        }
        menu->close();
        answered = true;
    });
    const QPoint centre = field->rect().center();
    QContextMenuEvent request(QContextMenuEvent::Keyboard, centre, field->mapToGlobal(centre));
    QApplication::sendEvent(field, &request);
    EXPECT_TRUE(QTest::qWaitFor([&] { return answered; }));
}

void pasteWithShiftInsert(QLineEdit* field) {
    QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
}

void dropClipboardText(QLineEdit* field) {
    QMimeData dragged;
    dragged.setText(QGuiApplication::clipboard()->text());
    const QPoint end(field->width() - 2, field->height() / 2);
    QDragEnterEvent enter(end, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &enter);
    QDropEvent drop(end, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &drop);
}

void commitFromInputMethod(QLineEdit* field) {
    QInputMethodEvent commit;
    commit.setCommitString(QGuiApplication::clipboard()->text());
    QApplication::sendEvent(field, &commit);
}

// The 29 characters, with a letter among them that only typing refuses.
TEST_F(ValueInputFilterTest, EveryWayTextComesInKeepsWithinTheLimit) {
    openSample();
    QGuiApplication::clipboard()->setText("12a34567890123456789012345678");
    const std::pair<const char*, std::function<void(QLineEdit*)>> ways[] = {
        {"menu", pasteFromContextMenu},
        {"shift+insert", pasteWithShiftInsert},
        {"drop", dropClipboardText},
        {"input method", commitFromInputMethod},
    };
    const struct {
        int property;
        QString pastedOrDropped, committed; // committed text is typed: it passes the type's rules
    } fields[] = {
        {2, "712a345678", "7123456789"},           // "i4": 10
        {1, "40.00000012a345", "40.000000123456"}, // "f4": 15
        {0, "Kestrel12a34567", "Kestrel12a34567"}, // "s16": 15
    };
    for (const auto& field : fields) {
        for (const auto& [way, putIn] : ways) {
            QLineEdit* edited = edit(field.property);
            edited->end(false);
            putIn(edited);
            const bool typed = way == std::string_view("input method");
            EXPECT_EQ(edited->text(), typed ? field.committed : field.pastedOrDropped)
                << way << " " << field.property;
        }
    }
    EXPECT_TRUE(valueEdit()->acceptDrops());
}

TEST_F(ValueInputFilterTest, FloatFieldTakesOnePointAndOneMinusWhereverTheCaretIs) {
    openSample();
    QLineEdit* field = edit(1);
    EXPECT_EQ(filterIds(field), QList<int>{floatFilterId});
    ASSERT_EQ(field->text(), "40.000000");
    for (int position : {0, 2, 9})
        typeAt(field, position, ".");
    EXPECT_EQ(field->text(), "40.000000");
    typeAt(field, 0, "-x");
    typeAt(field, 5, "-e ");
    EXPECT_EQ(field->text(), "-40.000000");
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(field->text(), "-40.00000");
}

TEST_F(ValueInputFilterTest, IntegerFieldTakesDigitsOnlyUpToTen) {
    openSample();
    QLineEdit* field = edit(2);
    EXPECT_EQ(filterIds(field), QList<int>{integerFilterId});
    field->selectAll();
    QTest::keyClicks(field, "-1.2a3456789012");
    EXPECT_EQ(field->text(), "1234567890");
}

TEST_F(ValueInputFilterTest, PasteShortcutIsRefusedForNumbersAndLimitedForStrings) {
    openSample();
    QGuiApplication::clipboard()->setText("123456789012345678");
    QLineEdit* number = edit(2);
    QTest::keyClick(number, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(number->text(), "7");
    QTest::keyClick(number, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(number->selectedText(), "");

    QLineEdit* name = edit(0);
    EXPECT_EQ(filterIds(name), QList<int>{string16FilterId});
    name->setCursorPosition(name->text().size());
    QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(name->text(), "Kestrel12345678");
    QTest::keyClicks(name, "9");
    EXPECT_EQ(name->text(), "Kestrel12345678");
    QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(name->selectedText(), "Kestrel12345678");
}

TEST_F(ValueInputFilterTest, TextTheProgramPutsInIsNeverCut) {
    openWithALongFloat();
    QLineEdit* field = edit(1);
    EXPECT_EQ(field->text(), "123456792.000000");
    QTest::keyClicks(field, "1");
    EXPECT_EQ(field->text().size(), 16);
}

TEST_F(ValueInputFilterTest, TheLimitOfTheTypeLoadedBeforeNeverCutsTheNextValue) {
    openWithALongFloat();
    QTest::keyClicks(edit(2), "12");
    EXPECT_EQ(edit(1)->text(), "123456792.000000");
}

} // namespace
} // namespace kestra::testing
