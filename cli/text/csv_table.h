#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text/csv_format.h"

namespace kestra::tool {

// The table that `dump --format csv` writes and `import` reads back: a heading row, "Item #" and
// then "NAME (ID)" for each property in descriptor order ("(ID)" alone when the name is empty),
// then one row per item, its index first and then its values.
inline constexpr std::string_view itemHeading = "Item #";
// "Wingspan (cm) (1002)", "(2000)"; `name` is UTF-8.
std::string propertyHeading(std::string_view name, std::uint32_t id);

// "row 3, column 2".
std::string cellPlace(std::size_t row, std::size_t column);
// A cell's text as an error line quotes it: as a JSON string, cut after 40 characters with "…",
// so that a huge cell does not make a huge line.
std::string quotedCell(std::string_view cell);

// A row's cells are the reader's: they last until it reads the next row.
struct TableRow {
    std::size_t row = 0; // counting records from 1, the heading being row 1, as a spreadsheet does
    std::string_view item;                   // the "Item #" cell
    std::span<const std::string_view> cells; // one per property, UTF-8
};

// Reads such a table row by row. The heading must name the given property IDs in order; the
// names before them are not compared, so a table written with or without names reads the same.
// A leading UTF-8 byte order mark, which spreadsheets write, is skipped. Throws ToolError
// "row R, column C: ..." for a heading that does not match, a row of another width or text that
// is not CSV.
class TableReader {
public:
    TableReader(std::string_view text, std::span<const std::uint32_t> propertyIds);
    // The table read from `input` a piece at a time.
    TableReader(CsvInput input, std::span<const std::uint32_t> propertyIds);

    // The next row; false at the end of the table.
    bool next(TableRow& row);

private:
    bool nextRecord(CsvRecordView& record);
    void checkHeading();

    CsvReader reader_;
    std::vector<std::uint32_t> propertyIds_;
    CsvRecordView record_; // the row's cells
};

} // namespace kestra::tool
