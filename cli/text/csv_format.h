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
// The field always quoted: a spreadsheet told to keep quoted fields as text then keeps "01" and
// " 3" as they are, where it would read them as numbers.
std::string csvQuotedField(std::string_view text);

struct CsvRecord {
    std::size_t line = 0; // where the record starts, counting from 1
    std::size_t row = 0;  // counting records from 1, empty lines too, as a spreadsheet does
    std::vector<std::string> fields;
};

// Text that is not CSV: what is wrong, the line it is on, and the row and field (from 1) where
// a spreadsheet would show it.
struct CsvProblem {
    std::string what; // empty when there is none
    std::size_t line = 0;
    std::size_t row = 0;
    std::size_t column = 0;

    std::string lineText() const { return "line " + std::to_string(line) + ": " + what; }
};

// Reads CSV text one record at a time; records end with LF or CR LF, and empty lines are
// skipped. A quoted field that is not closed, or has text after its closing quote, is a
// problem.
class CsvReader {
public:
    explicit CsvReader(std::string_view text) : text_(text) {}

    // The next record: false at the end of the text, or on a problem (then `problem` says it).
    bool next(CsvRecord& record, CsvProblem& problem);

private:
    bool atRecordEnd() const;
    void skipRecordEnd();
    bool readRecord(std::vector<std::string>& fields, CsvProblem& problem);
    bool readQuoted(std::string& field, CsvProblem& problem, std::size_t column);
    void fail(CsvProblem& problem, std::string what, std::size_t line, std::size_t column) const;

    std::string_view text_;
    std::size_t position_ = 0;
    std::size_t line_ = 1;
    std::size_t row_ = 0;
};

// Reads every record of CSV text. False, with `problem` naming the line, as CsvReader.
bool parseCsv(std::string_view text, std::vector<CsvRecord>& records, std::string& problem);

} // namespace kestra::tool
