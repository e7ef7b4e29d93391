// kestra_journal_bench INFO_PATH DOCUMENTATION_PATH
//
// Times what the recovery journal adds to the window's Apply on the document of INFO_PATH, and
// how long Recover takes, and prints CSV lines:
//   journal-apply,WHEN,VALUES,WITHOUT_SECONDS,WITH_SECONDS
//     WHEN is "first" (the first Apply after a load or a save, while the base file's checksum is
//     still being read) or "later" (the journal written); each the fastest of several rounds,
//     with and without the journal in alternation.
//   journal-follow,SECONDS               the most a load or a save gains: starting the reading
//   journal-base,FILE_BYTES,SECONDS      reading the base file's checksum (on its own thread)
//   journal-sync,SECONDS                 one flush of a burst of steps (from a timer)
//   journal-recover,STEPS,SECONDS        finding the journal and replaying its steps
// The journal goes to $XDG_STATE_HOME, which should be a temporary folder.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <limits>
#include <stdexcept>
#include <string>

#include "recovery/crc32c.h"
#include "recovery/document_journal.h"
#include "stopwatch.h"
#include "window/window_editing.h"
#include "window/window_state.h"

namespace kestra {

namespace {

constexpr int recoverSteps = 10000;

void check(const std::optional<std::string>& failure) {
    if (failure)
        throw std::runtime_error(*failure);
}

std::uint32_t documentChecksum(const InfoFile& document) {
    return crc32c(document.serialize(std::numeric_limits<std::uint64_t>::max()));
}

class Bench {
public:
    Bench(const std::string& infoPath, const std::string& documentationPath) : path_(infoPath) {
        loadDocumentationFile(state_.documentation, documentationPath);
        load();
        state_.itemRows.showAll(state_.document);
        state_.selectedItem = int(state_.document.items.size() / 2);
        state_.propertyRows.show(state_.document, std::size_t(state_.selectedItem));
        state_.selectedProperty = 0;
    }

    void load() {
        FileError error;
        if (!state_.document.load(path_, state_.documentation, &error))
            throw std::runtime_error("cannot load " + path_ + ": " + error.text());
        state_.history.clear();
    }

    // An Apply as the window does it: the value stored, the step recorded and journalled.
    double apply(bool journalled) {
        return secondsOf([&] {
            const std::uint64_t revision = state_.history.currentRevision();
            applyEditText(state_, (odd_ = !odd_) ? u"12" : u"34");
            if (journalled && state_.history.currentRevision() != revision)
                check(journal_.append({JournalRecord::Kind::Step, *state_.history.lastDone()},
                                      state_.document));
        });
    }

    void run() {
        const std::size_t values =
            state_.document.items.size() * state_.document.descriptors.size();
        // The first Apply after a load: the journal follows the file anew each round, as a load
        // or a save makes it, which stops the reading of the round before.
        double slowestFollow = 0;
        const BestTimes first = bestOfRounds(
            [&] {
                state_.history.clear();
                return apply(false);
            },
            [&] {
                slowestFollow = std::max(slowestFollow, secondsOf([&] {
                                             journal_.follow(path_, state_.document.stringWidth);
                                         }));
                return apply(true);
            });
        std::printf("journal-apply,first,%zu,%.9f,%.9f\n", values, first.operation, first.limit);
        std::printf("journal-follow,%.9f\n", slowestFollow);
        check(journal_.sync());
        const BestTimes later =
            bestOfRounds([&] { return apply(false); }, [&] { return apply(true); });
        std::printf("journal-apply,later,%zu,%.9f,%.9f\n", values, later.operation, later.limit);
        std::printf("journal-sync,%.9f\n", secondsOf([&] { check(journal_.sync()); }));

        JournalBase base;
        FileError error;
        const double described = secondsOf([&] {
            if (!describeBaseFile(path_, std::uint8_t(state_.document.stringWidth), base, error))
                throw std::runtime_error(error.text());
        });
        std::printf("journal-base,%llu,%.9f\n", static_cast<unsigned long long>(base.size),
                    described);

        recover();
        journal_.settle();
    }

private:
    // What a window killed after this many Applies leaves, and Recover on it.
    void recover() {
        load();
        journal_.follow(path_, state_.document.stringWidth);
        for (int step = 0; step < recoverSteps; ++step) {
            state_.selectedItem = step % int(state_.document.items.size());
            state_.propertyRows.show(state_.document, std::size_t(state_.selectedItem));
            apply(true);
        }
        check(journal_.sync());
        const std::uint32_t edited = documentChecksum(state_.document);
        load();
        std::size_t replayed = 0;
        FileError error;
        const double seconds = secondsOf([&] {
            const FoundJournal found = findJournal(path_, state_.document.stringWidth);
            if (found.fit != FoundJournal::Fit::Matches)
                throw std::runtime_error("the journal does not apply to its file");
            replayed =
                replayJournal(found, state_.document, state_.history, state_.documentation, error);
        });
        if (replayed != recoverSteps || documentChecksum(state_.document) != edited)
            throw std::runtime_error("Recover did not give back the edited document " +
                                     error.text());
        std::printf("journal-recover,%zu,%.9f\n", replayed, seconds);
    }

    std::string path_;
    WindowState state_;
    DocumentJournal journal_;
    bool odd_ = false;
};

} // namespace

} // namespace kestra

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: kestra_journal_bench INFO_PATH DOCUMENTATION_PATH\n", stderr);
        return 2;
    }
    try {
        kestra::Bench(argv[1], argv[2]).run();
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "kestra_journal_bench: %s\n", failure.what());
        return 1;
    }
}
