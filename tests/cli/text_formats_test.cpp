// The tool's text formats on their own: UTF-8 to and from the file's 8-bit texts, CSV reading
// and the table import reads, and the terminal's control-character escapes.
#include <gtest/gtest.h>

#include <array>
#include <span>
#include <tuple>

#include "text/control_escapes.h"
#include "text/csv_format.h"
#include "text/csv_table.h"
#include "text/text_encoding.h"
#include "tool_error.h"

namespace kestra::tool {
namespace {

TEST(Utf8Text, NarrowsValidTextAndRefusesMalformedSequences) {
    const struct {
        std::string_view utf8;
        bool valid;
        std::string_view narrowed; // as the editor narrows typed text
        bool exact;                // whether narrowing keeps every character
    } cases[] = {
        {"plain", true, "plain", true},
        {"\xC3\xA9t\xC3\xA9", true, "\xE9t\xE9", true},  // é is byte 0xE9
        {"\xE2\x82\xAC", true, "?", false},              // € is outside ISO-8859-1
        {"\xF0\x9F\x98\x80!", true, "?!", false},        // one character beyond the BMP
        {std::string_view("a\0b", 3), true, "a", false}, // narrowed text ends at a zero
        {"\xC0\xAF", false, "", false},                  // overlong "/"
        {"\xED\xA0\x80", false, "", false},              // a surrogate
        {"\xE2\x82", false, "", false},                  // cut short
        {"\xF4\x90\x80\x80", false, "", false},          // past U+10FFFF
        {"\x80", false, "", false},                      // a lone continuation byte
        {"\xFF", false, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.utf8));
        std::string narrowed = "unchanged";
        EXPECT_EQ(narrowUtf8(c.utf8, narrowed), c.valid);
        if (c.valid) {
            EXPECT_EQ(narrowed, c.narrowed);
        }
        std::string exact;
        EXPECT_EQ(narrowUtf8Exactly(c.utf8, exact), c.exact);
        // A path that is not UTF-8 is shown byte by byte instead.
        EXPECT_EQ(asUtf8(c.utf8), c.valid ? std::string(c.utf8) : bytesToUtf8(c.utf8));
    }
}

TEST(Utf8Text, EveryNonZeroByteWidensAndNarrowsBackExactly) {
    std::string bytes;
    for (int byte = 1; byte <= 0xFF; ++byte)
        bytes += char(byte);
    std::string back;
    ASSERT_TRUE(narrowUtf8Exactly(bytesToUtf8(bytes), back));
    EXPECT_EQ(back, bytes);
}

using Records = std::vector<std::vector<std::string>>;

Records fieldsOf(const std::vector<CsvRecord>& records) {
    Records fields;
    for (const CsvRecord& record : records)
        fields.push_back(record.fields);
    return fields;
}

TEST(CsvReading, ReadsRfc4180AndNamesTheLineOfAProblem) {
    const struct {
        std::string_view text;
        Records records;
        std::vector<std::size_t> lines;
        std::string_view problem;
    } cases[] = {
        {"a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}, {1, 2}, ""},
        {"a,b\nc,d", {{"a", "b"}, {"c", "d"}}, {1, 2}, ""},
        {",,\n", {{"", "", ""}}, {1}, ""},
        {"\n\r\nx\n\n", {{"x"}}, {3}, ""},
        {"\"a,b\",\"say \"\"hi\"\"\"\n", {{"a,b", "say \"hi\""}}, {1}, ""},
        {"\"two\nlines\",x\ny\n", {{"two\nlines", "x"}, {"y"}}, {1, 3}, ""},
        {"a\n\"open,b\nc\n", {}, {}, "line 2: a quoted field is not closed"},
        {"\"a\"b,c\n", {}, {}, "line 1: text after a closing quote"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        std::vector<CsvRecord> records;
        std::string problem;
        const bool read = parseCsv(c.text, records, problem);
        EXPECT_EQ(read, c.problem.empty());
        EXPECT_EQ(problem, c.problem);
        if (!read)
            continue;
        EXPECT_EQ(fieldsOf(records), c.records);
        std::vector<std::size_t> lines;
        for (const CsvRecord& record : records)
            lines.push_back(record.line);
        EXPECT_EQ(lines, c.lines);
    }
}

// Records cut anywhere by a buffer of a few bytes: a doubled quote, a CR LF, a quoted line end.
TEST(CsvReading, ARecordSplitAcrossTheBufferEdgeReadsAsIfWhole) {
    for (const std::string text : {"ab,\"c\"\"d\"\r\n\"two\nlines\",x\n\ny\r", "a\n\"open,b\n"}) {
        std::vector<CsvRecord> whole;
        std::string wholeProblem;
        parseCsv(text, whole, wholeProblem);
        for (std::size_t size = 1; size < 6; ++size) {
            SCOPED_TRACE(text + " through " + std::to_string(size) + " bytes");
            std::size_t taken = 0;
            CsvReader reader(
                [&](std::span<char> out) {
                    const std::size_t count = text.copy(out.data(), out.size(), taken);
                    taken += count;
                    return count;
                },
                size);
            CsvRecord record;
            CsvProblem problem;
            for (const CsvRecord& expected : whole) {
                ASSERT_TRUE(reader.next(record, problem));
                EXPECT_EQ(std::tie(record.fields, record.line, record.row),
                          std::tie(expected.fields, expected.line, expected.row));
            }
            EXPECT_FALSE(reader.next(record, problem));
            EXPECT_EQ(problem.what.empty() ? "" : problem.lineText(), wholeProblem);
        }
    }
}

TEST(CsvReading, AWrittenFieldReadsBackAsItWas) {
    for (const std::string_view field :
         {"", "plain", "a,b", "\"", "say \"hi\"", "cr\rlf\n", "\r\n", " spaced ", "=1+2"}) {
        SCOPED_TRACE(std::string(field));
        const std::string text =
            csvField(field) + "," + csvField(field) + std::string(csvRecordEnd);
        std::vector<CsvRecord> records;
        std::string problem;
        ASSERT_TRUE(parseCsv(text, records, problem)) << problem;
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].fields, std::vector<std::string>(2, std::string(field)));
    }
}

TEST(CsvTable, ChecksTheHeadingByIdAndEveryRowsWidth) {
    const std::array<std::uint32_t, 2> ids = {1002, 7};
    const struct {
        std::string_view text;
        std::string_view problem; // empty: the table reads
    } cases[] = {
        {"Item #,Wingspan (cm) (1002),(7)\r\n0,1,2\r\n", ""},
        {"\xEF\xBB\xBFItem #,Other name (1002),x (7)\n", ""}, // a byte order mark; names ignored
        {"", "row 1: the heading row is missing"},
        {"Item,(1002),(7)\n", "row 1, column 1: the heading \"Item\" should be \"Item #\""},
        {"Item #,(1003),(7)\n", "row 1, column 2: the heading \"(1003)\" does not name property 0"},
        {"Item #,(1002),7\n", "row 1, column 3: the heading \"7\" does not name property 1"},
        {"Item #,(1002),(7) \n", "row 1, column 3"},
        {"Item #,(1002)\n",
         "row 1, column 3: 2 headings where \"Item #\" and the file's 2 properties make 3"},
        {"Item #,(1002),(7)\n0,\"two\nlines\",x\n1,2\n",
         "row 3, column 3: 2 cells where the heading has 3"},
        {"Item #,(1002),(7)\n0,1,2,3\n", "row 2, column 4: 4 cells where the heading has 3"},
        {"Item #,(1002),(7)\n0,\"open\n", "row 2, column 2: a quoted field is not closed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        std::string problem;
        std::vector<TableRow> rows;
        try {
            TableReader reader(c.text, ids);
            for (TableRow row; reader.next(row);)
                rows.push_back(row);
        } catch (const ToolError& error) {
            problem = error.what();
        }
        EXPECT_TRUE(problem.starts_with(c.problem)) << problem;
        EXPECT_EQ(problem.empty(), c.problem.empty()) << problem;
    }
}

TEST(CsvTable, RowsCountAsASpreadsheetCountsThem) {
    const std::array<std::uint32_t, 1> ids = {5};
    TableReader reader("Item #,(5)\n0,\"a\nb\"\n\n7,c\n", ids);
    TableRow row;
    ASSERT_TRUE(reader.next(row));
    EXPECT_EQ(row.row, 2u);
    EXPECT_EQ(row.item, "0");
    EXPECT_EQ(std::vector<std::string>(row.cells.begin(), row.cells.end()),
              std::vector<std::string>{"a\nb"});
    ASSERT_TRUE(reader.next(row));
    EXPECT_EQ(row.row, 4u); // the empty line is a row of its own
    EXPECT_EQ(row.item, "7");
    EXPECT_FALSE(reader.next(row));
    EXPECT_EQ(propertyHeading("Wingspan (cm)", 1002), "Wingspan (cm) (1002)");
    EXPECT_EQ(propertyHeading("", 2000), "(2000)");
}

TEST(ControlEscapes, ShowControlsAsCatDoesWhereverTheTextIsCut) {
    const struct {
        std::vector<std::string_view> pieces;
        std::string_view shown;
    } cases[] = {
        {{"\x1B]0;title\x07"}, "^[]0;title^G"},
        {{"tab\there\nnext"}, "tab\there\nnext"},
        {{"a\r\nb\r\n"}, "a\r\nb\r\n"},
        {{"over\rwrite"}, "over^Mwrite"},
        {{"end\r"}, "end^M"},
        {{"a\r", "\nb"}, "a\r\nb"},
        {{"\x7F", std::string_view("\0", 1)}, "^?^@"},
        {{"\xC2\x9B"
          "2J"},
         "M-^[2J"}, // the UTF-8 form of CSI
        {{"\xC2", "\x9B"}, "M-^["},
        {{"\xC2\xA9 \xC3\xA9"}, "\xC2\xA9 \xC3\xA9"}, // © and é pass
        {{"\xC2"}, "\xC2"},
        {{"\xC2\r\n"}, "\xC2\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.shown));
        ControlEscaper escaper;
        std::string out;
        for (const std::string_view piece : c.pieces)
            escaper.escape(piece, out);
        escaper.finish(out);
        EXPECT_EQ(out, c.shown);
    }
}

} // namespace
} // namespace kestra::tool
