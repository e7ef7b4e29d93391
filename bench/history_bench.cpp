// kestra_history_bench INFO_PATH DOCUMENTATION_PATH
//
// Times each kind of edit step on the document of INFO_PATH, as the window makes it (rows and
// history kept), then its Undo and its Redo, and prints one CSV line per figure:
//   history,STEP,VALUES,STEP_SECONDS,UNDO_SECONDS,REDO_SECONDS
// Each time is the fastest of fifteen rounds. Then it applies a million edits and prints the
// history's stored bytes, its bound and the growth of resident memory:
//   history-memory,APPLIES,VALUES,STORED_BYTES,LIMIT_BYTES,RESIDENT_GROWTH_BYTES,STEPS_KEPT
#include <algorithm>
#include <cstdio>
#include <exception>
#include <functional>
#include <limits>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "editing/item_editing.h"
#include "resident_memory.h"
#include "stopwatch.h"
#include "window/window_editing.h"
#include "window/window_history.h"
#include "window/window_state.h"

namespace kestra {

namespace {

constexpr int rounds = 15;
constexpr int applies = 1000000;

struct StepTimes {
    double step = std::numeric_limits<double>::infinity();
    double undo = std::numeric_limits<double>::infinity();
    double redo = std::numeric_limits<double>::infinity();
};

// The first property of the items whose edits spread to others: the costliest Apply.
int linkedProperty(const InfoFile& document) {
    const auto properties = document.items.properties();
    for (std::size_t k = 0; k < properties.size(); ++k) {
        if (properties[k].facts.linked)
            return int(k);
    }
    return 0;
}

// Each round does the step, undoes it, redoes it and undoes it again, so the next round starts
// from the same document.
StepTimes timeStep(WindowState& state, const std::function<void()>& step) {
    StepTimes best;
    for (int round = 0; round < rounds; ++round) {
        best.step = std::min(best.step, secondsOf(step));
        best.undo = std::min(best.undo, secondsOf([&] { undoEdit(state); }));
        best.redo = std::min(best.redo, secondsOf([&] { redoEdit(state); }));
        undoEdit(state);
    }
    return best;
}

int run(const std::string& infoPath, const std::string& documentationPath) {
    WindowState state;
    loadDocumentationFile(state.documentation, documentationPath);
    FileError error;
    if (!state.document.load(infoPath, state.documentation, &error))
        throw std::runtime_error("cannot load " + infoPath + ": " + error.message);
    state.openedFilePath = state.currentFilePath = infoPath;
    state.history.clear();
    state.itemRows.showAll(state.document);
    const std::size_t values = state.document.items.size() * state.document.descriptors.size();

    const int middle = int(state.document.items.size() / 2);
    const int property = linkedProperty(state.document);
    bool odd = false;
    auto applyToMiddle = [&] {
        state.selectedItem = middle;
        state.propertyRows.show(state.document, std::size_t(middle));
        state.selectedProperty = property;
        applyEditText(state, (odd = !odd) ? u"12" : u"34");
    };
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"apply", applyToMiddle},
        {"new-item", [&] { newItem(state); }},
        {"copy-item", [&] { copyItem(state, 0); }},
        // The first item: every later item moves, the most a removal or its undo can cost.
        {"delete-item", [&] { deleteItem(state, 0); }},
    };
    for (const auto& [name, step] : steps) {
        const StepTimes times = timeStep(state, step);
        std::printf("history,%s,%zu,%.9f,%.9f,%.9f\n", name, values, times.step, times.undo,
                    times.redo);
    }

    // Through the core alone, as the window records them: the window's rows keep every typed
    // text as well, which is not the history's memory.
    EditHistory history;
    const std::uint64_t residentBefore = residentBytes();
    std::mt19937_64 random(1);
    std::uniform_int_distribution<std::size_t> anyItem(0, state.document.items.size() - 1);
    for (int i = 0; i < applies; ++i) {
        const std::size_t item = anyItem(random);
        const std::vector<std::uint8_t> before = packedItem(state.document, item);
        applyValueText(state.document, item, std::size_t(property), (i % 2) ? "12" : "34");
        if (std::optional<EditStep> step = valuesChangedStep(state.document, item, before))
            history.record(std::move(*step));
    }
    const std::uint64_t residentAfter = residentBytes();
    std::printf("history-memory,%d,%zu,%zu,%zu,%lld,%zu\n", applies, values, history.storedBytes(),
                EditHistory::defaultLimit,
                static_cast<long long>(residentAfter) - static_cast<long long>(residentBefore),
                history.steps());
    return 0;
}

} // namespace

} // namespace kestra

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: kestra_history_bench INFO_PATH DOCUMENTATION_PATH\n", stderr);
        return 2;
    }
    try {
        return kestra::run(argv[1], argv[2]);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "kestra_history_bench: %s\n", failure.what());
        return 1;
    }
}
