#include "text/csv_table.h"

#include <charconv>

#include "text/json_writer.h"
#include "text/text_encoding.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

std::string_view withoutByteOrderMark(std::string_view text) {
    return text.starts_with(byteOrderMark) ? text.substr(byteOrderMark.size()) : text;
}

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

std::string place(std::size_t row, std::size_t column) {
    return "row " + std::to_string(row) + ", column " + std::to_string(column);
}

} // namespace

std::string propertyHeading(std::string_view name, std::uint32_t id) {
    const std::string number = "(" + std::to_string(id) + ")";
    return name.empty() ? number : std::string(name) + " " + number;
}

TableReader::TableReader(std::string_view text, std::span<const std::uint32_t> propertyIds)
    : reader_(withoutByteOrderMark(text)), propertyIds_(propertyIds.begin(), propertyIds.end()) {
    checkHeading();
}

bool TableReader::nextRecord(CsvRecord& record) {
    std::string problem;
    if (reader_.next(record, problem)) {
        ++rows_;
        return true;
    }
    if (!problem.empty())
        throw ToolError(problem);
    return false;
}

void TableReader::checkHeading() {
    CsvRecord heading;
    if (!nextRecord(heading))
        throw ToolError("row 1: the heading row is missing");
    const std::vector<std::string>& cells = heading.fields;
    if (cells.front() != itemHeading)
        throw ToolError(place(1, 1) + ": the heading " + jsonQuoted(asUtf8(cells.front())) +
                        " should be \"" + std::string(itemHeading) + "\"");
    for (std::size_t k = 0; k < propertyIds_.size() && k + 1 < cells.size(); ++k) {
        std::uint32_t id = 0;
        if (!headingId(cells[k + 1], id) || id != propertyIds_[k])
            throw ToolError(place(1, k + 2) + ": the heading " + jsonQuoted(asUtf8(cells[k + 1])) +
                            " does not name property " + std::to_string(k) + ", ID " +
                            std::to_string(propertyIds_[k]) + " (\"NAME (" +
                            std::to_string(propertyIds_[k]) + ")\")");
    }
    if (cells.size() != propertyIds_.size() + 1)
        throw ToolError("row 1: " + std::to_string(cells.size()) + " headings where \"" +
                        std::string(itemHeading) + "\" and the file's " +
                        std::to_string(propertyIds_.size()) + " properties make " +
                        std::to_string(propertyIds_.size() + 1));
}

bool TableReader::next(TableRow& row) {
    CsvRecord record;
    if (!nextRecord(record))
        return false;
    if (record.fields.size() != propertyIds_.size() + 1)
        throw ToolError("row " + std::to_string(rows_) + ": " +
                        std::to_string(record.fields.size()) + " cells where the heading has " +
                        std::to_string(propertyIds_.size() + 1));
    row.row = rows_;
    row.item = std::move(record.fields.front());
    row.cells.assign(std::make_move_iterator(record.fields.begin() + 1),
                     std::make_move_iterator(record.fields.end()));
    return true;
}

} // namespace kestra::tool
