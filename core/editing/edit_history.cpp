#include "editing/edit_history.h"

#include <utility>

namespace kestra {

void EditHistory::record(EditStep step) {
    for (const Entry& dropped : undone_)
        stored_ -= kestra::storedBytes(dropped.step);
    undone_.clear();
    stored_ += kestra::storedBytes(step);
    done_.push_back({std::move(step), ++lastRevision_});
    while (stored_ > limit_ && !done_.empty()) {
        stored_ -= kestra::storedBytes(done_.front().step);
        floor_ = done_.front().revision;
        done_.pop_front();
    }
}

namespace {

// Moves the last entry of `from` to the end of `to` and returns its step.
template <typename From, typename To> const EditStep* moveLast(From& from, To& to) {
    to.push_back(std::move(from.back()));
    from.pop_back();
    return &to.back().step;
}

} // namespace

const EditStep* EditHistory::undo(InfoFile& document) {
    if (done_.empty())
        return nullptr;
    undoStep(document, done_.back().step);
    return moveLast(done_, undone_);
}

const EditStep* EditHistory::redo(InfoFile& document) {
    if (undone_.empty())
        return nullptr;
    redoStep(document, undone_.back().step);
    return moveLast(undone_, done_);
}

void EditHistory::clear() {
    done_.clear();
    undone_.clear();
    stored_ = 0;
    floor_ = savedRevision_ = ++lastRevision_;
}

} // namespace kestra
