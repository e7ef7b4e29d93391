#include "document/info_file.h"

#include <algorithm>
#include <cstring>

#include "format/byte_order.h"
#include "io/file_reader.h"

namespace kestra {

namespace {

// Headroom for files whose items legitimately overlap or reach past the end of the file.
constexpr std::uint64_t countAllowance = std::uint64_t(1) << 20;

// The header's counts are trusted only as far as the file could hold them: itemCount times
// (propertyCount + 1) may not pass the file's size plus 1 MiB. A real file holding its items
// stays well inside this (every value takes at least four bytes, and each item at least one
// byte unless items overlap), while a 16-byte file claiming billions of items fails at once
// instead of exhausting memory. Both factors are 32-bit, so the product cannot overflow 64 bits.
bool countsFit(const InfoHeader& header, std::uint64_t fileSize) {
    const std::uint64_t entries =
        std::uint64_t(header.itemCount) * (std::uint64_t(header.propertyCount) + 1);
    return entries <= fileSize + countAllowance;
}

// Copies `width` bytes from `position`; bytes beyond the end of the file read as zero.
void readAt(std::span<const std::uint8_t> file, std::uint64_t position, std::uint8_t* out,
            std::size_t width) {
    std::memset(out, 0, width);
    if (position >= file.size())
        return;
    const std::size_t available =
        std::size_t(std::min<std::uint64_t>(width, file.size() - position));
    std::memcpy(out, file.data() + position, available);
}

void decodeValue(std::span<const std::uint8_t> file, std::uint64_t position, PropertyValue& value) {
    switch (value.typeCode) {
    case TypeCode::S32:
    case TypeCode::S16:
        readAt(file, position, value.store.data(), valueWidth(value.typeCode));
        return;
    case TypeCode::F4:
    case TypeCode::I4: {
        std::uint8_t word[4];
        readAt(file, position, word, sizeof word);
        value.setIntValue(readBigEndian32(word));
        return;
    }
    }
}

bool fail(FileError* error, const char* message) {
    if (error)
        *error = {message, {}};
    return false;
}

} // namespace

bool InfoFile::loadFromBytes(std::span<const std::uint8_t> bytes, bool thirtyTwoByteStrings,
                             const PropertyNames& names, FileError* error) {
    const auto file =
        bytes.first(std::size_t(std::min<std::uint64_t>(bytes.size(), addressableBytes)));
    if (file.size() < headerSize)
        return fail(error, "the file is shorter than its 16-byte header");

    InfoFile loaded;
    loaded.header = decodeHeader(file);
    const InfoHeader& header = loaded.header;

    if (descriptorTableEnd(header.propertyCount) > file.size())
        return fail(error, "the property table is cut short by the end of the file");
    if (!countsFit(header, file.size()))
        return fail(error, "the header claims more items and properties than the file can hold");

    loaded.descriptors.reserve(header.propertyCount);
    // One prototype per property carries everything but the data, so names are looked up once
    // per property rather than once per value.
    std::vector<PropertyValue> prototypes;
    prototypes.reserve(header.propertyCount);
    for (std::size_t k = 0; k < header.propertyCount; ++k) {
        const PropertyDescriptor descriptor =
            decodeDescriptor(file.subspan(std::size_t(descriptorTableEnd(k))));
        loaded.descriptors.push_back(descriptor);
        prototypes.push_back(makeValue(descriptor, thirtyTwoByteStrings, names));
    }

    loaded.items.resize(header.itemCount);
    for (std::uint32_t i = 0; i < header.itemCount; ++i) {
        std::vector<PropertyValue>& values = loaded.items[i].values;
        values = prototypes;
        for (std::size_t k = 0; k < values.size(); ++k)
            decodeValue(file, valuePosition(header, i, loaded.descriptors[k]), values[k]);
    }

    std::swap(*this, loaded);
    return true;
}

bool InfoFile::load(const std::string& path, const PropertyNames& names, FileError* error) {
    std::vector<std::uint8_t> bytes;
    FileError failure;
    if (!readFile(path, addressableBytes, bytes, failure)) {
        if (error)
            *error = failure;
        return false;
    }
    return loadFromBytes(bytes, pathEndsInInfo(path), names, error);
}

} // namespace kestra
