#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>

#include "control_ids.h"
#include "enter_key_filter.h"
#include "main_window_fixture.h"
#include "search/search_matching.h"
#include "search_dialog.h"

namespace kestra::testing {
namespace {

class SearchDialogTest : public MainWindowTest {
protected:
    void SetUp() override {
        openSample();
        dialog = std::make_unique<SearchDialog>(searchState, window->state().document,
                                                window->state().documentation, window.get());
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }

    template <typename Widget> Widget* part(int id) const {
        auto* widget = dialog->findChild<Widget*>(QString::number(id));
        EXPECT_NE(widget, nullptr) << "no control " << id;
        return widget;
    }
    QLineEdit* text() const { return part<QLineEdit>(searchTextEditId); }
    QPushButton* searchButton() const { return part<QPushButton>(searchButtonId); }
    QPushButton* okButton() const { return part<QPushButton>(okButtonId); }
    QComboBox* choice() const { return part<QComboBox>(modeChoiceComboId); }
    ReportList* foundItems() const { return part<ReportList>(foundItemListId); }
    ReportList* foundProperties() const { return part<ReportList>(foundPropertyListId); }
    void clickRadio(int id) const { QTest::mouseClick(part<QRadioButton>(id), Qt::LeftButton); }

    // Types `searchText`, picks the radio `radioId` and entry `entry`, and presses Search.
    void search(const QString& searchText, int radioId, int entry = 0) const {
        text()->clear();
        QTest::keyClicks(text(), searchText);
        clickRadio(radioId);
        if (entry > 0)
            choice()->setCurrentIndex(entry);
        QTest::mouseClick(searchButton(), Qt::LeftButton);
    }
    QStringList foundIndexes() const {
        QStringList indexes;
        for (int row = 0; row < foundItems()->model()->rowCount(); ++row)
            indexes << cell(foundItems(), row, 0);
        return indexes;
    }

    SearchDialogState searchState;
    std::unique_ptr<SearchDialog> dialog;
};

TEST_F(SearchDialogTest, SearchNeedsTextAndAModeAndTheRadiosFillTheChoices) {
    EXPECT_EQ(dialog->windowTitle(), "Search");
    EXPECT_EQ(part<QRadioButton>(allPropertiesRadioId)->text(), "All Properites");
    for (int id : {allPropertiesRadioId, certainTypeRadioId, singlePropertyRadioId})
        EXPECT_FALSE(part<QRadioButton>(id)->isChecked());
    EXPECT_FALSE(choice()->isEnabled());
    EXPECT_FALSE(okButton()->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), text());

    QTest::keyClicks(text(), "r");
    EXPECT_FALSE(searchButton()->isEnabled());
    clickRadio(certainTypeRadioId);
    EXPECT_TRUE(searchButton()->isEnabled());
    ASSERT_EQ(choice()->count(), 4);
    EXPECT_EQ(choice()->itemText(3), "4: Integer (4 Bytes)");
    choice()->setCurrentIndex(2);
    clickRadio(certainTypeRadioId);
    EXPECT_EQ(choice()->currentIndex(), 0);

    clickRadio(singlePropertyRadioId);
    ASSERT_EQ(choice()->count(), 5);
    EXPECT_EQ(choice()->itemText(0), "000: 10 (Name)");
    EXPECT_EQ(choice()->itemText(4), "004: 50 ((Undocumented))");
    EXPECT_FALSE(part<QRadioButton>(certainTypeRadioId)->isChecked());

    clickRadio(allPropertiesRadioId);
    EXPECT_EQ(choice()->count(), 0);
    EXPECT_FALSE(choice()->isEnabled());
    QTest::keyClick(text(), Qt::Key_Backspace);
    EXPECT_FALSE(searchButton()->isEnabled());
}

TEST_F(SearchDialogTest, EachModeListsWhatTheMatchersFind) {
    const InfoFile& document = window->state().document;
    struct Case {
        QString text;
        int radio;
        int entry;
        SearchResults expected;
    };
    SearchResults all, type, single;
    searchAllProperties("r", document, all);
    searchCertainType("l", TypeCode::S16, document, type);
    searchSingleProperty("8", 30, document, single);
    const Case cases[] = {{"r", allPropertiesRadioId, 0, all},
                          {"9", certainTypeRadioId, 3, {2}},
                          {"l", certainTypeRadioId, 1, type},
                          {"8", singlePropertyRadioId, 2, single}};
    for (const Case& c : cases) {
        search(c.text, c.radio, c.entry);
        QStringList expected;
        for (const std::int32_t item : c.expected)
            expected << QString::number(item);
        EXPECT_EQ(foundIndexes(), expected) << c.text.toStdString();
    }
    EXPECT_EQ(all, (SearchResults{0, 1}));
    EXPECT_EQ(type, (SearchResults{0, 1}));
    EXPECT_EQ(single, SearchResults{1});
}

TEST_F(SearchDialogTest, LabelsAndRadiosAreWideEnoughForTheirTextsInTheFontUsed) {
    QList<QWidget*> texts;
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        texts << label;
        // It ends before the box it names.
        if (label->text() == "Select Type/Property") {
            EXPECT_LT(label->geometry().right(), choice()->x());
        }
    }
    for (QRadioButton* radio : dialog->findChildren<QRadioButton*>())
        texts << radio;
    ASSERT_EQ(texts.size(), 6);
    for (const QWidget* text : texts)
        EXPECT_GE(text->width(), text->sizeHint().width()) << text->accessibleName().toStdString();
}

TEST_F(SearchDialogTest, TheWaitCursorShowsUntilTheFoundItemsAreListed) {
    bool waitingWhenListed = false;
    QObject listening;
    QObject::connect(foundItems()->model(), &QAbstractItemModel::rowsInserted, &listening,
                     [&] { waitingWhenListed = waitCursorShown(); });
    search("r", allPropertiesRadioId);
    ASSERT_GT(foundItems()->model()->rowCount(), 0);
    EXPECT_TRUE(waitingWhenListed);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(SearchDialogTest, ASecondSearchThatFindsNothingKeepsTheRows) {
    search("r", allPropertiesRadioId);
    doubleClickRow(foundItems(), 1);
    ASSERT_EQ(foundProperties()->model()->rowCount(), 5);
    search("owl", allPropertiesRadioId);
    EXPECT_EQ(foundIndexes(), QStringList({"0", "1"}));
    EXPECT_EQ(cell(foundProperties(), 0, 1), "Merlin");
    // The rows are stale: opening one does nothing.
    doubleClickRow(foundItems(), 0);
    EXPECT_EQ(dialog->openedItem(), 1);
    EXPECT_EQ(cell(foundProperties(), 0, 1), "Merlin");
}

TEST_F(SearchDialogTest, OkHandsBackTheItemLastOpenedNotTheRowSelected) {
    search("e", allPropertiesRadioId);
    ASSERT_EQ(foundIndexes(), QStringList({"0", "1"}));
    QTest::mouseClick(okButton(), Qt::LeftButton); // disabled: nothing opened yet
    EXPECT_TRUE(dialog->isVisible());
    doubleClickRow(foundItems(), 1);
    EXPECT_TRUE(okButton()->isEnabled());
    EXPECT_EQ(cell(foundProperties(), 1, 1), "31.000000");
    clickRow(foundItems(), 0);
    QTest::mouseClick(okButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(dialog->wasAccepted());
    EXPECT_EQ(dialog->result(), okButtonId);
    EXPECT_EQ(dialog->openedItem(), 1);
}

TEST_F(SearchDialogTest, EnterOpensTheMarkedItemAndNeverClosesTheDialog) {
    search("e", allPropertiesRadioId);
    text()->clear();
    QTest::keyClicks(text(), "Hobby");
    QTest::keyClick(text(), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(foundIndexes(), QStringList({"0", "1"}));

    clickRow(foundItems(), 0);
    QTest::keyClick(foundItems(), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->openedItem(), 0);
    EXPECT_EQ(cell(foundProperties(), 0, 1), "Kestrel");
    auto* handler = foundItems()->findChild<EnterKeyFilter*>();
    ASSERT_NE(handler, nullptr);
    EXPECT_EQ(handler->id(), foundItemEnterHandlerId);

    okButton()->setFocus();
    QTest::keyClick(okButton(), Qt::Key_Return);
    EXPECT_TRUE(dialog->wasAccepted());
}

// Drives the modal dialog that the Search command runs, once it is up: searches all properties
// for `text`, opens found row 0, then ends the run with `finish`.
void whenSearchDialogRuns(const QString& text, std::function<void(QWidget*)> finish) {
    QTimer::singleShot(0, [text, finish] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        auto named = [dialog](int id) { return dialog->findChild<QWidget*>(QString::number(id)); };
        QTest::keyClicks(named(searchTextEditId), text);
        QTest::mouseClick(named(allPropertiesRadioId), Qt::LeftButton);
        QTest::mouseClick(named(searchButtonId), Qt::LeftButton);
        doubleClickRowOf(dialog->findChild<ReportList*>(QString::number(foundItemListId)), 0);
        finish(dialog);
    });
}

TEST_F(MainWindowTest, SearchJumpSelectsTheItemAndKeepsTheEditPanel) {
    openSample();
    doubleClickRow(itemList(), 0);
    doubleClickRow(propertyList(), 4);
    clickRow(itemList(), 1);
    whenSearchDialogRuns("Hobby", [](QWidget* dialog) {
        QTest::mouseClick(dialog->findChild<QWidget*>(QString::number(okButtonId)), Qt::LeftButton);
    });
    window->dispatch(searchCommandId);

    EXPECT_EQ(window->state().selectedItem, 2);
    EXPECT_EQ(itemList()->selectionMark(), 2);
    EXPECT_TRUE(itemList()->selectionModel()->isRowSelected(2));
    EXPECT_EQ(cell(propertyList(), 0, 1), "Hobby");
    EXPECT_TRUE(valueEdit()->isEnabled());
    EXPECT_EQ(window->state().selectedProperty, 4);
    retype("9");
    QTest::mouseClick(button(applyButtonId), Qt::LeftButton);
    EXPECT_EQ(window->state().document.items[2].values[4].intValue(), 9u);
    EXPECT_EQ(window->state().document.items[0].values[4].intValue(), 1u);
}

TEST_F(MainWindowTest, EscapeFromSearchLeavesTheSelectionAlone) {
    openSample();
    doubleClickRow(itemList(), 0);
    clickRow(itemList(), 1);
    whenSearchDialogRuns("e", [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    window->dispatch(searchCommandId);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(window->state().selectedItem, 0);
    EXPECT_EQ(itemList()->selectionMark(), 1);
    EXPECT_EQ(cell(propertyList(), 0, 1), "Kestrel");
}

} // namespace
} // namespace kestra::testing
