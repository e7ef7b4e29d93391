// Reads the input as a recovery journal, and as the records of a journal behind a valid header
// (a checksummed header is out of reach of random bytes), as Recover reads them one at a time,
// and checks that what was read writes back to bytes that read the same.
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_support.h"
#include "recovery/journal_format.h"

namespace {

using namespace kestra;
using namespace kestra::fuzz;

struct ReadJournal {
    JournalBase base;
    std::vector<JournalRecord> records;
    std::vector<std::uint8_t> written; // the header and each record written back
};

// A snapshot is written back as it was read; other records are encoded anew.
bool readAll(std::span<const std::uint8_t> bytes, ReadJournal& read) {
    const ByteSource source(bytes);
    JournalReader reader(source);
    FileError error;
    if (reader.start(read.base, error) != JournalReader::Read::Record)
        return false;
    read.written = encodeJournalHeader(read.base);
    for (;;) {
        const std::uint64_t start = reader.at();
        JournalRecord record;
        if (reader.next(record, error) != JournalReader::Read::Record)
            break;
        const std::span<const std::uint8_t> whole =
            bytes.subspan(std::size_t(start), std::size_t(reader.at() - start));
        const std::vector<std::uint8_t> encoded =
            record.kind == JournalRecord::Kind::Snapshot
                ? std::vector<std::uint8_t>(whole.begin(), whole.end())
                : encodeJournalRecord(record);
        read.written.insert(read.written.end(), encoded.begin(), encoded.end());
        read.records.push_back(std::move(record));
    }
    return true;
}

void checkRoundTrip(std::span<const std::uint8_t> bytes) {
    ReadJournal read;
    if (!readAll(bytes, read))
        return;
    ReadJournal again;
    require(readAll(read.written, again) && again.base == read.base &&
                again.records == read.records,
            "a journal read back writes the same journal");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    checkRoundTrip(input);
    std::vector<std::uint8_t> behindHeader =
        encodeJournalHeader({"/fuzz/file.table", 1, 2, 3, 4, 5, 6, 2});
    behindHeader.insert(behindHeader.end(), input.begin(), input.end());
    checkRoundTrip(behindHeader);
    return 0;
}
