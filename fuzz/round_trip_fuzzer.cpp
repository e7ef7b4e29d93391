// Loads the input, writes the document as a save would, loads what was written and writes it again.
// Both writes must give the same bytes; and when no value overlaps another value, the header or the
// descriptor table, the second document must equal the first value for value.
#include <algorithm>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <utility>
#include <vector>

#include "document/info_file.h"
#include "fuzz_support.h"

namespace {

using namespace kestra;
using namespace kestra::fuzz;

// Input layout: one byte of flags (bit 0: 32-byte strings), then the info file.
constexpr std::size_t prefixSize = 1;
// Files the format places far out (a value near the 4 GiB position) are refused, not written.
constexpr std::uint64_t sizeLimit = 1 << 20;

using Extent = std::pair<std::uint64_t, std::uint64_t>; // [begin, end) in the written file

std::uint64_t tableEnd(const InfoFile& document) {
    return descriptorTableEnd(document.descriptors.size());
}

// Where the save puts each value, sorted.
std::vector<Extent> valueExtents(const InfoFile& document) {
    std::vector<Extent> extents;
    for (std::uint32_t i = 0; i < document.items.size(); ++i) {
        for (const ConstValueRef value : document.items[i].values) {
            const std::uint64_t begin = valuePosition(document.header, i, value.descriptor.offset);
            extents.emplace_back(begin, begin + valueWidth(value.typeCode));
        }
    }
    std::ranges::sort(extents);
    return extents;
}

bool anyOverlap(const std::vector<Extent>& sorted) {
    return std::ranges::adjacent_find(sorted, [](const Extent& a, const Extent& b) {
               return b.first < a.second;
           }) != sorted.end();
}

bool serializeWithin(const InfoFile& document, std::vector<std::uint8_t>& bytes) {
    try {
        bytes = document.serialize(sizeLimit);
        return true;
    } catch (const std::length_error&) {
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < prefixSize)
        return 0;
    const StringWidth wide = data[0] & 1 ? StringWidth::Bytes32 : StringWidth::Bytes16;
    const std::span<const std::uint8_t> file(data + prefixSize, size - prefixSize);
    InfoFile first;
    if (claimedEntries(file) > entryBudget || !first.loadFromBytes(file, wide, documentation()))
        return 0;

    const std::vector<Extent> extents = valueExtents(first);
    std::uint64_t end = tableEnd(first);
    for (const Extent& extent : extents)
        end = std::max(end, extent.second);
    // Far-out files are left to RobustnessSaveMemory: building one costs memory, not coverage.
    std::vector<std::uint8_t> written;
    if (end > sizeLimit || !serializeWithin(first, written))
        return 0;
    require(written.size() % 32 == 0 && written.size() - end < 32,
            "the file ends at its furthest byte, padded to a multiple of 32");
    require(std::all_of(written.begin() + std::ptrdiff_t(end), written.end(),
                        [](std::uint8_t byte) { return byte == paddingByte; }),
            "the padding is '@' bytes");

    InfoFile second;
    const bool reloaded = second.loadFromBytes(written, wide, documentation());
    const bool headerKept = extents.empty() || extents.front().first >= tableEnd(first);
    require(reloaded || !headerKept, "a written file whose header no value covers loads again");
    if (!reloaded || !sameHeaderAndDescriptors(first, second))
        return 0;

    std::vector<std::uint8_t> rewritten;
    require(serializeWithin(second, rewritten) && rewritten == written,
            "writing what was read back gives the same bytes");
    if (headerKept && !anyOverlap(extents))
        require(sameDocument(first, second), "a document without overlaps survives a round trip");
    return 0;
}
