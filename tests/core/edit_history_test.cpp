#include "window/window_editing.h"
#include "window/window_history.h"

#include <gtest/gtest.h>

#include <functional>

#include "info_file_fixtures.h"

namespace kestra {
namespace {

using testing::canonicalFile;
using testing::loaded;
using Effect = HistoryMove::Effect;

void open(WindowState& state) {
    state.document = loaded(canonicalFile());
    state.openedFilePath = state.currentFilePath = "birds.table";
    state.history.clear();
    state.itemRows.showAll(state.document);
}

std::vector<std::uint8_t> bytesOf(const WindowState& state) {
    return state.document.serialize(testing::smallFileLimit);
}

void applyTo(WindowState& state, int item, int property, std::u16string_view text) {
    state.selectedItem = item;
    state.propertyRows.show(state.document, std::size_t(item));
    state.selectedProperty = property;
    applyEditText(state, text);
}

struct StepCase {
    const char* name;
    std::function<void(WindowState&)> edit;
    Effect undoEffect;
    int undoSelects; // the selected item after the undo
};

// Item 1's float holds a NaN with a payload (7FC00001) and item 0's string "abc" has the tail
// "zzz...": undo must give back every bit of both.
const StepCase stepCases[] = {
    {"ApplyToANaN", [](WindowState& s) { applyTo(s, 1, 1, u"2"); }, Effect::ValuesChanged, 1},
    {"ApplyToAString", [](WindowState& s) { applyTo(s, 0, 2, u"q"); }, Effect::ValuesChanged, 0},
    {"NewItem", [](WindowState& s) { newItem(s); }, Effect::ItemRemoved, -1},
    {"CopyItem", [](WindowState& s) { copyItem(s, 1); }, Effect::ItemRemoved, -1},
    {"DeleteItem", [](WindowState& s) { deleteItem(s, 0); }, Effect::ItemInserted, 0},
};

TEST(EditHistory, UndoGivesBackEveryByteAndRedoDoesTheStepAgain) {
    for (const StepCase& step : stepCases) {
        SCOPED_TRACE(step.name);
        WindowState state;
        open(state);
        const std::vector<std::uint8_t> before = bytesOf(state);
        step.edit(state);
        const std::vector<std::uint8_t> after = bytesOf(state);
        ASSERT_NE(after, before);
        EXPECT_TRUE(state.history.hasUnsavedChanges());

        EXPECT_EQ(undoEdit(state).effect, step.undoEffect);
        EXPECT_EQ(bytesOf(state), before);
        EXPECT_EQ(state.itemRows.size(), state.document.items.size());
        EXPECT_EQ(state.selectedItem, step.undoSelects);
        EXPECT_EQ(state.selectedProperty, -1);
        EXPECT_FALSE(state.history.hasUnsavedChanges());
        EXPECT_FALSE(state.history.canUndo());

        redoEdit(state);
        EXPECT_EQ(bytesOf(state), after);
        EXPECT_TRUE(state.history.hasUnsavedChanges());

        // Saved here, undone, then a new edit: the redo step is gone and the document differs
        // from the saved one, though it holds the same number of steps.
        state.history.markSaved();
        undoEdit(state);
        step.edit(state);
        EXPECT_FALSE(state.history.canRedo());
        EXPECT_EQ(redoEdit(state).effect, Effect::Nothing);
        EXPECT_TRUE(state.history.hasUnsavedChanges());
    }
}

TEST(EditHistory, UndoneApplyShowsTheStoredValueNotTheTypedText) {
    WindowState state;
    open(state);
    applyTo(state, 0, 0, u"0012");
    EXPECT_EQ(state.itemRows[0].valueTexts[0].view(), u"0012");
    undoEdit(state);
    redoEdit(state);
    EXPECT_EQ(state.itemRows[0].valueTexts[0].view(), u"12");
}

TEST(EditHistory, KeepsWithinItsBoundByDroppingTheOldestSteps) {
    const EditStep apply{EditKind::Apply, 0, {{0, {0, 0, 0, 1}, {0, 0, 0, 2}}}, {}};
    const std::size_t limit = 100 * storedBytes(apply);
    EditHistory history(limit);
    for (int step = 0; step < 1000; ++step)
        history.record(apply);
    EXPECT_LE(history.storedBytes(), limit);
    EXPECT_EQ(history.steps(), 100u);
    EXPECT_TRUE(history.hasUnsavedChanges());
}

} // namespace
} // namespace kestra
