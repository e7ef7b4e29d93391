#include "search/packed_scan.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "format/byte_order.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestra {

namespace {

std::uint32_t nativeWord(const std::uint8_t* bytes) {
    std::uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// The four bytes a document holds for `value`, read as a native word.
std::uint32_t encodedWord(std::uint32_t value) {
    std::uint8_t bytes[4];
    writeBigEndian32(bytes, value);
    return nativeWord(bytes);
}

#if defined(__SSE2__)
// fieldContains for one text that is not empty, sixteen bytes at a time: the places where the
// text's first, second and last bytes stand as they do in the text are found at once, and only
// those inside the field's text are compared whole.
class TextFinder {
public:
    explicit TextFinder(std::string_view text)
        : text_(text), first_(_mm_set1_epi8(text.front())),
          second_(_mm_set1_epi8(text[std::min<std::size_t>(1, text.size() - 1)])),
          last_(_mm_set1_epi8(text.back())) {}

    template <std::uint32_t Width> bool foundIn(const std::uint8_t* field) const {
        const std::size_t size = text_.size();
        if (size > Width)
            return false;
        // No branch on what one comparison found: it would be mispredicted as often as not.
        std::uint64_t starts = equalBytes<Width>(field, first_);
        if (size > 1)
            starts &= equalBytes<Width>(field, second_) >> 1;
        if (size > 2)
            starts &= equalBytes<Width>(field, last_) >> (size - 1);
        if (starts == 0)
            return false;
        const std::uint64_t zeros = equalBytes<Width>(field, _mm_setzero_si128());
        const std::size_t length = zeros != 0 ? std::size_t(std::countr_zero(zeros)) : Width;
        if (size > length)
            return false;
        starts &= (std::uint64_t(1) << (length - size + 1)) - 1;
        for (; starts != 0; starts &= starts - 1) {
            if (std::memcmp(field + std::countr_zero(starts), text_.data(), size) == 0)
                return true;
        }
        return false;
    }

private:
    // Bit i set where byte i of the field equals every byte of `pattern`.
    template <std::uint32_t Width>
    static std::uint64_t equalBytes(const std::uint8_t* field, __m128i pattern) {
        std::uint64_t bits = 0;
        for (std::uint32_t at = 0; at < Width; at += 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(field + at));
            bits |= std::uint64_t(std::uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, pattern))))
                    << at;
        }
        return bits;
    }

    std::string_view text_;
    __m128i first_;
    __m128i second_;
    __m128i last_;
};
#endif

} // namespace

bool fieldContains(const std::uint8_t* field, std::size_t width, std::string_view text) {
    const std::string_view bytes(reinterpret_cast<const char*>(field), width);
    return bytes.substr(0, bytes.find('\0')).find(text) != std::string_view::npos;
}

PackedScan::PackedScan(std::string_view text, std::size_t stride)
    : text_(text), stride_(stride), masks_(stride / 4, 0), expected_(stride / 4, 1) {}

void PackedScan::addWord(std::size_t offset, std::uint32_t mask, std::uint32_t expected) {
    masks_[offset / 4] = mask;
    expected_[offset / 4] = expected & mask;
    anyNumber_ = true;
}

void PackedScan::addInteger(std::size_t offset, std::uint32_t number) {
    addWord(offset, ~std::uint32_t(0), encodedWord(number));
}

void PackedScan::addFloat(std::size_t offset, float number) {
    // A float equals a finite, non-zero number exactly when its bits are the number's.
    const std::uint32_t mask = encodedWord(number == 0 ? 0x7FFFFFFFu : 0xFFFFFFFFu);
    addWord(offset, mask, encodedWord(std::bit_cast<std::uint32_t>(number)));
}

void PackedScan::addString(std::size_t offset, std::uint32_t width) {
    strings_.push_back({offset, width});
}

// Made twice by GCC, the machine's AVX2 chosen at the first call where it has it: the comparison
// of an item's words then takes eight at a time instead of four. (Clang 14 cannot make clones of
// a member function; there the one loop takes four.)
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("avx2", "default")))
#endif
void PackedScan::findItems(const std::uint8_t* items, std::size_t count,
                           std::vector<std::int32_t>& found) const {
    for (std::size_t index = 0; index < count; ++index) {
        if (matches(items + index * stride_))
            found.push_back(std::int32_t(index));
    }
}

inline bool PackedScan::numberMatches(const std::uint8_t* item) const {
    std::uint32_t hits = 0;
    for (std::size_t word = 0; word < masks_.size(); ++word)
        hits |= std::uint32_t((nativeWord(item + 4 * word) & masks_[word]) == expected_[word]);
    return hits != 0;
}

inline bool PackedScan::stringMatches(const std::uint8_t* item) const {
    if (text_.empty())
        return !strings_.empty(); // every text holds the empty text
#if defined(__SSE2__)
    const TextFinder finder(text_);
    return std::any_of(strings_.begin(), strings_.end(), [&](const StringField& string) {
        const std::uint8_t* field = item + string.offset;
        return string.width == 32 ? finder.foundIn<32>(field) : finder.foundIn<16>(field);
    });
#else
    return std::any_of(strings_.begin(), strings_.end(), [&](const StringField& string) {
        return fieldContains(item + string.offset, string.width, text_);
    });
#endif
}

} // namespace kestra
