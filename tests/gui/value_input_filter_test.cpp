#include <QClipboard>

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
    auto items = threeSampleItems();
    items[0].size = 123456789.0f;
    const std::string path = folder.file("long.table");
    writeFile(path, sampleFileBytes(16, items));
    openPath(path);
    QLineEdit* field = edit(1);
    EXPECT_EQ(field->text(), "123456792.000000");
    QTest::keyClicks(field, "1");
    EXPECT_EQ(field->text().size(), 16);
}

} // namespace
} // namespace kestra::testing
