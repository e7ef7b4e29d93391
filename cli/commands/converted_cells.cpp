#include "commands/converted_cells.h"

#include "text/json_writer.h"

namespace kestra::tool {

bool looksConvertedToNumber(std::string_view held, std::string_view typed) {
    std::string_view number = held;
    while (!number.empty() && number.front() == ' ')
        number.remove_prefix(1);
    while (!number.empty() && number.back() == ' ')
        number.remove_suffix(1);
    while (number.size() > 1 && number.front() == '0' && number[1] >= '0' && number[1] <= '9')
        number.remove_prefix(1);
    const bool digits =
        !number.empty() && number.find_first_not_of("0123456789") == std::string_view::npos;
    return digits && number != held && number == typed;
}

void ConvertedColumns::note(std::size_t column, std::string_view heading, std::size_t row,
                            std::string_view held, std::string_view typed) {
    Column& noted = columns_[column];
    if (noted.cells++ == 0) {
        noted.heading = heading;
        noted.example = "row " + std::to_string(row) + " holds " + jsonQuoted(typed) +
                        " for the file's " + jsonQuoted(held);
    }
}

void ConvertedColumns::warn(std::ostream& err, const std::string& table) const {
    for (const auto& [column, noted] : columns_)
        err << "kestra-tool: warning: " << table << ": column " << column << " (" << noted.heading
            << "): " << noted.cells
            << " string cells lost leading zeros or spaces, as a spreadsheet that reads them as "
               "numbers does ("
            << noted.example << "); they were stored so. Open the table with quoted fields as "
            << "text to keep them\n";
}

} // namespace kestra::tool
