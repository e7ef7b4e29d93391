#include "synthetic_info.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <memory>
#include <vector>

#include "document/info_file.h"
#include "format/byte_order.h"

namespace kestra {

namespace {

// splitmix64: tiny, and the same sequence on every platform and compiler.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    std::uint32_t below(std::uint32_t bound) { return std::uint32_t(next() % bound); }

private:
    std::uint64_t state_;
};

// Any type code other than string and float is an integer.
constexpr std::uint16_t integerType = 0;
constexpr std::uint16_t stringType = stringDescriptorType;
constexpr std::uint16_t floatType = floatDescriptorType;
constexpr std::uint32_t firstPropertyId = 1000;
// Items are written in batches of this many, so the generator's memory stays small.
constexpr std::uint32_t itemsPerBatch = 8192;
// Keeps the values of a file apart from the shape of its properties.
constexpr std::uint64_t valueSeedMix = 0x5DEECE66Du;

constexpr std::array<std::string_view, 16> words = {
    "Ember",  "Frost", "Granite", "Willow", "Harbor", "Falcon",  "Copper", "Meadow",
    "Quartz", "Thorn", "Saffron", "Cinder", "Marble", "Juniper", "Basalt", "Lantern"};

struct SyntheticShape {
    std::vector<PropertyDescriptor> descriptors;
    std::uint32_t itemLength = 0;
    std::uint32_t firstItemOffset = 0;
    bool fits = true; // every value offset fits in 16 bits
};

// The property table of every file made with `seed`: the type mix shuffled, IDs rising in
// irregular steps, a quarter of the properties linked, the rest split between the two unlinked
// word pairs, values packed one after the other.
SyntheticShape syntheticShape(std::uint64_t seed, std::uint32_t properties, std::uint32_t width) {
    const std::uint32_t integers = properties * 3 / 5;
    const std::uint32_t floats = properties / 4;
    std::vector<std::uint16_t> types;
    types.insert(types.end(), integers, integerType);
    types.insert(types.end(), floats, floatType);
    types.insert(types.end(), properties - integers - floats, stringType);
    Random random(seed);
    for (std::size_t k = types.size() - 1; k > 0; --k)
        std::swap(types[k], types[random.below(std::uint32_t(k + 1))]);

    SyntheticShape shape;
    shape.firstItemOffset = std::uint32_t(descriptorTableEnd(properties));
    std::uint32_t id = firstPropertyId;
    std::uint32_t offset = 0;
    for (std::uint16_t type : types) {
        PropertyDescriptor descriptor;
        descriptor.id = id;
        descriptor.type = type;
        descriptor.offset = std::uint16_t(offset);
        if (random.below(4) == 0) {
            descriptor.linkWord1 = std::uint16_t(1 + random.below(0xFFFE));
            descriptor.linkWord2 = std::uint16_t(random.below(0x10000));
        } else if (random.below(2) == 0) {
            descriptor.linkWord1 = descriptor.linkWord2 = 0xFFFF;
        }
        shape.descriptors.push_back(descriptor);
        shape.fits = shape.fits && offset <= 0xFFFF;
        id += 1 + random.below(40);
        offset += type == stringType ? width : 4;
    }
    shape.itemLength = offset;
    return shape;
}

// A word and a number ("Harbor 4217"), now and then a field filled to its last byte.
void writeString(Random& random, std::uint8_t* field, std::uint32_t width) {
    if (random.below(64) == 0) {
        std::fill_n(field, width, std::uint8_t('A' + random.below(26)));
        return;
    }
    char text[48];
    const int length = std::snprintf(
        text, sizeof text, "%s %u", words[random.below(words.size())].data(), random.below(100000));
    std::copy_n(text, std::min<std::uint32_t>(std::uint32_t(length), width), field);
}

// Quarters in -1000..1000 or hundredths in -10000..10000, as measured quantities tend to be.
float syntheticFloat(Random& random) {
    if (random.below(2) == 0)
        return float(int(random.below(8001)) - 4000) / 4.0f;
    return float(int(random.below(2000001)) - 1000000) / 100.0f;
}

// Mostly small counts and codes, the rest anywhere in 32 bits.
std::uint32_t syntheticInteger(Random& random) {
    return random.below(10) < 7 ? random.below(1000) : std::uint32_t(random.next());
}

void writeItem(Random& random, const std::vector<PropertyDescriptor>& descriptors,
               std::uint32_t width, std::uint8_t* item) {
    for (const PropertyDescriptor& descriptor : descriptors) {
        std::uint8_t* field = item + descriptor.offset;
        switch (descriptor.type) {
        case stringType:
            writeString(random, field, width);
            break;
        case floatType:
            writeBigEndian32(field, std::bit_cast<std::uint32_t>(syntheticFloat(random)));
            break;
        default:
            writeBigEndian32(field, syntheticInteger(random));
            break;
        }
    }
}

std::vector<std::uint8_t> headerAndTable(std::uint32_t itemCount, const SyntheticShape& shape) {
    const std::vector<PropertyDescriptor>& descriptors = shape.descriptors;
    std::vector<std::uint8_t> bytes(shape.firstItemOffset);
    encodeHeader(
        {itemCount, std::uint32_t(descriptors.size()), shape.firstItemOffset, shape.itemLength},
        bytes);
    for (std::size_t k = 0; k < descriptors.size(); ++k)
        encodeDescriptor(descriptors[k], std::span(bytes).subspan(descriptorTableEnd(k)));
    return bytes;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool writeBytes(std::FILE* file, const std::uint8_t* bytes, std::size_t size) {
    return std::fwrite(bytes, 1, size, file) == size;
}

} // namespace

bool writeSyntheticInfo(const std::string& path, std::uint64_t values, std::uint64_t seed,
                        std::uint32_t properties) {
    const auto width = std::uint32_t(stringWidthForPath(path));
    const SyntheticShape shape = syntheticShape(seed, properties, width);
    if (properties == 0 || !shape.fits)
        return false;
    const std::uint32_t itemLength = shape.itemLength;
    const std::uint32_t itemCount = std::uint32_t((values + properties - 1) / properties);

    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return false;
    const std::vector<std::uint8_t> head = headerAndTable(itemCount, shape);
    bool written = writeBytes(file.get(), head.data(), head.size());

    Random random(seed ^ valueSeedMix);
    std::vector<std::uint8_t> batch;
    for (std::uint32_t first = 0; written && first < itemCount; first += itemsPerBatch) {
        const std::uint32_t count = std::min(itemsPerBatch, itemCount - first);
        batch.assign(std::size_t(count) * itemLength, 0);
        for (std::uint32_t i = 0; i < count; ++i)
            writeItem(random, shape.descriptors, width, &batch[std::size_t(i) * itemLength]);
        written = writeBytes(file.get(), batch.data(), batch.size());
    }

    const std::uint64_t size = shape.firstItemOffset + std::uint64_t(itemCount) * itemLength;
    const std::vector<std::uint8_t> padding(paddedEnd(size) - size, paddingByte);
    written = written && writeBytes(file.get(), padding.data(), padding.size());
    return std::fclose(file.release()) == 0 && written;
}

bool writeSyntheticDocumentation(const std::string& path, std::uint64_t seed,
                                 std::uint32_t properties) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "w"));
    if (!file)
        return false;
    bool written = std::fputs("Synthetic property names for the benchmarks\n", file.get()) >= 0;
    const std::vector<PropertyDescriptor> descriptors =
        syntheticShape(seed, properties, 0).descriptors;
    for (std::size_t k = 0; k < descriptors.size(); k += 2)
        written = written && std::fprintf(file.get(), "(%u) \"%s %zu\"\n", descriptors[k].id,
                                          words[k % words.size()].data(), k) > 0;
    return std::fclose(file.release()) == 0 && written;
}

} // namespace kestra
