#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace kestra {

// One search's comparisons, made on an item's packed bytes as the document holds them, so that
// a scan decodes nothing: the search number encoded once as a value's bytes, the string fields
// searched for the text where a quick look finds its first bytes. The rule it follows is
// valueMatches's.
class PackedScan {
public:
    // For items of `stride` bytes; `text` must outlive the scan.
    PackedScan(std::string_view text, std::size_t stride);
    // Adds a property whose values take part, at `offset` in each item: an integer value matches
    // `number`; a float value equals `number` (finite; 0 equals -0); a string value holds the
    // text.
    void addInteger(std::size_t offset, std::uint32_t number);
    void addFloat(std::size_t offset, float number);
    void addString(std::size_t offset, std::uint32_t width);

    bool empty() const { return !anyNumber_ && strings_.empty(); }
    // Appends to `found`, in ascending order, the index of every item of the `count` items at
    // `items` (`stride` bytes apart) that holds a matching value.
    void findItems(const std::uint8_t* items, std::size_t count,
                   std::vector<std::int32_t>& found) const;

private:
    struct StringField {
        std::size_t offset;
        std::uint32_t width;
    };

    void addWord(std::size_t offset, std::uint32_t mask, std::uint32_t expected);

    bool matches(const std::uint8_t* item) const {
        return (anyNumber_ && numberMatches(item)) || stringMatches(item);
    }
    // Every word of the item at once, so that the compiler can compare several per instruction;
    // a word no number takes part in has a mask of 0 and expects 1, which it never is.
    bool numberMatches(const std::uint8_t* item) const;
    bool stringMatches(const std::uint8_t* item) const;

    std::string_view text_;
    std::size_t stride_;
    std::vector<std::uint32_t> masks_;    // one per four-byte word of an item
    std::vector<std::uint32_t> expected_; // likewise
    bool anyNumber_ = false;
    std::vector<StringField> strings_;
};

// The bytes of a string field up to its first zero byte (or all of them) contain `text`.
bool fieldContains(const std::uint8_t* field, std::size_t width, std::string_view text);

} // namespace kestra
