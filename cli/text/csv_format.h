#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestra::tool {

// CSV as RFC 4180 has it: fields holding a comma, a double quote, CR or LF are quoted, with
// quotes doubled; records end with CR LF.
inline constexpr std::string_view csvRecordEnd = "\r\n";

std::string csvField(std::string_view text);

struct CsvRecord {
    std::size_t line = 0; // where the record starts, counting from 1
    std::vector<std::string> fields;
};

// Reads CSV text; records end with LF or CR LF, and empty lines are skipped. False, with
// `problem` naming the line, for a quoted field that is not closed or has text after its
// closing quote.
bool parseCsv(std::string_view text, std::vector<CsvRecord>& records, std::string& problem);

} // namespace kestra::tool
