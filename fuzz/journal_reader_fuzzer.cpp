// Reads the input as a recovery journal, and as the records of a journal behind a valid header
// (a checksummed header is out of reach of random bytes), and checks that what was read writes
// back to bytes that read the same.
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_support.h"
#include "recovery/journal_format.h"

namespace {

using namespace kestra;
using namespace kestra::fuzz;

void checkRoundTrip(std::span<const std::uint8_t> bytes) {
    const std::optional<JournalContents> read = decodeJournal(bytes);
    if (!read)
        return;
    std::vector<std::uint8_t> written = encodeJournalHeader(read->base);
    for (const JournalRecord& record : read->records) {
        const std::vector<std::uint8_t> encoded = encodeJournalRecord(record);
        written.insert(written.end(), encoded.begin(), encoded.end());
    }
    const std::optional<JournalContents> again = decodeJournal(written);
    require(again && again->base == read->base && again->records == read->records,
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
