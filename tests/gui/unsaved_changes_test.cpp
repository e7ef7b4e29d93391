#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "control_ids.h"
#include "main_window_fixture.h"

namespace kestra::testing {
namespace {

bool enabled(const MainWindow& window, int id) {
    return window.findChild<QAction*>(QString::number(id))->isEnabled();
}

TEST_F(MainWindowTest, UndoAndRedoSitAtTheTopOfTheEditMenu) {
    QStringList entries;
    for (QAction* action : window->menuBar()->actions()[1]->menu()->actions())
        entries << action->text() + " " + QKeySequence::listToString(action->shortcuts());
    EXPECT_EQ(entries, QStringList({"&Undo Ctrl+Z", "&Redo Ctrl+Shift+Z; Ctrl+Y", " ",
                                    "Search ... Ctrl+F"}));
}

TEST_F(MainWindowTest, UndoAndRedoShowTheStepAndTheTitleMarksUnsavedChanges) {
    const QString path = QString::fromStdString(openSample());
    EXPECT_FALSE(enabled(*window, undoCommandId));
    doubleClickRow(itemList(), 1);
    doubleClickRow(propertyList(), 0);
    retype("Owl");
    window->dispatch(applyButtonId);
    EXPECT_EQ(window->windowTitle(), path + "* (Kestra)");
    EXPECT_TRUE(enabled(*window, undoCommandId));
    EXPECT_FALSE(enabled(*window, redoCommandId));

    // Ctrl+Z in the edit field undoes typing there, not the Apply; elsewhere it undoes the Apply.
    QApplication::setActiveWindow(window.get());
    valueEdit()->setFocus();
    retype("Hawk");
    QTest::keyClick(valueEdit(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(valueEdit()->text(), "Hawk");
    EXPECT_EQ(cell(itemList(), 1, 1), "Owl");

    QTest::keyClick(itemList(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window->windowTitle(), path + " (Kestra)");
    EXPECT_EQ(cell(itemList(), 1, 1), "Merlin");
    EXPECT_EQ(cell(propertyList(), 0, 1), "Merlin");
    EXPECT_FALSE(valueEdit()->isEnabled());
    EXPECT_FALSE(enabled(*window, undoCommandId));
    EXPECT_TRUE(enabled(*window, redoCommandId));

    window->dispatch(newItemButtonId);
    EXPECT_FALSE(enabled(*window, redoCommandId));
    window->dispatch(undoCommandId);
    EXPECT_EQ(itemList()->model()->rowCount(), 3);
    window->dispatch(redoCommandId);
    EXPECT_EQ(itemList()->model()->rowCount(), 4);
    EXPECT_EQ(itemList()->selectionMark(), 3);
    EXPECT_EQ(propertyList()->model()->rowCount(), 5);
    EXPECT_EQ(window->windowTitle(), path + "* (Kestra)");
}

TEST_F(MainWindowTest, AsksBeforeUnsavedChangesWouldBeLost) {
    const std::string first = openSample();
    const std::string second = openSample("other.table");
    EXPECT_TRUE(unsavedAsked.empty());
    window->dispatch(newItemButtonId);

    // Cancel keeps the document and the window.
    unsavedAnswers = {UnsavedChoice::Cancel, UnsavedChoice::Cancel};
    openPath(first);
    window->dispatch(exitCommandId);
    EXPECT_EQ(unsavedAsked, std::vector<QString>({"other.table", "other.table"}));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->state().openedFilePath, second);
    EXPECT_EQ(itemList()->model()->rowCount(), 4);

    // A save that fails keeps them too; one that succeeds goes on.
    std::filesystem::remove(second);
    std::filesystem::create_directory(second);
    unsavedAnswers = {UnsavedChoice::Save};
    saveOverAnswers = {true};
    window->dispatch(exitCommandId);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(errors.size(), 1u);
    std::filesystem::remove(second);
    unsavedAnswers = {UnsavedChoice::Save};
    openPath(first);
    EXPECT_EQ(window->state().openedFilePath, first);
    EXPECT_EQ(readFile(second).at(3), 4);

    window->dispatch(newItemButtonId);
    unsavedAnswers = {UnsavedChoice::Discard};
    window->dispatch(exitCommandId);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(unsavedAsked.size(), 5u);
}

TEST_F(MainWindowTest, SaveAsksBeforeOverwritingWhatAnotherProgramSaved) {
    const std::string path = openSample();
    std::vector<SampleItem> others = threeSampleItems();
    others.push_back(others[0]);
    const std::vector<std::uint8_t> theirs = sampleFileBytes(16, others);
    writeFile(path, theirs);
    window->dispatch(saveCommandId);
    EXPECT_EQ(saveOverAsked, std::vector<QString>({"birds.table"}));
    EXPECT_EQ(readFile(path), theirs);

    saveOverAnswers = {true};
    window->dispatch(saveCommandId);
    EXPECT_EQ(readFile(path), sampleFileBytes(16, threeSampleItems()));
    // Nothing to ask once saved, nor when the file has gone.
    window->dispatch(saveCommandId);
    std::filesystem::remove(path);
    window->dispatch(saveCommandId);
    EXPECT_EQ(saveOverAsked.size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(path));
}

} // namespace
} // namespace kestra::testing
