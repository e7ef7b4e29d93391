#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "tool_runner.h"

namespace kestra::testing {
namespace {

TEST(ToolInfo, ShowsTheHeaderTheStringWidthAndTheDocumentation) {
    const TempDir folder;
    writeFile(folder.file("a.table"), twoItemFile());
    const std::string figures = "Items: 2\nProperties: 4\nItem Length: 0x20 (32)\n"
                                "First Item Offset: 0x40 (64)\n";

    const ToolRun unnamed = runTool(folder, {"info", "a.table"});
    EXPECT_EQ(unnamed.status, 0);
    EXPECT_EQ(unnamed.out, "File: a.table\n" + figures +
                               "String width: 16 (the path does not end in \"info\")\n"
                               "Documentation: not loaded (InfoFileDocumentation.dat); names are "
                               "empty\n");
    EXPECT_EQ(unnamed.err, "kestra-tool: warning: InfoFileDocumentation.dat: cannot open the file: "
                           "No such file or directory; property names stay empty\n");
    // The reason comes from the one open: a second one would wait for a FIFO's writer.
    ASSERT_EQ(::mkfifo(folder.file("fifo.dat").c_str(), 0600), 0);
    EXPECT_EQ(runTool(folder, {"info", "a.table", "--doc", "fifo.dat"}).err,
              "kestra-tool: warning: fifo.dat: cannot open the file: it is not a regular file; "
              "property names stay empty\n");

    writeFile(folder.file("x.info"), twoItemFile());
    writeText(folder.file("names.dat"), twoItemNames);
    const ToolRun named = runTool(folder, {"info", "--doc", "names.dat", "x.info"});
    EXPECT_EQ(named.status, 0);
    EXPECT_EQ(named.out, "File: x.info\n" + figures +
                             "String width: 32 (the path ends in \"info\")\n"
                             "Documentation: names.dat (2 entries)\n");
    EXPECT_EQ(named.err, "");

    // Without --doc, the names beside the file count when the current folder has none.
    std::filesystem::create_directory(folder.file("sub"));
    writeFile(folder.file("sub/b.table"), twoItemFile());
    writeText(folder.file("sub/InfoFileDocumentation.dat"), twoItemNames);
    EXPECT_NE(runTool(folder, {"info", "sub/b.table"})
                  .out.find("Documentation: sub/InfoFileDocumentation.dat (2 entries)\n"),
              std::string::npos);
}

TEST(ToolDump, JsonIsExactWithEscapedNamesWidenedBytesAndRawFields) {
    const TempDir folder;
    // One item: a 32-byte string C, '"', 0xE9, NUL, 'x' (an unlinked ID 5, named with a tab and
    // a backslash) and a float NaN with a payload (a linked ID 6, not documented).
    writeFile(folder.file("t.info"), hexBytes("00000001 00000002 00000028 00000024"
                                              "00000005 0000 0000 0000 0001"
                                              "00000006 FFFF 0000 0020 0002"
                                              "4322E900 78000000 00000000 00000000"
                                              "00000000 00000000 00000000 00000000"
                                              "7FC00001 40404040 40404040 40404040"
                                              "40404040 40404040"));
    writeText(folder.file("InfoFileDocumentation.dat"), "(5) \"A\tB\\\"\n");
    const ToolRun run = runTool(folder, {"dump", "t.info"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    const std::string expected = R"json({
  "file": "t.info",
  "stringWidth": 32,
  "documentationLoaded": true,
  "header": {"itemCount": 1, "propertyCount": 2, "firstItemOffset": 40, "itemLength": 36},
  "descriptors": [
    {"id": 5, "linkWord1": 0, "linkWord2": 0, "offset": 0, "type": 1, "typeCode": "s32", "linked": false, "name": "A\tB\\"},
    {"id": 6, "linkWord1": 65535, "linkWord2": 0, "offset": 32, "type": 2, "typeCode": "f4", "linked": true, "name": "(Undocumented)"}
  ],
  "items": [
    {
      "index": 0,
      "values": [
        {"id": 5, "name": "A\tB\\", "typeCode": "s32", "linked": false, "text": "C\"é", "bytes": "4322E90078000000000000000000000000000000000000000000000000000000"},
        {"id": 6, "name": "(Undocumented)", "typeCode": "f4", "linked": true, "text": "nan", "bytes": "7FC00001"}
      ]
    }
  ]
}
)json";
    EXPECT_EQ(run.out, expected);
}

TEST(ToolDump, CsvHasOneColumnPerPropertyAndQuotesAsRfc4180) {
    const TempDir folder;
    std::vector<std::uint8_t> bytes = twoItemFile();
    const std::string quoted = "say \"a,b\"";
    std::copy(quoted.begin(), quoted.end(), bytes.begin() + 96);
    writeFile(folder.file("a.table"), bytes);
    writeText(folder.file("InfoFileDocumentation.dat"), twoItemNames);
    const ToolRun run = runTool(folder, {"dump", "--format=csv", "a.table"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Item #,Name (10),Speed (20),(Undocumented) (30),(Undocumented) (40)\r\n"
                       "0,\"Longer12345\",40.000000,7,9\r\n"
                       "1,\"say \"\"a,b\"\"\",1.000000,1,2\r\n");
}

TEST(ToolSearch, ListsMatchingItemsAsTheSearchDialogFindsThem) {
    struct Case {
        std::vector<std::string> mode;
        const char* text;
        const char* found;
        int status;
    };
    const Case cases[] = {
        {{"--all"}, "1", "0\n1\n", 0}, // "Longer12345" in item 0; 1.0 and 1 in item 1
        {{"--all"}, "40", "0\n", 0},   // the float 40
        {{"--all"}, "B", "1\n", 0},    // case-sensitive substring
        {{"--all"}, "b", "", 1},
        {{"--all"}, "-1", "", 1}, // no float -1, and integers never take a sign
        {{"--type", "i4"}, "9", "0\n", 0},
        {{"--type", "s16"}, "40", "", 1},
        {{"--property", "40"}, "2", "1\n", 0},
        {{"--property", "30"}, "2", "", 1},
    };
    const TempDir folder;
    writeFile(folder.file("a.table"), twoItemFile());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode.front() + " " + c.text);
        std::vector<std::string> arguments = {"search", "a.table"};
        arguments.insert(arguments.end(), c.mode.begin(), c.mode.end());
        arguments.push_back(c.text);
        const ToolRun run = runTool(folder, arguments);
        EXPECT_EQ(run.out, c.found);
        EXPECT_EQ(run.status, c.status);
    }
}

TEST(ToolDiff, ReportsEachDifferenceOnItsOwnLine) {
    const TempDir folder;
    const std::vector<std::uint8_t> original = twoItemFile();
    writeFile(folder.file("a.table"), original);
    writeFile(folder.file("same.table"), original);
    std::vector<std::uint8_t> changed = original;
    changed[64 + 12] = 'Z';    // after the terminator of item 0's string: same text
    changed[64 + 59] = 3;      // item 1, property 3
    changed[16 + 36 + 3] = 41; // property 3's ID 40 becomes 41
    writeFile(folder.file("b.table"), changed);

    const ToolRun same = runTool(folder, {"diff", "a.table", "same.table"});
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "");

    const ToolRun run = runTool(folder, {"diff", "a.table", "b.table"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "property ID 40: only in A\n"
                       "property ID 41: only in B\n"
                       "item 0 property ID 10 bytes: 4C6F6E67657231323334350000000000 | "
                       "4C6F6E6765723132333435005A000000\n");

    writeFile(folder.file("c.table"), original);
    ASSERT_EQ(runTool(folder, {"set", "c.table", "1", "3", "3"}).status, 0);
    ASSERT_EQ(runTool(folder, {"copy-item", "c.table", "0"}).status, 0);
    const ToolRun grown = runTool(folder, {"diff", "a.table", "c.table"});
    EXPECT_EQ(grown.status, 1);
    EXPECT_EQ(grown.out, "header itemCount: 2 | 3\n"
                         "item 1 property ID 40: \"2\" | \"3\"\n"
                         "item 2: only in B\n");
}

TEST(ToolValidate, TellsWhatALoadAndSaveWouldNotReproduce) {
    struct Case {
        const char* name;
        std::size_t at; // the byte to change, or none beyond the file
        std::uint8_t byte;
        std::size_t appended; // bytes added at the end
        const char* finding;
    };
    const Case cases[] = {
        {"uncovered", 92, 0x11, 0, "uncovered: bytes 0x5C-0x5C are not zero"},
        {"padding", 125, 'x', 0, "padding: 1 of the bytes 0x7C-0x7F are not \"@\""},
        {"trailing", 0, 0, 32, "trailing: bytes 0x80-0x9F (32 bytes) lie beyond the padded end"},
        {"beyond end", 3, 3, 0,
         "beyond end: item 2 property 0 (ID 10) at 0x80-0x8F; the file ends at 0x80"},
        {"overlap", 15, 16, 0,
         "overlap: item 1 property 0 (ID 10) at 0x50-0x5F overlaps item 0 property 1 (ID 20) "
         "at 0x50-0x53"},
    };
    const TempDir folder;
    writeFile(folder.file("a.table"), twoItemFile());
    const ToolRun canonical = runTool(folder, {"validate", "a.table"});
    EXPECT_EQ(canonical.status, 0);
    EXPECT_EQ(canonical.out, "result: load then save gives back the same bytes\n");

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> bytes = twoItemFile();
        if (c.appended == 0)
            bytes.at(c.at) = c.byte;
        bytes.resize(bytes.size() + c.appended, 0x77);
        writeFile(folder.file("b.table"), bytes);
        const ToolRun run = runTool(folder, {"validate", "b.table"});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(("\n" + run.out).find(std::string("\n") + c.finding), std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("result: load then save changes the file"), std::string::npos);
    }
}

TEST(ToolDiff, WarnsWhenThePathsGiveTwoStringWidths) {
    const TempDir folder;
    writeFile(folder.file("a.info"), twoItemFile());
    writeFile(folder.file("a.info.bak"), twoItemFile());
    EXPECT_NE(runTool(folder, {"diff", "a.info.bak", "a.info"}).err.find("different string widths"),
              std::string::npos);
    const ToolRun alike = runTool(folder, {"diff", "a.info.bak", "a.info", "--strings", "16"});
    EXPECT_EQ(alike.status, 0);
    EXPECT_EQ(alike.out + alike.err, "");
}

// -o OUT takes what standard output would have got, with the same status; a command that fails
// leaves OUT as it was.
TEST(ToolReports, WriteToOutputAsToStandardOutput) {
    const TempDir folder;
    writeFile(folder.file("a.table"), twoItemFile());
    const std::vector<std::vector<std::string>> commands = {
        {"info", "a.table"},
        {"dump", "a.table", "--format", "csv"},
        {"get", "a.table", "0", "0"},
        {"search", "a.table", "--all", "nothing"},
        {"diff", "a.table", "a.table"},
        {"validate", "a.table"}};
    for (std::vector<std::string> arguments : commands) {
        SCOPED_TRACE(arguments.front());
        const ToolRun shown = runTool(folder, arguments);
        arguments.insert(arguments.end(), {"-o", "out.txt"});
        const ToolRun saved = runTool(folder, arguments);
        EXPECT_EQ(saved.status, shown.status);
        EXPECT_EQ(saved.out, "");
        EXPECT_EQ(readText(folder.file("out.txt")), shown.out);
    }
    const std::string before = readText(folder.file("out.txt"));
    EXPECT_EQ(runTool(folder, {"get", "a.table", "0", "9", "-o", "out.txt"}).status, 2);
    EXPECT_EQ(readText(folder.file("out.txt")), before);
}

} // namespace
} // namespace kestra::testing
