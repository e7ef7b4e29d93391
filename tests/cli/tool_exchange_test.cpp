// The formats for other programs: JSON lines, exact CSV, get, and import reading dump's table
// back; --dry-run on every writing command.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

#include "document/info_file.h"
#include "names/documentation_table.h"
#include "tool_runner.h"

namespace kestra::testing {
namespace {

constexpr std::uint64_t noLimit = ~std::uint64_t(0);

// A document of `items` zero items' worth of bytes, with these descriptors packed one after
// another: strings 16 bytes wide (the file's name will not end in "info"), numbers 4.
InfoFile packedDocument(const std::vector<std::pair<std::uint32_t, std::uint16_t>>& properties,
                        std::uint32_t items) {
    std::vector<PropertyDescriptor> descriptors;
    std::uint16_t offset = 0;
    for (const auto& [id, type] : properties) {
        descriptors.push_back({id, 0, 0, offset, type});
        offset = std::uint16_t(offset + (type == stringDescriptorType ? 16 : 4));
    }
    const InfoHeader header{items, std::uint32_t(descriptors.size()),
                            std::uint32_t(descriptorTableEnd(descriptors.size())), offset};
    std::vector<std::uint8_t> bytes(header.firstItemOffset + std::size_t(items) * offset);
    encodeHeader(header, bytes);
    for (std::size_t k = 0; k < descriptors.size(); ++k)
        encodeDescriptor(descriptors[k], std::span(bytes).subspan(descriptorTableEnd(k)));
    InfoFile document;
    if (!document.loadFromBytes(bytes, StringWidth::Bytes16, DocumentationTable()))
        throw std::runtime_error("the packed document does not load");
    return document;
}

void setText(ValueRef value, std::string_view bytes) {
    std::copy(bytes.begin(), bytes.end(), value.text16().begin());
}

// Item 0 of a document whose properties test the keys and numbers of JSON lines: a string with
// quotes, a backslash, é and a tail after its terminator; floats needing nine digits and one; a
// NaN with a payload; the largest integer; -inf; a second property with the first one's ID,
// holding ESC; a float the lists show as 0.000000. Item 1 is all zeros.
const std::vector<std::pair<std::uint32_t, std::uint16_t>> keyedProperties = {
    {1, 1}, {2, 2}, {3, 2}, {4, 2}, {5, 0}, {6, 2}, {7, 3}, {1, 1}, {9, 2}};
const char* keyedNames = "(1) \"Name\"\n(2) \"Size\"\n(3) \"Size\"\n(6)\n(7) \"item\"\n"
                         "(9) \"Tiny\"\n";

std::vector<std::uint8_t> keyedFile() {
    InfoFile document = packedDocument(keyedProperties, 2);
    const ValueList values = document.items[0].values;
    setText(values[0], std::string_view("Say \"hi\"\\\xE9\0TAIL", 15));
    values[1].setFloatBits(0x4120000B); // 10.0000105
    values[2].setFloatBits(0x40000000); // 2
    values[3].setFloatBits(0x7FC00001);
    values[4].setIntValue(4294967295u);
    values[5].setFloatBits(0xFF800000);
    values[6].setIntValue(7);
    setText(values[7], "\x1B[31mred");
    values[8].setFloatBits(0x33D6BF95); // 1e-7
    return document.serialize(noLimit);
}

TEST(ToolExport, JsonLinesKeyEachValueByItsNameWithExactNumbers) {
    const TempDir folder;
    writeFile(folder.file("k.table"), keyedFile());
    writeText(folder.file("InfoFileDocumentation.dat"), keyedNames);
    const ToolRun run = runTool(folder, {"dump", "k.table", "--format", "jsonl"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "{\"item\": 0, \"#1\": \"Say \\\"hi\\\"\\\\é\", \"#2\": 10.0000105, \"#3\": 2, "
              "\"#4\": \"nan\", \"#5\": 4294967295, \"#6\": \"-inf\", \"#7\": 7, "
              "\"#1#2\": \"\\u001B[31mred\", \"Tiny\": 1e-07}\n"
              "{\"item\": 1, \"#1\": \"\", \"#2\": 0, \"#3\": 0, \"#4\": 0, \"#5\": 0, \"#6\": 0, "
              "\"#7\": 0, \"#1#2\": \"\", \"Tiny\": 0}\n");

    const ToolRun raw = runTool(folder, {"dump", "k.table", "--format=jsonl", "--raw"});
    const std::string firstLine = raw.out.substr(0, raw.out.find('\n'));
    EXPECT_TRUE(firstLine.ends_with(
        "\"Tiny\": 1e-07, \"bytes\": {\"#1\": \"53617920226869225CE9005441494C00\", "
        "\"#2\": \"4120000B\", \"#3\": \"40000000\", \"#4\": \"7FC00001\", \"#5\": \"FFFFFFFF\", "
        "\"#6\": \"FF800000\", \"#7\": \"00000007\", \"#1#2\": "
        "\"1B5B33316D7265640000000000000000\", "
        "\"Tiny\": \"33D6BF95\"}}"))
        << firstLine;

    // Unique names are the keys ("(Undocumented)" is shared); without names, IDs are.
    writeText(folder.file("names.dat"), twoItemNames);
    writeFile(folder.file("a.table"), twoItemFile());
    EXPECT_EQ(runTool(folder, {"dump", "a.table", "--format", "jsonl", "--doc", "names.dat"}).out,
              "{\"item\": 0, \"Name\": \"Longer12345\", \"Speed\": 40, \"#30\": 7, \"#40\": 9}\n"
              "{\"item\": 1, \"Name\": \"B\", \"Speed\": 1, \"#30\": 1, \"#40\": 2}\n");
    EXPECT_TRUE(runTool(folder, {"dump", "a.table", "--format", "jsonl", "--doc", "none.dat"})
                    .out.starts_with("{\"item\": 0, \"#10\": \"Longer12345\", \"#20\": 40,"));
}

TEST(ToolExport, CsvExactAndGetShowWhatTheListsRoundAway) {
    const TempDir folder;
    writeFile(folder.file("k.table"), keyedFile());
    writeText(folder.file("InfoFileDocumentation.dat"), keyedNames);
    const std::string heading = "Item #,Name (1),Size (2),Size (3),(Undocumented) (4),"
                                "(Undocumented) (5),(6),item (7),Name (1),Tiny (9)\r\n";
    EXPECT_EQ(runTool(folder, {"dump", "k.table", "--format", "csv", "--exact"}).out,
              heading +
                  "0,\"Say \"\"hi\"\"\\é\",10.0000105,2,nan,4294967295,-inf,7,\"\x1B[31mred\","
                  "1e-07\r\n1,\"\",0,0,0,0,0,0,\"\",0\r\n");
    EXPECT_EQ(runTool(folder, {"dump", "k.table", "--format", "csv"}).out,
              heading +
                  "0,\"Say \"\"hi\"\"\\é\",10.000010,2.000000,nan,4294967295,-inf,7,"
                  "\"\x1B[31mred\",0.000000\r\n1,\"\",0.000000,0.000000,0.000000,0,0.000000,0,\"\","
                  "0.000000\r\n");
    const struct {
        std::vector<std::string> arguments;
        const char* out;
    } gets[] = {
        {{"get", "k.table", "0", "8"}, "0.000000\n"},
        {{"get", "k.table", "0", "8", "--exact"}, "1e-07\n"},
        {{"get", "k.table", "0", "3", "--raw"}, "7FC00001\n"},
        {{"get", "k.table", "0", "0", "--raw"}, "53617920226869225CE9005441494C00\n"},
        {{"get", "k.table", "1", "7"}, "\n"},
    };
    for (const auto& get : gets) {
        SCOPED_TRACE(get.out);
        const ToolRun run = runTool(folder, get.arguments);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, get.out);
    }
}

// A document no editor made: random descriptors of every type, and random bytes in every value
// (NaN payloads, bytes after string terminators, control and high bytes, quotes and commas).
std::vector<std::uint8_t> randomFile(std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<std::pair<std::uint32_t, std::uint16_t>> properties;
    const std::size_t count = 1 + random() % 10;
    for (std::size_t k = 0; k < count; ++k)
        properties.emplace_back(1000 + random() % 5, std::uint16_t(random() % 4));
    InfoFile document = packedDocument(properties, 1 + random() % 30);
    const std::string_view alphabet = "ab,\"\r\n\x1B\x7F\xE9\xFF 0.5-";
    for (const ItemRef item : document.items) {
        for (const ValueRef value : item.values) {
            for (std::uint8_t& byte : value.field())
                byte = random() % 3 == 0 ? 0 : std::uint8_t(alphabet[random() % alphabet.size()]);
            if (random() % 2 == 0)
                value.setIntValue(random()); // numbers of every exponent and NaN payloads
        }
    }
    return document.serialize(noLimit);
}

TEST(ToolImport, DumpThenImportGivesBackTheSameBytes) {
    const TempDir folder;
    std::vector<std::string> files;
    for (const char* sample : {"sample.info", "sample.table"}) {
        std::filesystem::copy_file(std::string(KESTRA_EXAMPLES) + "/" + sample,
                                   folder.file(sample));
        files.push_back(sample);
    }
    std::filesystem::copy_file(std::string(KESTRA_EXAMPLES) + "/InfoFileDocumentation.dat",
                               folder.file("InfoFileDocumentation.dat"));
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        files.push_back("random" + std::to_string(seed) + ".table");
        writeFile(folder.file(files.back()), randomFile(seed));
    }
    for (const std::string& file : files) {
        for (const bool exact : {false, true}) {
            SCOPED_TRACE(file + (exact ? " exact" : ""));
            std::vector<std::string> dump = {"dump", file, "--format", "csv"};
            if (exact)
                dump.push_back("--exact");
            const ToolRun table = runTool(folder, dump);
            ASSERT_EQ(table.status, 0) << table.err;
            const ToolRun imported =
                runTool(folder, {"import", file, "-", "-o", "back.table"}, {table.out});
            EXPECT_EQ(imported.status, 0) << imported.err;
            EXPECT_EQ(imported.out, "");
            EXPECT_EQ(readFile(folder.file("back.table")), readFile(folder.file(file)));
        }
    }
}

TEST(ToolImport, StoresChangedCellsByTheirOwnTypeAndAddsNewRowsAsItems) {
    const TempDir folder;
    writeFile(folder.file("a.table"), twoItemFile());
    // Item 0 left out, item 1 first; property 1 is linked, yet its new text goes to it alone.
    writeText(folder.file("edits.csv"), "Item #,Name (10),Speed (20),(30),(40)\n"
                                        "1,B,2.5,1,2\n"
                                        "3,New,0,0,5\n");
    writeText(folder.file("reordered.csv"), "Item #,Name (10),Speed (20),(30),(40)\n"
                                            "2,New,0,0,5\n"
                                            "1,B,2.5,1,2\n");
    const ToolRun gap = runTool(folder, {"import", "a.table", "edits.csv"});
    EXPECT_EQ(gap.status, 2);
    EXPECT_EQ(gap.err, "kestra-tool: edits.csv: row 3, column 1: item 3 would leave a gap; the "
                       "next new item is 2\n");
    EXPECT_EQ(readFile(folder.file("a.table")), twoItemFile());
    const ToolRun run = runTool(folder, {"import", "a.table", "reordered.csv"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "item 2: new item\n"
                       "item 2 property 0 (ID 10): New\n"
                       "item 2 property 3 (ID 40): 5\n"
                       "item 1 property 1 (ID 20): 2.500000\n");
    EXPECT_EQ(runTool(folder, {"dump", "a.table", "--format", "csv"}).out,
              "Item #,(10),(20),(30),(40)\r\n0,\"Longer12345\",40.000000,7,9\r\n"
              "1,\"B\",2.500000,1,2\r\n2,\"New\",0.000000,0,5\r\n");
}

TEST(ToolImport, ABadTableIsOneLineNamingRowAndColumnAndChangesNothing) {
    const std::string heading = "Item #,(10),(20),(30),(40)\n";
    const std::string good = "1,B,3,1,2\n"; // a change, so that nothing being saved shows
    const struct {
        std::string table;
        std::string message;
    } cases[] = {
        {"", "row 1: the heading row is missing"},
        {"Item #,(10),(21),(30),(40)\n", "row 1, column 3: the heading \"(21)\" does not name "
                                         "property 1, ID 20 (\"NAME (20)\")"},
        {"Item #,(10),(20),(30)\n", "row 1, column 5: 4 headings"},
        {heading + good + "0,a,1,2\n", "row 3, column 5: 4 cells where the heading has 5"},
        {heading + "\n\n\nx,a,1,2,3\n", "row 5, column 1: \"x\" is no item index"},
        {heading + good + "0,Longer12345,40,\"1,000\",9\n",
         "row 3, column 4: item 0 property 2 (ID 30), type i4, cannot take the text \"1,000\": "
         "only \"1\" of it is a number"},
        {heading + good + "0,Longer12345,40," + std::string(50, '7') + "x,9\n",
         "row 3, column 4: item 0 property 2 (ID 30), type i4, cannot take the text \"" +
             std::string(40, '7') + "…\": only \"" + std::string(40, '7') + "…\" of it"},
        {heading + good + std::string("0,a\0b,40,7,9\n", 13),
         "row 3, column 2: item 0 property 0 (ID 10), type s16: the text \"a\\u0000b\" holds a "
         "NUL character"},
        {heading + good + "1,B,3,1,2\n", "row 3, column 1: item 1 has a row already"},
        {heading + good + "0,Longer12345,fast,7,9\n",
         "row 3, column 3: item 0 property 1 (ID 20), type f4, cannot take the text \"fast\""},
        {heading + good + "0,Longer12345,40,7,-\n",
         "row 3, column 5: item 0 property 3 (ID 40), type i4, cannot take the text \"-\""},
        {heading + good + "0,ABCDEFGHIJKLMNOPQ,40,7,9\n",
         "row 3, column 2: item 0 property 0 (ID 10), type s16, cannot take the text"},
        {heading + good + "0,€,40,7,9\n", "row 3, column 2: item 0 property 0 (ID 10), type s16: "
                                          "the text \"€\" holds a character outside ISO-8859-1"},
        {heading + good + "0,\"open,40,7,9\n", "row 3, column 2: a quoted field is not closed"},
    };
    const TempDir folder;
    writeFile(folder.file("a.table"), twoItemFile());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        writeText(folder.file("t.csv"), c.table);
        const ToolRun run = runTool(folder, {"import", "a.table", "t.csv"});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(run.err.starts_with("kestra-tool: t.csv: " + c.message)) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
        EXPECT_EQ(readFile(folder.file("a.table")), twoItemFile());
    }
}

TEST(ToolDryRun, EveryWritingCommandTellsWhatDiffWouldAndWritesNothing) {
    const struct {
        std::vector<std::string> arguments;
        int status;
        const char* out;
    } cases[] = {
        {{"set", "a.table", "0", "3", "5"}, 1, "item 0 property ID 40: \"9\" | \"5\"\n"},
        {{"set", "a.table", "0", "3", "9"}, 0, ""},
        {{"set", "a.table", "--batch", "batch.csv"}, 1, "item 1 property ID 10: \"B\" | \"1\"\n"},
        {{"new-item", "a.table"}, 1, "header itemCount: 2 | 3\nitem 2: only in B\n"},
        {{"copy-item", "a.table", "1"}, 1, "header itemCount: 2 | 3\nitem 2: only in B\n"},
        {{"delete-item", "a.table", "0", "-o", "b.table"},
         1,
         "header itemCount: 2 | 1\nitem 0 property ID 10: \"Longer12345\" | \"B\"\n"
         "item 0 property ID 20: \"40.000000\" | \"1.000000\"\n"
         "item 0 property ID 30: \"7\" | \"1\"\nitem 0 property ID 40: \"9\" | \"2\"\n"
         "item 1: only in A\n"},
        {{"import", "a.table", "same.csv"}, 0, ""},
        // What else a save rewrites: a tail the format does not keep, and a value that a later
        // item overlapping it (both at the same bytes) is written over.
        {{"import", "tail.table", "same.csv", "-o", "b.table"}, 1, "file size: 149 | 128\n"},
        {{"set", "tail.table", "0", "3", "5"},
         1,
         "item 0 property ID 40: \"9\" | \"5\"\nfile size: 149 | 128\n"},
        {{"set", "o.table", "0", "0", "9"},
         1,
         "item 0 property ID 10: \"7\" | \"9\"\n"
         "item 0 property 0 (ID 10): the file would hold \"7\", written over by a later value\n"},
    };
    const TempDir folder;
    writeFile(folder.file("a.table"), twoItemFile());
    std::vector<std::uint8_t> tail = twoItemFile();
    tail.insert(tail.end(), 21, 'A');
    writeFile(folder.file("tail.table"), tail);
    const std::vector<std::uint8_t> overlapping = hexBytes("00000002 00000001 0000001C 00000000"
                                                           "0000000A 0000 0000 0000 0003 00000007");
    writeFile(folder.file("o.table"), overlapping);
    writeText(folder.file("batch.csv"), "1,0,1\n");
    writeText(folder.file("same.csv"), runTool(folder, {"dump", "a.table", "--format=csv"}).out);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.front());
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back("--dry-run");
        const ToolRun run = runTool(folder, arguments);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(readFile(folder.file("a.table")), twoItemFile());
        EXPECT_FALSE(std::filesystem::exists(folder.file("b.table")));
    }
    // Done for real: an edit that changes no value writes nothing and says so; set tells the
    // value the saved file holds, and warns that it was written over.
    const ToolRun same = runTool(folder, {"import", "tail.table", "same.csv"});
    EXPECT_EQ(same.out, "tail.table: no value changed; the file was not written\n");
    EXPECT_EQ(readFile(folder.file("tail.table")), tail);
    const ToolRun over = runTool(folder, {"set", "o.table", "0", "0", "9"});
    EXPECT_EQ(over.status, 0);
    EXPECT_EQ(over.out, "item 0 property 0 (ID 10): 7\n");
    EXPECT_EQ(over.err, "kestra-tool: warning: item 0 property 0 (ID 10): a later value that "
                        "overlaps it was written over it\n");
}

// The rows of `dump --format jsonl` as CSV rows, for files of integers only: each line's
// numbers, without their keys.
std::string jsonLinesAsRows(const std::string& lines) {
    std::string rows;
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);) {
        line.pop_back(); // the closing brace
        for (std::size_t at = 0; at != std::string::npos;) {
            const std::size_t value = line.find(": ", at) + 2;
            at = line.find(", ", value);
            rows += line.substr(value, at == std::string::npos ? at : at - value);
            rows += at == std::string::npos ? "\r\n" : ",";
            at = at == std::string::npos ? at : at + 2;
        }
    }
    return rows;
}

TEST(ToolExport, JsonLinesReadInBatchesGiveTheLoadersValuesInEveryLayout) {
    // Integer properties over a pattern of bytes, laid out so that batches, the header, gaps,
    // the end of the file and positions past 4 GiB all come into play.
    const struct {
        const char* name;
        InfoHeader header;
        std::vector<std::uint16_t> offsets;
        std::size_t size;
    } layouts[] = {
        {"three batches", {3000, 1, 28, 4}, {0}, 28 + 12000},
        {"values in the header", {3, 2, 0, 20}, {0, 8}, 80},
        {"overlapping items", {5, 2, 40, 0}, {0, 2}, 64},
        {"values past the end", {10, 2, 40, 12}, {0, 9}, 90},
        {"positions past 4 GiB", {3, 1, 0xFFFFFFF0u, 8}, {0}, 64},
        {"no properties", {4, 0, 16, 4}, {}, 16},
    };
    const TempDir folder;
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.name);
        std::vector<std::uint8_t> bytes(layout.size);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = std::uint8_t(i * 37 + i / 256);
        encodeHeader(layout.header, bytes);
        for (std::size_t k = 0; k < layout.offsets.size(); ++k)
            encodeDescriptor({std::uint32_t(10 + k), 0, 0, layout.offsets[k], 3},
                             std::span(bytes).subspan(descriptorTableEnd(k)));
        writeFile(folder.file("l.table"), bytes);
        const ToolRun rows = runTool(folder, {"dump", "l.table", "--format", "csv", "--exact"});
        ASSERT_EQ(rows.status, 0) << rows.err;
        const std::string expected = rows.out.substr(rows.out.find('\n') + 1);
        const ToolRun lines = runTool(folder, {"dump", "l.table", "--format", "jsonl"});
        EXPECT_EQ(jsonLinesAsRows(lines.out), expected);
        const ToolRun piped = runTool(folder, {"dump", "-", "--strings", "16", "--format", "jsonl"},
                                      {std::string(bytes.begin(), bytes.end())});
        EXPECT_EQ(piped.out, lines.out);
    }
}

// "01" read as a number by a spreadsheet comes back as "1"; "1.0" says the float it held.
TEST(ToolImport, TellsOnlyChangedBytesAndWarnsOfAColumnASpreadsheetConverted) {
    const TempDir folder;
    writeFile(folder.file("a.table"), twoItemFile());
    ASSERT_EQ(runTool(folder, {"set", "a.table", "1", "0", "01"}).status, 0);
    writeText(folder.file("back.csv"), "Item #,(10),(20),(30),(40)\n1,1,1.0,1,2\n");
    const ToolRun run = runTool(folder, {"import", "a.table", "back.csv"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "item 1 property 0 (ID 10): 1\n");
    EXPECT_EQ(run.err, "kestra-tool: warning: back.csv: column 2 (ID 10): 1 string cells lost "
                       "leading zeros or spaces, as a spreadsheet that reads them as numbers does "
                       "(row 2 holds \"1\" for the file's \"01\"); they were stored so. Open the "
                       "table with quoted fields as text to keep them\n");
}

} // namespace
} // namespace kestra::testing
