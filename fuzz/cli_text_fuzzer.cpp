// The tool's own parsers on arbitrary bytes: UTF-8 to and from the file's 8-bit texts, CSV
// reading and writing, the table that import reads, the terminal's control escapes, and the
// command line (the input split at zero bytes into arguments).
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "command_line.h"
#include "fuzz_support.h"
#include "text/control_escapes.h"
#include "text/csv_format.h"
#include "text/csv_table.h"
#include "text/text_encoding.h"
#include "tool_error.h"

namespace {

using namespace kestra;
using namespace kestra::fuzz;
using namespace kestra::tool;

bool isUtf8(std::string_view text) {
    return asUtf8(text) == text;
}

void checkUtf8(std::string_view bytes) {
    std::string narrowed;
    const bool valid = narrowUtf8(bytes, narrowed);
    require(valid == isUtf8(bytes), "text narrows exactly when it is valid UTF-8");
    require(isUtf8(asUtf8(bytes)), "what the tool prints of a path is UTF-8");
    require(isUtf8(bytesToUtf8(bytes)), "a file's text widens to UTF-8");
    if (valid)
        require(narrowed.size() <= bytes.size() && narrowed.find('\0') == std::string::npos,
                "narrowing never grows the text, and it ends at a zero");
    std::string exact;
    if (narrowUtf8Exactly(bytes, exact))
        require(bytesToUtf8(exact) == bytes, "exact narrowing loses nothing");
    // Every 8-bit text the tool shows comes back byte for byte (up to a zero, where text ends).
    const std::string_view untilZero = bytes.substr(0, bytes.find('\0'));
    require(narrowUtf8Exactly(bytesToUtf8(untilZero), exact) && exact == untilZero,
            "a shown text reads back as the same bytes");
}

void checkCsv(std::string_view text) {
    std::vector<CsvRecord> records;
    std::string problem;
    if (!parseCsv(text, records, problem)) {
        require(problem.starts_with("line "), "a CSV problem names its line");
        return;
    }
    std::string written;
    for (const CsvRecord& record : records) {
        require(record.fields.size() > 1 || !record.fields[0].empty(), "no empty record");
        for (std::size_t i = 0; i < record.fields.size(); ++i)
            written += (i ? "," : "") + csvField(record.fields[i]);
        written += csvRecordEnd;
    }
    std::vector<CsvRecord> reread;
    require(parseCsv(written, reread, problem), "written CSV reads");
    require(std::ranges::equal(
                records, reread,
                [](const CsvRecord& a, const CsvRecord& b) { return a.fields == b.fields; }),
            "read, written and read again, CSV keeps every field");
}

// Read a few bytes at a time, as import streams a table, CSV gives the same records and problem
// as read whole, wherever a field or a record end falls on the buffer's edge.
void checkStreamedCsv(std::string_view text) {
    const std::size_t bufferSize = text.empty() ? 1 : 1 + std::uint8_t(text[0]) % 16;
    std::string_view rest = text;
    CsvReader streamed(
        [&](std::span<char> out) {
            const std::size_t count = rest.copy(out.data(), out.size());
            rest.remove_prefix(count);
            return count;
        },
        bufferSize);
    CsvReader whole(text);
    CsvRecord wholeRecord, streamedRecord;
    CsvProblem wholeProblem, streamedProblem;
    for (bool more = true; more;) {
        more = whole.next(wholeRecord, wholeProblem);
        require(streamed.next(streamedRecord, streamedProblem) == more &&
                    (!more || (streamedRecord.fields == wholeRecord.fields &&
                               streamedRecord.row == wholeRecord.row &&
                               streamedRecord.line == wholeRecord.line)),
                "a streamed record reads as the whole text's");
    }
    require(streamedProblem.lineText() == wholeProblem.lineText() &&
                streamedProblem.column == wholeProblem.column,
            "a streamed problem is the whole text's");
}

// The table import reads, for a file of two properties with IDs 1 and 2.
void checkTable(std::string_view text) {
    constexpr std::array<std::uint32_t, 2> ids = {1, 2};
    try {
        TableReader reader(text, ids);
        std::size_t lastRow = 1;
        for (TableRow row; reader.next(row);) {
            require(row.cells.size() == ids.size(), "every row has a cell per property");
            require(row.row > lastRow, "rows count up after the heading, empty lines among them");
            lastRow = row.row;
        }
    } catch (const ToolError& error) {
        const std::string_view message = error.what();
        require(message.starts_with("row ") || message.starts_with("line "),
                "a table problem names its row or line");
    }
}

bool shownSafely(std::string_view shown) {
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const auto byte = std::uint8_t(shown[i]);
        if (byte == '\r' && (i + 1 == shown.size() || shown[i + 1] != '\n'))
            return false;
        if ((byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') || byte == 0x7F)
            return false;
        if (byte == 0xC2 && i + 1 < shown.size() && std::uint8_t(shown[i + 1]) >= 0x80 &&
            std::uint8_t(shown[i + 1]) <= 0x9F)
            return false;
    }
    return true;
}

void checkEscapes(std::string_view bytes) {
    ControlEscaper whole;
    std::string shown;
    whole.escape(bytes, shown);
    whole.finish(shown);
    require(shownSafely(shown), "a terminal is shown no control character but tab and line ends");
    // However the text is cut into writes, the terminal sees the same.
    ControlEscaper pieces;
    std::string shownInPieces;
    const std::size_t cut = bytes.empty() ? 0 : std::uint8_t(bytes[0]) % bytes.size();
    pieces.escape(bytes.substr(0, cut), shownInPieces);
    pieces.escape(bytes.substr(cut), shownInPieces);
    pieces.finish(shownInPieces);
    require(shownInPieces == shown, "escapes do not depend on where the text is cut");
}

void checkArguments(std::string_view bytes) {
    std::vector<std::string> arguments;
    for (std::size_t at = 0; at <= bytes.size();) {
        const std::size_t end = std::min(bytes.find('\0', at), bytes.size());
        arguments.emplace_back(bytes.substr(at, end - at));
        at = end + 1;
    }
    constexpr OptionRule rules[] = {{"--format", true}, {"-o", true}, {"--raw", false}};
    Arguments parsed;
    try {
        parsed = parseArguments(arguments, rules);
    } catch (const ToolError&) {
        return;
    }
    auto next = arguments.begin();
    for (const std::string& positional : parsed.positionals) {
        next = std::find(next, arguments.end(), positional);
        require(next != arguments.end(), "positionals are arguments, in their order");
        ++next;
    }
    // The same options and positionals, written in one plain order, parse to the same.
    std::vector<std::string> canonical;
    for (const auto& [name, value] : parsed.values) {
        canonical.push_back(name);
        canonical.push_back(value);
    }
    canonical.insert(canonical.end(), parsed.flags.begin(), parsed.flags.end());
    canonical.push_back("--");
    canonical.insert(canonical.end(), parsed.positionals.begin(), parsed.positionals.end());
    const Arguments again = parseArguments(canonical, rules);
    require(again.positionals == parsed.positionals && again.values == parsed.values &&
                again.flags == parsed.flags,
            "parsed arguments written out again parse the same");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkUtf8(bytes);
    checkCsv(bytes);
    checkStreamedCsv(bytes);
    checkTable(bytes);
    checkEscapes(bytes);
    checkArguments(bytes);
    return 0;
}
