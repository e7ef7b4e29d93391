#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <span>
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

// A record whose fields are views, of the text the reader holds or of its own copy of a field
// whose quotes were doubled: nothing is copied, and the views last until the reader reads on.
struct CsvRecordView {
    std::size_t line = 0;
    std::size_t row = 0;
    std::vector<std::string_view> fields;
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

// Where a reader that streams its text gets more: fills the span from where the text read so
// far ends and says how many bytes it put there, fewer than asked only at the end of the text.
using CsvInput = std::function<std::size_t(std::span<char>)>;

// Reads CSV text one record at a time; records end with LF or CR LF, and empty lines are
// skipped. A quoted field that is not closed, or has text after its closing quote, is a
// problem.
class CsvReader {
public:
    explicit CsvReader(std::string_view text) : text_(text) {}
    // Reads the text from `input` as it goes, holding `bufferSize` bytes of it at a time (more
    // only while one record is longer), so that a large table does not take its size in memory.
    CsvReader(CsvInput input, std::size_t bufferSize);

    // The next record: false at the end of the text, or on a problem (then `problem` says it).
    bool next(CsvRecord& record, CsvProblem& problem);
    bool next(CsvRecordView& record, CsvProblem& problem);
    // Steps over `prefix` where the text begins with it (a byte order mark).
    void skipLeading(std::string_view prefix);

private:
    bool nextInHeldText(CsvRecordView& record, CsvProblem& problem);
    bool endsAt(std::size_t position) const;
    bool atRecordEnd() const;
    void skipRecordEnd();
    bool readRecord(std::vector<std::string_view>& fields, CsvProblem& problem);
    // Steps over a field that is not quoted, to its comma or its record's end.
    void skipBareField();
    bool readQuoted(std::string_view& field, CsvProblem& problem, std::size_t column);
    void fail(CsvProblem& problem, std::string what, std::size_t line, std::size_t column) const;
    void readMore();

    std::string_view text_; // what is held of the text, from the start of the buffer
    std::size_t position_ = 0;
    std::size_t line_ = 1;
    std::size_t row_ = 0;
    // Streaming: the buffer, whether the input has ended, and whether the record being read ran
    // into the end of what is held (then it is read again once more is held).
    CsvInput input_;
    std::vector<char> buffer_;
    bool inputEnded_ = true;
    mutable bool ranOut_ = false;
    std::deque<std::string> unquoted_; // the record's fields whose doubled quotes were undone
};

// Reads every record of CSV text. False, with `problem` naming the line, as CsvReader.
bool parseCsv(std::string_view text, std::vector<CsvRecord>& records, std::string& problem);

} // namespace kestra::tool
