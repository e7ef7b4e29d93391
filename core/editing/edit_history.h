#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "editing/edit_step.h"

namespace kestra {

// The steps that can be undone and redone on one document, and whether the document differs from
// what was last loaded or saved. Every step recorded gets a revision number never used before;
// the document's revision is that of the last step done, so undoing back to the saved state
// counts as unchanged, and a new edit after an undo never does. The steps together take at most
// `limit` bytes: the oldest go first.
class EditHistory {
public:
    static constexpr std::size_t defaultLimit = std::size_t(64) << 20;

    explicit EditHistory(std::size_t limit = defaultLimit) : limit_(limit) {}

    // A step just done to the document; the steps that could be redone are dropped.
    void record(EditStep step);
    // Undoes the last step done, or does the last undone step again, and returns it; nullptr,
    // with nothing changed, when there is none.
    const EditStep* undo(InfoFile& document);
    const EditStep* redo(InfoFile& document);
    bool canUndo() const { return !done_.empty(); }
    bool canRedo() const { return !undone_.empty(); }

    // The document was loaded: no steps, nothing unsaved.
    void clear();
    // The document was saved as it is now.
    void markSaved() { savedRevision_ = revision(); }
    bool hasUnsavedChanges() const { return revision() != savedRevision_; }
    // The document differs from the file though no step says how (it was recovered whole):
    // revision 0 is never one the document has.
    void markUnsaved() { savedRevision_ = 0; }
    // Changes with every step recorded, undone or redone.
    std::uint64_t currentRevision() const { return revision(); }
    const EditStep* lastDone() const { return done_.empty() ? nullptr : &done_.back().step; }

    std::size_t storedBytes() const { return stored_; }
    std::size_t steps() const { return done_.size() + undone_.size(); }

private:
    struct Entry {
        EditStep step;
        std::uint64_t revision = 0;
    };

    std::uint64_t revision() const { return done_.empty() ? floor_ : done_.back().revision; }

    std::size_t limit_;
    std::deque<Entry> done_;
    std::vector<Entry> undone_; // the next to redo last
    std::size_t stored_ = 0;
    std::uint64_t lastRevision_ = 0;
    std::uint64_t floor_ = 0; // the revision the oldest step kept starts from
    std::uint64_t savedRevision_ = 0;
};

} // namespace kestra
