#include "names/documentation_table.h"

#include <gtest/gtest.h>

#include <ostream>

#include <fcntl.h>
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "support/test_support.h"

namespace kestra {
namespace {

using Entries = std::vector<std::pair<std::uint32_t, std::string>>;

struct ParseCase {
    const char* what;
    std::string text;
    Entries expected;
};

void PrintTo(const ParseCase& c, std::ostream* out) {
    *out << c.what;
}

Entries parse(std::string_view text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const DocumentationTable table = parseDocumentation({bytes, text.size()});
    Entries entries;
    for (const DocumentationEntry& entry : table.entries)
        entries.emplace_back(entry.id, entry.name);
    return entries;
}

class DocumentationParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(DocumentationParse, GivesEntriesInFileOrder) {
    EXPECT_EQ(parse(GetParam().text), GetParam().expected);
}

const ParseCase parseCases[] = {
    {"empty file", "", {}},
    {"empty line adds nothing", "(10) \"Alpha\"\n\n(10) \"Beta\"\n", {{10, "Alpha"}, {10, "Beta"}}},
    {"ID part alone gives an empty name", "(77)\n", {{77, ""}}},
    {"only digits count",
     "(0x1F) \"a\"\n(-5) \"b\"\n(1 2a3)\"c\"",
     {{1, "a"}, {5, "b"}, {123, "c"}}},
    {"high bytes kept", "(1) \"\x80\xFF\"\n(2) \"x\"", {{1, "\x80\xFF"}, {2, "x"}}},
    {"CR LF reads as LF", "(1) \"a\r\n(2) \"b\"\r\n", {{1, "a"}, {2, "b"}}},
    {"lone CR is a character", "(1) \"a\rb\"\n", {{1, "a\rb"}}},
    {"Ctrl-Z ends the file", "(1) \"a\"\n\x1A(2) \"b\"\n", {{1, "a"}}},
    {"text after the name ignored", "(1) \"a\" \"b\" (2)\n(3)\"c\"", {{1, "a"}, {3, "c"}}},
    {"quotes before the ID part skipped", "\"x\" (4) \"d\"", {{4, "d"}}},
    {"parentheses allowed in names", "(5) ( \"n (m)\"", {{5, "n (m)"}}},
    {"missing ')' takes the rest of the line", "(12 \"Room 5\"\n(6)\"e\"", {{125, ""}, {6, "e"}}},
    {"unclosed name runs to line end", "(7) \"open\n(8) \"f\"", {{7, "open"}, {8, "f"}}},
    {"two quotes start a name with a quote", "(9) \"\"abc\"", {{9, "\"abc"}}},
    {"name starting with LF continues", "(1) \"\nnext\"\n(2) \"g\"", {{1, "\nnext"}, {2, "g"}}},
    {"end of file right after the quote", "(3) \"", {{3, ""}}},
    {"no-digit ID skips its line", "() \"a\"\n(x) \"b\"\n(4) \"c\"", {{4, "c"}}},
    {"overflowing ID skips its line",
     "(4294967296) \"a\"\n(4294967295) \"b\"",
     {{4294967295u, "b"}}},
    {"skipped line's LF-led name still consumed", "() \"\n(5) \"h\"\n(6) \"i\"", {{6, "i"}}},
};

INSTANTIATE_TEST_SUITE_P(Lines, DocumentationParse, ::testing::ValuesIn(parseCases));

TEST(DocumentationLookup, FirstEntryWinsAndNamesFollowTheLoadedFlag) {
    const std::string_view text = "(10) \"Alpha\"\n(77)\n(10) \"Beta\"\n";
    const DocumentationTable table =
        parseDocumentation({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    EXPECT_EQ(findDocumentationEntry(table, 10), 0);
    EXPECT_EQ(findDocumentationEntry(table, 11), -1);
    EXPECT_EQ(propertyNameFor(table, 10), "Alpha");
    EXPECT_EQ(propertyNameFor(table, 77), "");
    EXPECT_EQ(propertyNameFor(table, 11), "(Undocumented)");
    EXPECT_EQ(propertyNameFor(DocumentationTable{}, 10), "");
}

TEST(DocumentationLoad, ReadsTheCurrentFolderAndKeepsTheTableWhenTheFileIsMissing) {
    testing::TempDir dir;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    DocumentationTable table;
    const bool missingLoaded = loadDocumentation(table);
    testing::writeFile(documentationFileName, testing::hexBytes("28 38 29 22 68 22")); // (8)"h"
    const bool presentLoaded = loadDocumentation(table);
    std::filesystem::current_path(previous);

    EXPECT_FALSE(missingLoaded);
    ASSERT_TRUE(presentLoaded);
    EXPECT_EQ(propertyNameFor(table, 8), "h");
    EXPECT_FALSE(loadDocumentationFile(table, dir.file("missing.dat")));
    EXPECT_EQ(propertyNameFor(table, 8), "h");
    testing::writeFile(dir.file("empty.dat"), {});
    ASSERT_TRUE(loadDocumentationFile(table, dir.file("empty.dat")));
    EXPECT_EQ(propertyNameFor(table, 8), "(Undocumented)");
}

// Only a regular file is read: opening a FIFO without a writer would hold up start-up, and a
// device need never end. The test holds the FIFO's writing end open, so that a loader that does
// open it reads nothing and returns instead of waiting.
TEST(DocumentationLoad, TakesOnlyARegularFile) {
    testing::TempDir dir;
    const std::string fifo = dir.file("fifo.dat");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    for (const std::string& path : {fifo, std::string("/dev/null")}) {
        SCOPED_TRACE(path);
        DocumentationTable table;
        EXPECT_FALSE(loadDocumentationFile(table, path));
        EXPECT_FALSE(table.loaded);
    }
    ::close(writer);
}

} // namespace
} // namespace kestra
