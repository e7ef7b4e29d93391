#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/info_file.h"
#include "names/documentation_table.h"
#include "support/test_support.h"

namespace kestra::testing {

inline std::string repeated(const std::string& hex, std::size_t times) {
    std::string result;
    for (std::size_t i = 0; i < times; ++i)
        result += hex;
    return result;
}

// Three properties (an integer, a linked float, a string at offset 8) and two items of 24 bytes
// from 0x34; every uncovered byte zero and '@' up to 128 bytes, so load + save gives it back.
inline std::vector<std::uint8_t> canonicalFile() {
    return hexBytes("00000002 00000003 00000034 00000018"
                    "00000064 0000 0000 0000 0000"
                    "000000C8 0001 0002 0004 0002"
                    "0000012C FFFF FFFF 0008 0001"
                    "00000100 3F800000 61626300 7A7A7A7A 7A7A7A7A 7A7A7A7A"
                    "FFFFFFFF 7FC00001 41414141 41414141 41414141 41414141" +
                    repeated("40", 28));
}

// One property (ID 5) of descriptor type `type` at offset 0 of one item at 0x1C, followed by
// `value` (hex) and nothing else.
inline std::vector<std::uint8_t> singleValueFile(const std::string& type, const std::string& value,
                                                 const std::string& linkWords = "0000 0000") {
    return hexBytes("00000001 00000001 0000001C 00000000 00000005" + linkWords + "0000" + type +
                    value);
}

inline DocumentationTable documentationOf(const std::string& text) {
    return parseDocumentation({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

inline InfoFile loaded(const std::vector<std::uint8_t>& bytes,
                       StringWidth stringWidth = StringWidth::Bytes16) {
    static const DocumentationTable noDocumentation;
    InfoFile document;
    FileError error;
    if (!document.loadFromBytes(bytes, stringWidth, noDocumentation, &error))
        throw std::runtime_error("fixture does not load: " + error.message);
    return document;
}

constexpr std::uint64_t smallFileLimit = 1 << 20;

} // namespace kestra::testing
