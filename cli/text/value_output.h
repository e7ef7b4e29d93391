#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

#include "document/value_ref.h"

namespace kestra::tool {

// Output gathered in one reused buffer and written to the stream in large blocks, so that a dump
// of millions of values makes few writes.
class OutputBuffer {
public:
    explicit OutputBuffer(std::ostream& out);

    std::string text;

    // Writes what is held once it has grown large; call between records, where no text is half
    // built.
    void flushIfFull() {
        if (text.size() >= blockSize)
            flush();
    }
    void flush();

private:
    static constexpr std::size_t blockSize = std::size_t(1) << 20;
    std::ostream& out_;
};

// The most bytes a value's text takes in UTF-8: 32 string bytes of two bytes each.
inline constexpr std::size_t longestValueText = 64;
// A value's text written into `out` (at least longestValueText bytes), in UTF-8; returns its
// length. The lists' text: strings up to their first zero byte, each byte the character of the
// same number; floats with six decimals; integers unsigned.
std::size_t displayTextInto(const ConstValueRef& value, char* out);
// The text that reads back exactly: floats in their shortest round-trip form, the rest as shown.
std::size_t exactTextInto(const ConstValueRef& value, char* out);

// `text` as a quoted CSV field, its quotes doubled.
void appendQuotedCsvField(std::string& out, std::string_view text);
// `utf8` as a JSON string, quotes included.
void appendJsonString(std::string& out, std::string_view utf8);
// The most bytes the JSON string of `bytes` UTF-8 bytes takes: each a "\u00XX", and the quotes.
constexpr std::size_t jsonStringBound(std::size_t bytes) {
    return 6 * bytes + 2;
}
// appendJsonString's text written at `out` (room for jsonStringBound); returns its end. The
// writers of millions of values build each value's text in place with these, then append it
// once: each small append to a string costs more than the bytes it adds.
char* jsonStringInto(std::string_view utf8, char* out);
// The value as a JSON value: a number where it is an integer or a finite float, else a string.
void appendJsonValue(std::string& out, const ConstValueRef& value);
// The field's bytes, two upper-case hex digits each.
void appendHex(std::string& out, const ConstValueRef& value);
// appendHex's digits written at `out` (room for twice the field); returns their end.
char* hexInto(const ConstValueRef& value, char* out);
// A number in decimal.
void appendNumber(std::string& out, std::uint64_t number);

} // namespace kestra::tool
