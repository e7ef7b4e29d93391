#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>

#include "about_box.h"
#include "control_ids.h"
#include "main_window_fixture.h"
#include "progress_window.h"
#include "recent_files_menu.h"
#include "window/window_layout.h"

namespace kestra::testing {
namespace {

QStringList statusTexts(const MainWindow& window) {
    QStringList texts;
    auto* bar = window.findChild<QStatusBar*>(QString::number(statusBarId));
    for (QLabel* part : bar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        texts << part->text();
    return texts;
}

bool actionEnabled(const MainWindow& window, int id) {
    auto* action = window.findChild<QAction*>(QString::number(id));
    return action && action->isEnabled();
}

// What the user sees of the window, and where Save would write: title, paths, status bar, which
// commands and controls are enabled, the edit field and every text of both lists.
std::vector<std::string> visibleState(const MainWindow& window) {
    std::vector<std::string> seen = {window.windowTitle().toStdString(),
                                     window.state().currentFilePath, window.state().openedFilePath};
    for (const QString& part : statusTexts(window))
        seen.push_back(part.toStdString());
    for (int id : {openCommandId, saveCommandId, saveAsCommandId, searchCommandId, aboutCommandId,
                   exitCommandId})
        seen.push_back(std::to_string(id) + (actionEnabled(window, id) ? " on" : " off"));
    for (int id :
         {copyItemButtonId, applyButtonId, deleteItemButtonId, newItemButtonId, valueEditId}) {
        const auto* control = window.findChild<QWidget*>(QString::number(id));
        seen.push_back(std::to_string(id) + (control->isEnabled() ? " on" : " off"));
    }
    seen.push_back(
        window.findChild<QLineEdit*>(QString::number(valueEditId))->text().toStdString());
    for (int id : {itemListId, propertyListId}) {
        const QAbstractItemModel* rows =
            window.findChild<ReportList*>(QString::number(id))->model();
        for (int row = 0; row < rows->rowCount(); ++row) {
            for (int column = 0; column < rows->columnCount(); ++column)
                seen.push_back(rows->index(row, column).data().toString().toStdString());
        }
    }
    return seen;
}

// Notes the caption of each progress window as it appears, and whether the wait cursor shows.
class ProgressWatcher final : public QObject {
public:
    ProgressWatcher() { qApp->installEventFilter(this); }
    QStringList shown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && qobject_cast<ProgressWindow*>(watched))
            shown << static_cast<QWidget*>(watched)->windowTitle() +
                         (waitCursorShown() ? " waiting" : "");
        return false;
    }
};

TEST_F(MainWindowTest, StartsWithItsControlsMenuAndStates) {
    EXPECT_EQ(window->windowTitle(), "Kestra");
    EXPECT_TRUE(errors.empty());
    const std::pair<int, QString> buttons[] = {{copyItemButtonId, "Copy Item"},
                                               {applyButtonId, "Apply"},
                                               {deleteItemButtonId, "Delete Item"},
                                               {newItemButtonId, "New Item"}};
    for (const auto& [id, text] : buttons)
        EXPECT_EQ(button(id)->text(), text);
    EXPECT_TRUE(button(copyItemButtonId)->isEnabled());
    EXPECT_TRUE(button(deleteItemButtonId)->isEnabled());
    EXPECT_FALSE(button(newItemButtonId)->isEnabled());
    EXPECT_FALSE(button(applyButtonId)->isEnabled());
    EXPECT_FALSE(valueEdit()->isEnabled());
    EXPECT_EQ(control<QLineEdit>(typeLabelId)->text(), "Property Type: ");
    EXPECT_FALSE(control<QLineEdit>(typeLabelId)->isEnabled());
    EXPECT_FALSE(control<QLineEdit>(typeFieldId)->isEnabled());

    const std::pair<int, bool> commands[] = {{openCommandId, true},    {saveCommandId, false},
                                             {saveAsCommandId, false}, {exitCommandId, true},
                                             {searchCommandId, false}, {aboutCommandId, true}};
    for (const auto& [id, enabled] : commands)
        EXPECT_EQ(actionEnabled(*window, id), enabled) << id;
    QStringList menus;
    for (QAction* menu : window->menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, QStringList({"&File", "Edit", "&Help"}));

    EXPECT_EQ(itemList()->model()->rowCount(), 0);
    const QStringList itemColumns = {"Item #", "First Value", "Second Value", "Third Value"};
    const QStringList propertyColumns = {"Property Name", "Property Value", "Property ID#",
                                         "Property Type"};
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(itemList()->model()->headerData(column, Qt::Horizontal), itemColumns[column]);
        EXPECT_EQ(propertyList()->model()->headerData(column, Qt::Horizontal),
                  propertyColumns[column]);
        EXPECT_EQ(itemList()->header()->sectionSize(column), 100);
    }
    EXPECT_EQ(statusTexts(*window), QStringList({"", "", "", ""}));
}

TEST_F(MainWindowTest, OpenFillsTheItemListTitleAndStatusBar) {
    const std::string path = openSample();
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(window->windowTitle(), QString::fromStdString(path) + " (Kestra)");
    ASSERT_EQ(itemList()->model()->rowCount(), 3);
    EXPECT_EQ(cell(itemList(), 1, 0), "1");
    EXPECT_EQ(cell(itemList(), 1, 1), "Merlin");
    EXPECT_EQ(cell(itemList(), 1, 2), "31.000000");
    EXPECT_EQ(cell(itemList(), 1, 3), "8");
    EXPECT_EQ(statusTexts(*window), QStringList({"Properties: 5", "Items: 3", "Item Length: 20",
                                                 "First Item Offset: 4C"}));
    for (int id : {saveCommandId, saveAsCommandId, searchCommandId})
        EXPECT_TRUE(actionEnabled(*window, id)) << id;
    EXPECT_TRUE(button(newItemButtonId)->isEnabled());
}

TEST_F(MainWindowTest, ATitleShowsThePathAsItIsEvenWithQtsPlaceholder) {
    for (const std::string name : {"a[*]b.table", "[*][*].table", "[*]"}) {
        const std::string path = openSample(name);
        EXPECT_EQ(window->windowHandle()->title(), QString::fromStdString(path) + " (Kestra)");
    }
}

TEST_F(MainWindowTest, OnlyADoubleClickOrEnterShowsAnItemsProperties) {
    openSample();
    clickRow(itemList(), 1);
    EXPECT_EQ(itemList()->selectionMark(), 1);
    EXPECT_EQ(propertyList()->model()->rowCount(), 0);

    doubleClickRow(itemList(), 1);
    EXPECT_EQ(window->state().selectedItem, 1);
    ASSERT_EQ(propertyList()->model()->rowCount(), 5);
    EXPECT_EQ(cell(propertyList(), 0, 0), "Name");
    EXPECT_EQ(cell(propertyList(), 0, 1), "Merlin");
    EXPECT_EQ(cell(propertyList(), 0, 2), "10");
    EXPECT_EQ(cell(propertyList(), 0, 3), "String (size 16)");
    EXPECT_EQ(cell(propertyList(), 4, 0), "(Undocumented)");

    clickRow(itemList(), 2);
    QTest::keyClick(itemList(), Qt::Key_Return);
    EXPECT_EQ(window->state().selectedItem, 2);
    EXPECT_EQ(cell(propertyList(), 0, 1), "Hobby");

    // Home and End move the row, as in a list, not the column.
    QTest::keyClick(itemList(), Qt::Key_Home);
    EXPECT_EQ(itemList()->selectionMark(), 0);
    QTest::keyClick(itemList(), Qt::Key_End);
    EXPECT_EQ(itemList()->selectionMark(), itemList()->model()->rowCount() - 1);
}

TEST_F(MainWindowTest, EnterWithoutAMarkedRowOnlyResetsTheEditPanel) {
    openSample();
    doubleClickRow(itemList(), 2);
    doubleClickRow(propertyList(), 1);
    // Row 0 marked while the list's current row is elsewhere (as after a Search jump): deleting
    // it leaves no row marked, and Hobby, now item 1, stays shown with its property loaded.
    clickRow(itemList(), 0);
    itemList()->selectionModel()->clearCurrentIndex();
    QTest::mouseClick(button(deleteItemButtonId), Qt::LeftButton);
    ASSERT_EQ(itemList()->selectionMark(), -1);
    ASSERT_EQ(window->state().selectedItem, 1);
    ASSERT_EQ(window->state().selectedProperty, 1);
    ASSERT_TRUE(valueEdit()->isEnabled());

    QTest::keyClick(itemList(), Qt::Key_Return);
    EXPECT_FALSE(valueEdit()->isEnabled());
    EXPECT_EQ(valueEdit()->text(), "");
    EXPECT_FALSE(button(applyButtonId)->isEnabled());
    EXPECT_EQ(window->state().selectedProperty, -1);
    EXPECT_EQ(window->state().selectedItem, 1);
    ASSERT_EQ(propertyList()->model()->rowCount(), 5);
    EXPECT_EQ(cell(propertyList(), 0, 1), "Hobby");
}

TEST_F(MainWindowTest, ApplyStoresAnUnlinkedValueAndShowsTheTypedText) {
    openSample();
    doubleClickRow(itemList(), 0);
    doubleClickRow(propertyList(), 1);
    EXPECT_EQ(valueEdit()->text(), "40.000000");
    EXPECT_EQ(control<QLineEdit>(typeFieldId)->text(), "Float (size 4)");
    EXPECT_TRUE(button(applyButtonId)->isEnabled());

    retype("1.5");
    QTest::mouseClick(button(applyButtonId), Qt::LeftButton);
    const auto& items = window->state().document.items;
    EXPECT_EQ(items[0].values[1].floatValue(), 1.5f);
    EXPECT_EQ(cell(propertyList(), 1, 1), "1.5");
    EXPECT_EQ(cell(itemList(), 0, 2), "1.5");
    EXPECT_EQ(items[1].values[1].floatValue(), 31.0f);
    EXPECT_EQ(items[0].values[3].floatValue(), 2.5f);
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(valueEdit()->isEnabled());
}

TEST_F(MainWindowTest, ApplyToALinkedValueStoresIntoEveryLinkedValueByItsType) {
    openSample();
    doubleClickRow(itemList(), 1);
    doubleClickRow(propertyList(), 2);
    retype("12");
    QTest::mouseClick(button(applyButtonId), Qt::LeftButton);
    const auto& values = window->state().document.items[1].values;
    EXPECT_EQ(values[2].intValue(), 12u);
    EXPECT_EQ(values[3].floatValue(), 12.0f);
    EXPECT_EQ(values[1].floatValue(), 31.0f);
    EXPECT_EQ(values[4].intValue(), 2u);
    EXPECT_EQ(cell(propertyList(), 3, 1), "12");
    EXPECT_EQ(cell(itemList(), 1, 3), "12");
    EXPECT_EQ(window->state().document.items[0].values[2].intValue(), 7u);
}

TEST_F(MainWindowTest, TextAValueCannotTakeLeavesItAndIsReportedOnce) {
    openSample();
    doubleClickRow(itemList(), 0);
    // Group weight (float) is linked with group (integer): eleven digits fit a float only.
    doubleClickRow(propertyList(), 3);
    retype("99999999999");
    QTest::mouseClick(button(applyButtonId), Qt::LeftButton);
    const auto& values = window->state().document.items[0].values;
    EXPECT_EQ(values[2].intValue(), 7u);
    EXPECT_EQ(values[3].floatValue(), 99999999999.0f);
    EXPECT_EQ(cell(propertyList(), 2, 1), "7");
    EXPECT_EQ(cell(itemList(), 0, 3), "7");
    EXPECT_EQ(cell(propertyList(), 3, 1), "99999999999");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], std::make_pair(QString("Value Could not be Stored"), QString("ERROR")));
    EXPECT_EQ(reasons[0], "\"99999999999\" is out of the range of Integer/Other (size 4).");

    doubleClickRow(propertyList(), 1);
    retype("-");
    QTest::mouseClick(button(applyButtonId), Qt::LeftButton);
    EXPECT_EQ(values[1].floatValue(), 40.0f);
    EXPECT_EQ(cell(propertyList(), 1, 1), "40.000000");
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(reasons[1], "\"-\" is not a number.");
}

TEST_F(MainWindowTest, CopyAndNewAppendItemsAndDeleteRenumbers) {
    openSample();
    clickRow(itemList(), 1);
    QTest::mouseClick(button(copyItemButtonId), Qt::LeftButton);
    ASSERT_EQ(itemList()->model()->rowCount(), 4);
    EXPECT_EQ(cell(itemList(), 3, 0), "3");
    EXPECT_EQ(cell(itemList(), 3, 1), "Merlin");
    EXPECT_EQ(itemList()->selectionMark(), 1);

    QTest::mouseClick(button(newItemButtonId), Qt::LeftButton);
    ASSERT_EQ(itemList()->model()->rowCount(), 5);
    EXPECT_EQ(cell(itemList(), 4, 0), "4");
    EXPECT_EQ(cell(itemList(), 4, 1), "(null)");
    EXPECT_EQ(cell(itemList(), 4, 2), "0.000000");
    EXPECT_EQ(window->state().document.items[4].values[0].typeCode, TypeCode::S16);
    EXPECT_EQ(statusTexts(*window)[1], "Items: 5");

    clickRow(itemList(), 0);
    QTest::mouseClick(button(deleteItemButtonId), Qt::LeftButton);
    ASSERT_EQ(itemList()->model()->rowCount(), 4);
    const QStringList expected[] = {
        {"0", "Merlin"}, {"1", "Hobby"}, {"2", "Merlin"}, {"3", "(null)"}};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(cell(itemList(), row, 0), expected[row][0]);
        EXPECT_EQ(cell(itemList(), row, 1), expected[row][1]);
    }
    EXPECT_EQ(window->state().document.header.itemCount, 4u);
    EXPECT_EQ(statusTexts(*window)[1], "Items: 4");
}

TEST_F(MainWindowTest, NewItemTakesItsStringWidthFromTheOpenedPath) {
    openSample("birds.info");
    QTest::mouseClick(button(newItemButtonId), Qt::LeftButton);
    const PropertyValue& name = window->state().document.items[3].values[0];
    EXPECT_EQ(name.typeCode, TypeCode::S32);
    EXPECT_EQ(*name.name, "Name");
    EXPECT_EQ(cell(itemList(), 3, 1), "(null)");
}

TEST_F(MainWindowTest, DeletingTheShownItemEmptiesThePropertyListAndTheEditPanel) {
    openSample();
    doubleClickRow(itemList(), 1);
    doubleClickRow(propertyList(), 0);
    QTest::mouseClick(button(deleteItemButtonId), Qt::LeftButton);
    EXPECT_EQ(propertyList()->model()->rowCount(), 0);
    EXPECT_FALSE(valueEdit()->isEnabled());
    EXPECT_FALSE(button(applyButtonId)->isEnabled());
    EXPECT_EQ(window->state().selectedItem, -1);
    EXPECT_EQ(window->state().selectedProperty, -1);
}

TEST_F(MainWindowTest, DeletingAnEarlierItemKeepsApplyOnTheShownItem) {
    openSample();
    doubleClickRow(itemList(), 2);
    doubleClickRow(propertyList(), 0);
    clickRow(itemList(), 0);
    QTest::mouseClick(button(deleteItemButtonId), Qt::LeftButton);
    EXPECT_EQ(window->state().selectedItem, 1);
    retype("Falcon");
    QTest::mouseClick(button(applyButtonId), Qt::LeftButton);
    EXPECT_EQ(cell(itemList(), 1, 1), "Falcon");
    EXPECT_EQ(cell(itemList(), 0, 1), "Merlin");
}

TEST_F(MainWindowTest, SaveAsWritesTheNewPathAndLaterSavesFollowIt) {
    const std::string original = openSample();
    doubleClickRow(itemList(), 2);
    doubleClickRow(propertyList(), 0);
    retype("Eagle");
    QTest::mouseClick(button(applyButtonId), Qt::LeftButton);

    const std::string copy = folder.file("copy.table");
    saveAnswers.push_back(QString::fromStdString(copy));
    window->dispatch(saveAsCommandId);
    ASSERT_EQ(savePathsOffered, std::vector<QString>{QString::fromStdString(original)});
    auto items = threeSampleItems();
    items[2].name = "Eagle";
    EXPECT_EQ(readFile(copy), sampleFileBytes(16, items));
    EXPECT_EQ(window->windowTitle(), QString::fromStdString(original) + " (Kestra)");

    doubleClickRow(propertyList(), 4);
    retype("77");
    QTest::mouseClick(button(applyButtonId), Qt::LeftButton);
    window->dispatch(saveCommandId);
    items[2].count = 77;
    EXPECT_EQ(readFile(copy), sampleFileBytes(16, items));
    EXPECT_EQ(readFile(original), sampleFileBytes(16, threeSampleItems()));
    EXPECT_TRUE(errors.empty());
}

TEST_F(MainWindowTest, AFailedSaveIsReportedAndChangesNothing) {
    const std::string original = openSample();
    saveAnswers.push_back(QString::fromStdString(folder.file("missing/folder.table")));
    window->dispatch(saveAsCommandId);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], std::make_pair(QString("File Did not Save Fully"), QString("ERROR")));
    EXPECT_EQ(reasons[0],
              QString::fromStdString("The folder " + folder.file("missing") + " does not exist."));
    EXPECT_EQ(readFile(original), sampleFileBytes(16, threeSampleItems()));

    saveAnswers.push_back(QString::fromStdString(folder.path().string()));
    window->dispatch(saveAsCommandId);
    ASSERT_EQ(reasons.size(), 2u);
    EXPECT_TRUE(reasons[1].startsWith(
        QString::fromStdString(folder.path().string() + ": cannot be saved: ")))
        << reasons[1].toStdString();
}

TEST_F(MainWindowTest, OpenAndSaveShowTheirProgressAndWaitCursorUntilTheWorkIsDone) {
    ProgressWatcher watcher;
    QStringList whenListed;
    QObject listening;
    QObject::connect(itemList()->model(), &QAbstractItemModel::rowsInserted, &listening, [&] {
        for (const ProgressWindow* progress : window->findChildren<ProgressWindow*>())
            whenListed << progress->windowTitle() + (progress->isVisible() ? " shown" : "");
        whenListed << (waitCursorShown() ? "waiting" : "");
    });
    openSample();
    EXPECT_EQ(whenListed, QStringList({"Opening shown", "waiting"}));
    window->dispatch(saveCommandId);
    EXPECT_EQ(watcher.shown, QStringList({"Opening waiting", "Saving waiting"}));
    EXPECT_TRUE(window->findChildren<ProgressWindow*>().isEmpty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowTest, SaveAsIntoAMissingFolderKeepsTheCurrentPath) {
    const std::string original = openSample();
    doubleClickRow(itemList(), 0);
    doubleClickRow(propertyList(), 4);
    retype("77");
    QTest::mouseClick(button(applyButtonId), Qt::LeftButton);
    saveAnswers.push_back(QString::fromStdString(folder.file("missing/copy.table")));
    window->dispatch(saveAsCommandId);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(window->state().currentFilePath, original);

    window->dispatch(saveCommandId);
    auto items = threeSampleItems();
    items[0].count = 77;
    EXPECT_EQ(readFile(original), sampleFileBytes(16, items));
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(MainWindowTest, AFailedLoadKeepsTheEarlierDocument) {
    const std::string original = openSample();
    doubleClickRow(itemList(), 1);
    doubleClickRow(propertyList(), 0);
    const std::string broken = folder.file("broken.table");
    writeFile(broken, hexBytes("00 00 00 01 00 00 00 05"));
    openPath(broken);

    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], std::make_pair(QString("File Did not Open Fully"), QString("ERROR")));
    EXPECT_EQ(window->windowTitle(), QString::fromStdString(original) + " (Kestra)");
    EXPECT_EQ(itemList()->model()->rowCount(), 3);
    EXPECT_EQ(propertyList()->model()->rowCount(), 5);
    EXPECT_EQ(window->state().selectedItem, 1);
    EXPECT_TRUE(valueEdit()->isEnabled());
    window->dispatch(saveCommandId);
    EXPECT_EQ(readFile(original), sampleFileBytes(16, threeSampleItems()));
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(MainWindowTest, ShortcutsFollowTheirMenuItems) {
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(savePathsOffered.empty());
    EXPECT_TRUE(errors.empty());

    openSample();
    // The offscreen platform activates every window it shows, the progress window too.
    QApplication::setActiveWindow(window.get());
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(savePathsOffered.size(), 1u);
    openAnswers.push_back(QString::fromStdString(folder.file("missing.table")));
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(openAnswers.empty());
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(MainWindowTest, AboutBoxClosesOnEnterAndEscapeAndExitClosesTheWindow) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        QString title;
        QStringList labels;
        QTimer::singleShot(0, [&] {
            QWidget* about = QApplication::activeModalWidget();
            ASSERT_NE(about, nullptr);
            title = about->windowTitle();
            for (QLabel* label : about->findChildren<QLabel*>())
                labels << label->text();
            QTest::keyClick(about, key);
        });
        window->dispatch(aboutCommandId);
        EXPECT_EQ(title, "About Kestra");
        EXPECT_TRUE(labels.contains("Kestra, Version 0.0.1.3"));
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    window->dispatch(exitCommandId);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, StartsWithinTheScreenAndWideEnoughForBothListsColumns) {
    const QSize available = window->screen()->availableSize();
    const WindowSize start = initialWindowSize({available.width(), available.height()});
    // Its frame too: the window shrinks by what the frame would reach past the screen.
    const QSize frame = window->frameGeometry().size() - window->size();
    EXPECT_EQ(window->size(), QSize(start.width, start.height).boundedTo(available - frame));
    EXPECT_TRUE(window->screen()->availableGeometry().contains(window->frameGeometry()));

    // On a screen that holds it, with a list long enough to scroll.
    const WindowSize roomy = initialWindowSize({1920, 1050});
    window->resize(roomy.width, roomy.height);
    std::vector<SampleItem> items;
    for (int copy = 0; copy < 20; ++copy)
        for (const SampleItem& item : threeSampleItems())
            items.push_back(item);
    const std::string path = folder.file("many.table");
    writeFile(path, sampleFileBytes(16, items));
    openPath(path);
    doubleClickRow(itemList(), 0);
    QApplication::processEvents();
    ASSERT_TRUE(itemList()->verticalScrollBar()->isVisible());
    for (ReportList* list : {itemList(), propertyList()})
        EXPECT_GE(list->viewport()->width(), list->header()->length())
            << list->accessibleName().toStdString();
}

TEST_F(MainWindowTest, TheAboutBoxIsWideEnoughForItsLinesInTheFontUsed) {
    AboutBox about(window.get());
    const QRect inside = about.rect();
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        if (label->text().isEmpty())
            continue;
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
        EXPECT_TRUE(inside.contains(label->geometry())) << label->text().toStdString();
    }
    EXPECT_TRUE(inside.contains(about.findChild<QPushButton*>()->geometry()));
}

TEST_F(MainWindowTest, ControlsFollowTheLayoutRuleOnEveryResize) {
    for (const QSize size : {QSize(900, 600), QSize(150, 80)}) {
        window->resize(size);
        QApplication::processEvents();
        const QSize client = window->centralWidget()->size();
        const WindowLayout layout = layOutWindow(client.width(), client.height());
        auto expect = [](QWidget* widget, const PixelRect& rect) {
            EXPECT_EQ(widget->geometry(),
                      QRect(rect.x, rect.y, std::max(rect.width, 0), std::max(rect.height, 0)))
                << widget->objectName().toStdString();
        };
        expect(itemList(), layout.itemList);
        expect(propertyList(), layout.propertyList);
        expect(button(copyItemButtonId), layout.copyItemButton);
        expect(button(applyButtonId), layout.applyButton);
        expect(valueEdit(), layout.valueEdit);
        expect(control<QLineEdit>(typeFieldId), layout.typeField);

        auto* bar = control<QStatusBar>(statusBarId);
        EXPECT_EQ(bar->geometry().bottom(), client.height() - 1);
        const auto parts = bar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
        ASSERT_EQ(parts.size(), 4);
        for (int part = 0; part < 4; ++part)
            EXPECT_EQ(parts[part]->geometry().right() + 1,
                      layout.statusPartRightEdges[std::size_t(part)]);
    }
}

// `kestra FILE` opens FILE through openPath: the window must end as File > Open leaves it.
TEST_F(MainWindowTest, OpeningAGivenPathEndsAsFileOpenDoes) {
    const std::string path = openSample("birds.info");
    ASSERT_TRUE(errors.empty());
    MainWindow started(UserDialogs{}); // it must ask nothing and report nothing
    started.show();
    started.openPath(QString::fromStdString(path));
    EXPECT_EQ(visibleState(started), visibleState(*window));
}

TEST_F(MainWindowTest, AGivenPathThatDoesNotOpenIsReportedAndLeavesTheWindowEmpty) {
    const std::vector<std::string> empty = visibleState(*window);
    writeFile(folder.file("short.table"), hexBytes("00 00 00 01 00 00 00 05"));
    const std::pair<std::string, std::string> cases[] = {
        {folder.file("missing.table"), "cannot open the file: No such file or directory"},
        {folder.file("short.table"), "the file is shorter than its 16-byte header"},
        {folder.path().string(), "cannot open the file: Is a directory"}};
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path);
        errors.clear();
        reasons.clear();
        window->openPath(QString::fromStdString(path));
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0], std::make_pair(QString("File Did not Open Fully"), QString("ERROR")));
        EXPECT_EQ(reasons[0], QString::fromStdString(path + ": " + reason));
        EXPECT_EQ(visibleState(*window), empty);
    }
}

class MainWindowWithoutDocumentationTest : public MainWindowTest {
protected:
    MainWindowWithoutDocumentationTest() : MainWindowTest(false) {}
};

TEST_F(MainWindowWithoutDocumentationTest, SaysSoOnceAndShowsEmptyNames) {
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0],
              std::make_pair(QString("Could not open set documentation"), QString("Error")));
    EXPECT_EQ(reasons[0], QString::fromStdString("Looked for it in:\n" +
                                                 folder.file("InfoFileDocumentation.dat") +
                                                 ": cannot open the file: No such file or "
                                                 "directory"));
    openSample();
    doubleClickRow(itemList(), 0);
    EXPECT_EQ(cell(propertyList(), 0, 0), "");
    EXPECT_EQ(cell(propertyList(), 4, 0), "");
}

// Names found beside a file opened later are read then, and kept.
TEST_F(MainWindowWithoutDocumentationTest, ReadsTheNamesBesideTheFirstFileOpened) {
    std::filesystem::create_directory(folder.file("beside"));
    writeFile(folder.file("beside/InfoFileDocumentation.dat"), hexBytes("28 31 30 29 22 4E 22"));
    writeFile(folder.file("beside/birds.table"), sampleFileBytes(16, threeSampleItems()));
    openPath(folder.file("beside/birds.table"));
    std::filesystem::remove(folder.file("beside/InfoFileDocumentation.dat"));
    openSample();
    doubleClickRow(itemList(), 0);
    EXPECT_EQ(cell(propertyList(), 0, 0), "N");
    EXPECT_EQ(cell(propertyList(), 1, 0), "(Undocumented)");
}

// Dropping a file and choosing it under Open Recent open it as File > Open does.
TEST_F(MainWindowTest, ADroppedFileAndARecentFileOpenAsOpenDoes) {
    const std::string first = openSample("first.table");
    const std::string dropped = folder.file("dropped.info");
    writeFile(dropped, sampleFileBytes(32, threeSampleItems()));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dropped))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    EXPECT_EQ(window->state().openedFilePath, dropped);

    auto* recent = window->findChild<RecentFilesMenu*>();
    auto entries = [&] {
        emit recent->aboutToShow();
        QStringList shown;
        for (QAction* entry : recent->actions())
            shown << entry->text() + (entry->isEnabled() ? "" : " (off)");
        return shown;
    };
    EXPECT_EQ(entries(), QStringList({"&1 " + QString::fromStdString(dropped),
                                      "&2 " + QString::fromStdString(first), "", "Clear"}));
    recent->actions()[1]->trigger();
    QApplication::processEvents();
    EXPECT_EQ(window->state().openedFilePath, first);
    std::filesystem::remove(dropped);
    EXPECT_EQ(entries()[1], "&2 " + QString::fromStdString(dropped) + " (off)");
    recent->actions().back()->trigger();
    EXPECT_EQ(entries(), QStringList({"", "Clear (off)"}));
}

} // namespace
} // namespace kestra::testing
