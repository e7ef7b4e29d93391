// kestra_journal_kill append INFO_PATH
//   Journals random Applies and Delete Items on the document of INFO_PATH as the window does
//   (each step recorded, appended, and the journal flushed every few steps), printing before each
//   step "step N CHECKSUM" (the CRC-32C of the document's bytes) and after each flush "flushed N",
//   until it is killed.
// kestra_journal_kill recover INFO_PATH
//   Replays the journal of INFO_PATH onto it as Recover does and prints "recovered N CHECKSUM";
//   "refused" when the journal does not apply to the file.
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "editing/edit_history.h"
#include "names/documentation_table.h"
#include "recovery/crc32c.h"
#include "recovery/document_journal.h"

namespace kestra {

namespace {

constexpr int stepsPerFlush = 20;

std::uint32_t documentChecksum(const InfoFile& document) {
    return crc32c(document.serialize(std::numeric_limits<std::uint64_t>::max()));
}

// Adds one to the first byte of item `item`'s first value: an Apply as the window records it.
EditStep applyStep(InfoFile& document, std::size_t item) {
    const std::vector<std::uint8_t> before = packedItem(document, item);
    document.items.data()[item * document.items.stride() + document.items.properties()[0].offset] +=
        1;
    return *valuesChangedStep(document, item, before);
}

int append(InfoFile& document, const std::string& path) {
    DocumentJournal journal;
    std::mt19937 random(std::random_device{}());
    journal.follow(path, document.stringWidth);
    for (long step = 1;; ++step) {
        const std::size_t item = random() % document.items.size();
        EditStep done = random() % 4 == 0 && document.items.size() > 1
                            ? itemRemovedStep(document, item)
                            : applyStep(document, item);
        if (done.kind == EditKind::DeleteItem)
            redoStep(document, done);
        // Reported before it is journalled, so that every step a recovery finds was reported.
        std::printf("step %ld %08x\n", step, documentChecksum(document));
        std::fflush(stdout);
        if (const auto failure = journal.append({JournalRecord::Kind::Step, done, {}}, document)) {
            std::fprintf(stderr, "%s\n", failure->c_str());
            return 1;
        }
        if (step % stepsPerFlush == 0) {
            if (const auto failure = journal.sync()) {
                std::fprintf(stderr, "%s\n", failure->c_str());
                return 1;
            }
            std::printf("flushed %ld\n", step);
        }
        std::fflush(stdout);
    }
}

int recover(InfoFile& document, const std::string& path, const PropertyNames& names) {
    const FoundJournal found = findJournal(path, document.stringWidth);
    if (found.fit != FoundJournal::Fit::Matches) {
        std::printf("refused\n");
        return 0;
    }
    EditHistory history;
    const std::size_t replayed = replayJournal(found.contents, document, history, names);
    std::printf("recovered %zu %08x\n", replayed, documentChecksum(document));
    return 0;
}

} // namespace

} // namespace kestra

int main(int argc, char* argv[]) {
    using namespace kestra;
    if (argc != 3 ||
        (std::strcmp(argv[1], "append") != 0 && std::strcmp(argv[1], "recover") != 0)) {
        std::fprintf(stderr, "usage: kestra_journal_kill append|recover INFO_PATH\n");
        return 2;
    }
    const DocumentationTable names;
    InfoFile document;
    FileError error;
    if (!document.load(argv[2], names, &error)) {
        std::fprintf(stderr, "%s\n", error.text().c_str());
        return 1;
    }
    return std::strcmp(argv[1], "append") == 0 ? append(document, argv[2])
                                               : recover(document, argv[2], names);
}
