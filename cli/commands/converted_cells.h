#pragma once

#include <cstddef>
#include <map>
#include <ostream>
#include <string>
#include <string_view>

namespace kestra::tool {

// Whether `typed` is `held` as a spreadsheet rewrites a string it took for a number: leading
// zeros or surrounding spaces gone ("01" as "1", " 3" as "3").
bool looksConvertedToNumber(std::string_view held, std::string_view typed);

// The string columns of an imported table whose cells a spreadsheet seems to have converted,
// noted a row at a time, told as one warning line per column.
class ConvertedColumns {
public:
    void note(std::size_t column, std::string_view heading, std::size_t row, std::string_view held,
              std::string_view typed);
    void warn(std::ostream& err, const std::string& table) const;

private:
    struct Column {
        std::string heading;
        std::size_t cells = 0;
        std::string example;
    };
    std::map<std::size_t, Column> columns_;
};

} // namespace kestra::tool
