#include "text/csv_table.h"

#include <charconv>

#include "text/json_writer.h"
#include "text/text_encoding.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// What a streamed table holds of its text at a time.
constexpr std::size_t streamedTableBuffer = std::size_t(1) << 20;

// The ID in the parentheses that end a heading, or false.
bool headingId(std::string_view heading, std::uint32_t& id) {
    const std::size_t open = heading.rfind('(');
    if (open == std::string_view::npos || !heading.ends_with(')'))
        return false;
    const std::string_view digits = heading.substr(open + 1, heading.size() - open - 2);
    if (digits.empty() || digits.front() < '0' || digits.front() > '9')
        return false;
    const auto [end, problem] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    return problem == std::errc() && end == digits.data() + digits.size();
}

// Enough of a cell to recognise it in the table.
constexpr std::size_t longestQuotedCell = 40;

bool isUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The columns past the end of a record of `count` cells that should have had `expected`: the
// first missing one, or the first one too many.
std::size_t firstColumnAmiss(std::size_t count, std::size_t expected) {
    return count < expected ? count + 1 : expected + 1;
}

} // namespace

std::string cellPlace(std::size_t row, std::size_t column) {
    return "row " + std::to_string(row) + ", column " + std::to_string(column);
}

std::string quotedCell(std::string_view cell) {
    const std::string text = asUtf8(cell);
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isUtf8Continuation(text[i]) && ++characters > longestQuotedCell)
            return jsonQuoted(text.substr(0, i) + "…");
    }
    return jsonQuoted(text);
}

std::string propertyHeading(std::string_view name, std::uint32_t id) {
    const std::string number = "(" + std::to_string(id) + ")";
    return name.empty() ? number : std::string(name) + " " + number;
}

TableReader::TableReader(std::string_view text, std::span<const std::uint32_t> propertyIds)
    : reader_(text), propertyIds_(propertyIds.begin(), propertyIds.end()) {
    checkHeading();
}

TableReader::TableReader(CsvInput input, std::span<const std::uint32_t> propertyIds)
    : reader_(std::move(input), streamedTableBuffer),
      propertyIds_(propertyIds.begin(), propertyIds.end()) {
    checkHeading();
}

bool TableReader::nextRecord(CsvRecordView& record) {
    CsvProblem problem;
    if (reader_.next(record, problem))
        return true;
    if (!problem.what.empty())
        throw ToolError(cellPlace(problem.row, problem.column) + ": " + problem.what);
    return false;
}

void TableReader::checkHeading() {
    // Spreadsheets write a byte order mark before it.
    reader_.skipLeading(byteOrderMark);
    CsvRecordView heading;
    if (!nextRecord(heading))
        throw ToolError("row 1: the heading row is missing");
    const std::vector<std::string_view>& cells = heading.fields;
    const std::size_t row = heading.row;
    if (cells.front() != itemHeading)
        throw ToolError(cellPlace(row, 1) + ": the heading " + quotedCell(cells.front()) +
                        " should be \"" + std::string(itemHeading) + "\"");
    for (std::size_t k = 0; k < propertyIds_.size() && k + 1 < cells.size(); ++k) {
        std::uint32_t id = 0;
        if (!headingId(cells[k + 1], id) || id != propertyIds_[k])
            throw ToolError(cellPlace(row, k + 2) + ": the heading " + quotedCell(cells[k + 1]) +
                            " does not name property " + std::to_string(k) + ", ID " +
                            std::to_string(propertyIds_[k]) + " (\"NAME (" +
                            std::to_string(propertyIds_[k]) + ")\")");
    }
    if (cells.size() != propertyIds_.size() + 1)
        throw ToolError(cellPlace(row, firstColumnAmiss(cells.size(), propertyIds_.size() + 1)) +
                        ": " + std::to_string(cells.size()) + " headings where \"" +
                        std::string(itemHeading) + "\" and the file's " +
                        std::to_string(propertyIds_.size()) + " properties make " +
                        std::to_string(propertyIds_.size() + 1));
}

bool TableReader::next(TableRow& row) {
    const CsvRecordView& record = record_;
    if (!nextRecord(record_))
        return false;
    const std::size_t width = propertyIds_.size() + 1;
    if (record.fields.size() != width)
        throw ToolError(cellPlace(record.row, firstColumnAmiss(record.fields.size(), width)) +
                        ": " + std::to_string(record.fields.size()) +
                        " cells where the heading has " + std::to_string(width));
    row.row = record.row;
    row.item = record.fields.front();
    row.cells = std::span(record.fields).subspan(1);
    return true;
}

} // namespace kestra::tool
