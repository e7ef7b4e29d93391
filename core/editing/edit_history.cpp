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

const EditStep* EditHistory::undo(InfoFile& document) {
    if (done_.empty())
        return nullptr;
    undoStep(document, done_.back().step);
    undone_.push_back(std::move(done_.back()));
    done_.pop_back();
    return &undone_.back().step;
}

const EditStep* EditHistory::redo(InfoFile& document) {
    if (undone_.empty())
        return nullptr;
    redoStep(document, undone_.back().step);
    done_.push_back(std::move(undone_.back()));
    undone_.pop_back();
    return &done_.back().step;
}

void EditHistory::clear() {
    done_.clear();
    undone_.clear();
    stored_ = 0;
    floor_ = savedRevision_ = ++lastRevision_;
}

} // namespace kestra
