#include <filesystem>

#include "control_ids.h"
#include "main_window_fixture.h"
#include "recovery/recovery_journal.h"

namespace kestra::testing {
namespace {

TEST_F(MainWindowTest, AJournalLeftBehindIsOfferedBackWhenItsFileIsOpened) {
    const std::string path = openSample();
    const std::string journal = journalPathFor(folder.file("state/kestra/recovery"), path);
    const std::string kept = folder.file("kept.journal");
    // What a killed window leaves: its journal and nothing else, once its steps went out (all at
    // once, at the latest when the window flushes them).
    auto editAndLeaveJournal = [&] {
        window->dispatch(newItemButtonId);
        ASSERT_TRUE(QTest::qWaitFor([&] {
            FileError error;
            const std::optional<JournalContents> contents = readJournal(journal, error);
            return contents && contents->records > 0;
        }));
        std::filesystem::copy_file(journal, kept,
                                   std::filesystem::copy_options::overwrite_existing);
        openSample("other.table"); // Discard: the journal goes
        EXPECT_FALSE(std::filesystem::exists(journal));
        std::filesystem::copy_file(kept, journal);
    };
    window->dispatch(newItemButtonId);
    window->dispatch(undoCommandId);
    editAndLeaveJournal();
    EXPECT_TRUE(recoverAsked.empty());

    openPath(path);
    EXPECT_EQ(recoverAsked, (std::vector<std::pair<QString, std::size_t>>{{"birds.table", 3}}));
    EXPECT_EQ(itemList()->model()->rowCount(), 4);
    EXPECT_EQ(window->windowTitle(), QString::fromStdString(path) + "* (Kestra)");
    window->dispatch(undoCommandId);
    EXPECT_EQ(itemList()->model()->rowCount(), 3);
    window->dispatch(redoCommandId);
    window->dispatch(saveCommandId);
    EXPECT_FALSE(std::filesystem::exists(journal));
    EXPECT_EQ(readFile(path).at(3), 4);

    // Recovered steps no longer apply to a file saved since: kept aside, not replayed.
    std::filesystem::copy_file(kept, journal);
    openSample("other.table");
    openPath(path);
    EXPECT_EQ(keepAsideAsked, std::vector<QString>({"birds.table"}));
    EXPECT_EQ(itemList()->model()->rowCount(), 4);
    EXPECT_FALSE(std::filesystem::exists(journal));

    editAndLeaveJournal();
    recoverAnswers = {false};
    openPath(path);
    EXPECT_EQ(recoverAsked.size(), 2u);
    EXPECT_EQ(itemList()->model()->rowCount(), 4);
    EXPECT_FALSE(std::filesystem::exists(journal));
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(folder.file("state/kestra/recovery")),
                      std::filesystem::directory_iterator()),
        1); // the one kept aside
}

// Undone back to the file, the document has nothing unsaved; its journal still goes on Exit.
TEST_F(MainWindowTest, ExitWithNothingUnsavedRemovesTheJournal) {
    const std::string journal = journalPathFor(folder.file("state/kestra/recovery"), openSample());
    window->dispatch(newItemButtonId);
    window->dispatch(undoCommandId);
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(journal); }));
    window->dispatch(exitCommandId);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(unsavedAsked.empty());
    EXPECT_FALSE(std::filesystem::exists(journal));
}

} // namespace
} // namespace kestra::testing
