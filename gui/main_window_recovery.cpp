// The recovery journal in the main window: every edit step goes to it, flushed shortly after, and
// a journal left by a window that ended without saving is offered back when its file is opened.
// The journal itself is the core's (recovery/document_journal).
#include "main_window.h"

#include "progress_window.h"

#include <QFileInfo>
#include <QStatusBar>

namespace kestra {

namespace {

// At most this long after a step, that step is on the disk (once the checksum of the file it was
// loaded from is known); a burst of steps costs one flush.
constexpr int journalFlushMilliseconds = 1000;
constexpr int baseWaitMilliseconds = 50;
constexpr int statusMessageMilliseconds = 10000;

} // namespace

void MainWindow::setUpJournal() {
    journalFlush_.setSingleShot(true);
    // Until the checksum of a large file is read, its steps cannot go out; the window looks again
    // rather than wait for it.
    connect(&journalFlush_, &QTimer::timeout, this, [this] {
        if (journal_.waitingForBase())
            journalFlush_.start(baseWaitMilliseconds);
        else
            showJournalFailure(journal_.sync());
    });
}

void MainWindow::recoverJournal(const std::string& path, ProgressScope& progress) {
    journal_.follow(path, state_.document.stringWidth);
    const FoundJournal found = findJournal(path, state_.document.stringWidth);
    if (found.fit == FoundJournal::Fit::None)
        return;
    progress.end();
    const QString name = QFileInfo(QString::fromStdString(path)).fileName();
    FileError error;
    bool settled = false;
    if (found.fit == FoundJournal::Fit::Mismatch) {
        settled = dialogs_.askKeepJournalAside(this, name)
                      ? keepJournalAside(found.journalPath, error)
                      : deleteJournal(found.journalPath, error);
    } else if (!dialogs_.askRecover(this, name, found.contents.records)) {
        settled = deleteJournal(found.journalPath, error);
    } else {
        FileError unread;
        const std::size_t replayed =
            replayJournal(found, state_.document, state_.history, state_.documentation, unread);
        if (replayed == found.contents.records) {
            showJournalFailure(journal_.resume(found.journalPath, found.contents));
            return;
        }
        // A step that no longer fits ends the replay: the journal goes on from what was
        // recovered, whole, rather than from steps that cannot be done again. One that could not
        // be read to its end is kept aside rather than lost.
        settled = unread.message.empty() ? deleteJournal(found.journalPath, error)
                                         : keepJournalAside(found.journalPath, error);
        if (!unread.message.empty())
            showJournalFailure(unread.text());
        showJournalFailure(journal_.snapshot(state_.document));
    }
    if (!settled)
        showJournalFailure(error.text());
}

void MainWindow::journalNewStep(std::uint64_t revisionBefore) {
    if (state_.history.currentRevision() != revisionBefore)
        journalRecord({JournalRecord::Kind::Step, *state_.history.lastDone()});
}

void MainWindow::journalRecord(const JournalRecord& record) {
    showJournalFailure(journal_.append(record, state_.document));
    if (!journalFlush_.isActive())
        journalFlush_.start(journalFlushMilliseconds);
}

void MainWindow::showJournalFailure(const std::optional<std::string>& failure) {
    if (failure)
        controls_.statusBar->showMessage(QString::fromStdString(*failure),
                                         statusMessageMilliseconds);
}

} // namespace kestra
