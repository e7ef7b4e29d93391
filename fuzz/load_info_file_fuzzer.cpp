// Loads arbitrary bytes as an info file, once with 32-byte strings (a name ending "info") and once
// with 16-byte strings (any other name), and checks the result against the format byte by byte.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

#include "document/info_file.h"
#include "format/byte_order.h"
#include "fuzz_support.h"

namespace {

using namespace kestra;
using namespace kestra::fuzz;

// Items that (four bytes a value at the least, and an item never less than smallestItemCost)
// would need more memory than a file of this size is allowed: a header claiming them must fail
// the load at once instead of exhausting memory.
bool claimsTooMuch(std::span<const std::uint8_t> file) {
    if (file.size() < headerSize)
        return false;
    const std::uint64_t items = readBigEndian32(&file[0]);
    const std::uint64_t leastItemBytes =
        std::max<std::uint64_t>(4 * std::uint64_t(readBigEndian32(&file[4])), smallestItemCost);
    return items * leastItemBytes > itemMemoryLimit(file.size());
}

// A document that is already open, so that a failed load has something it must leave alone.
const InfoFile& openDocument() {
    static const InfoFile document = [] {
        InfoFile loaded;
        const std::uint8_t file[] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 28, 0, 0, 0, 4,
                                     0, 0, 0, 2, 0, 1, 0, 0, 0, 0, 0, 3,  0, 0, 1, 0};
        require(loaded.loadFromBytes(file, StringWidth::Bytes16, documentation()),
                "the open document loads");
        return loaded;
    }();
    return document;
}

// The value's field as the format places it: read at its 32-bit position, zero past the end.
void readField(std::span<const std::uint8_t> file, std::uint32_t position, std::uint32_t width,
               std::uint8_t* field) {
    for (std::uint32_t i = 0; i < width; ++i) {
        const std::uint64_t at = std::uint64_t(position) + i;
        field[i] = at < file.size() ? file[at] : 0;
    }
}

void checkLoaded(const InfoFile& document, std::span<const std::uint8_t> file, StringWidth wide) {
    const InfoHeader& header = document.header;
    require(header.itemCount == readBigEndian32(&file[0]) &&
                header.propertyCount == readBigEndian32(&file[4]) &&
                header.firstItemOffset == readBigEndian32(&file[8]) &&
                header.itemLength == readBigEndian32(&file[12]),
            "the header holds the file's four words");
    require(headerSize + descriptorSize * std::uint64_t(header.propertyCount) <= file.size(),
            "a descriptor table cut short by the end of the file fails the load");
    require(document.descriptors.size() == header.propertyCount &&
                document.items.size() == header.itemCount,
            "one descriptor per property and one record per item");
    for (std::size_t k = 0; k < document.descriptors.size(); ++k) {
        const std::uint8_t* entry = &file[headerSize + descriptorSize * k];
        const PropertyDescriptor expected{readBigEndian32(entry), readBigEndian16(entry + 4),
                                          readBigEndian16(entry + 6), readBigEndian16(entry + 8),
                                          readBigEndian16(entry + 10)};
        require(sameDescriptor(document.descriptors[k], expected), "descriptor k from 16 + 12k");
    }
    for (std::uint32_t i = 0; i < header.itemCount; ++i) {
        const ConstValueList values = document.items[i].values;
        require(values.size() == header.propertyCount, "every item has one value per property");
        for (std::size_t k = 0; k < values.size(); ++k) {
            const PropertyDescriptor& descriptor = document.descriptors[k];
            PropertyValue expected = makeValue(descriptor, wide, documentation());
            const std::uint32_t width = valueWidth(expected.typeCode);
            std::uint8_t field[32] = {};
            readField(file, valuePosition(header, i, descriptor.offset), width, field);
            if (expected.typeCode == TypeCode::S32 || expected.typeCode == TypeCode::S16)
                std::memcpy(expected.store.data(), field, width);
            else
                expected.setIntValue(readBigEndian32(field));
            require(sameValue(values[k], expected), "every value as read at its position");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    const bool hostile = claimsTooMuch(file);
    if (claimedEntries(file) > entryBudget && !hostile)
        return 0;
    for (const StringWidth wide : {StringWidth::Bytes32, StringWidth::Bytes16}) {
        InfoFile document = openDocument();
        FileError error;
        if (document.loadFromBytes(file, wide, documentation(), &error)) {
            require(size >= headerSize, "a file shorter than its header fails the load");
            require(!hostile, "items needing more memory than the file allows fail the load");
            checkLoaded(document, file, wide);
        } else {
            require(!error.message.empty(), "a failed load says why");
            require(sameDocument(document, openDocument()), "a failed load changes nothing");
        }
    }
    return 0;
}
