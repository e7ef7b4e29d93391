// Parses arbitrary bytes as a documentation file and checks the table's own rules, and that the
// text-mode reading rules hold: a CR before a line feed and anything after a 0x1A change nothing.
#include <algorithm>
#include <cstdint>
#include <span>
#include <unordered_set>
#include <vector>

#include "fuzz_support.h"
#include "names/documentation_table.h"

namespace {

using namespace kestra;
using namespace kestra::fuzz;

constexpr std::uint8_t carriageReturn = '\r';
constexpr std::uint8_t lineFeed = '\n';
constexpr std::uint8_t endOfText = 0x1A;

bool sameEntries(const DocumentationTable& a, const DocumentationTable& b) {
    return std::ranges::equal(a.entries, b.entries, [](const auto& x, const auto& y) {
        return x.id == y.id && x.name == y.name;
    });
}

// Every line feed not already after a carriage return gets one: text mode reads the same text.
std::vector<std::uint8_t> withCarriageReturns(std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> result;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == lineFeed && (i == 0 || bytes[i - 1] != carriageReturn))
            result.push_back(carriageReturn);
        result.push_back(bytes[i]);
    }
    return result;
}

void checkTable(const DocumentationTable& table, std::span<const std::uint8_t> bytes) {
    require(table.loaded, "a parsed table is loaded");
    const auto openings = std::ranges::count(bytes, std::uint8_t('('));
    require(table.entries.size() <= std::size_t(openings), "an entry needs an opening parenthesis");
    std::unordered_set<std::uint32_t> seen;
    for (std::size_t i = 0; i < table.entries.size(); ++i) {
        const DocumentationEntry& entry = table.entries[i];
        const std::string_view rest =
            std::string_view(entry.name).substr(entry.name.empty() ? 0 : 1);
        require(rest.find('"') == rest.npos && rest.find('\n') == rest.npos,
                "a name holds a quote or line feed only as its first character");
        const long first = findDocumentationEntry(table, entry.id);
        require(first >= 0 && table.entries[std::size_t(first)].id == entry.id,
                "every listed ID is found");
        if (seen.insert(entry.id).second)
            require(std::size_t(first) == i, "the first entry of an ID is the one found");
        require(&propertyNameFor(table, entry.id) == &table.entries[std::size_t(first)].name,
                "a documented ID is named by its first entry");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const DocumentationTable table = parseDocumentation(bytes);
    checkTable(table, bytes);

    const std::vector<std::uint8_t> crlf = withCarriageReturns(bytes);
    require(sameEntries(parseDocumentation(crlf), table), "CR LF reads as LF");

    const auto end = std::ranges::find(bytes, endOfText);
    if (end != bytes.end()) {
        const auto before = bytes.first(std::size_t(end - bytes.begin()));
        require(sameEntries(parseDocumentation(before), table), "0x1A ends the file");
    }
    return 0;
}
