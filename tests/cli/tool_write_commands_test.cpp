#include <gtest/gtest.h>

#include "tool_runner.h"

namespace kestra::testing {
namespace {

// The display texts of every item, one CSV row each, without the heading.
std::string shownItems(const TempDir& folder, const std::string& file) {
    const ToolRun run = runTool(folder, {"dump", file, "--format", "csv"});
    EXPECT_EQ(run.status, 0) << run.err;
    return run.out.substr(run.out.find("\r\n") + 2);
}

TEST(ToolSet, StoresAsTheEditorsApplyWithLinkedPropagation) {
    struct Case {
        std::vector<std::string> edit; // item, property, text
        const char* report;
        const char* items;
    };
    const Case cases[] = {
        // An unlinked integer alone; a minus sign negates modulo 2^32.
        {{"0", "3", "-5"},
         "item 0 property 3 (ID 40): 4294967291\n",
         "0,\"Longer12345\",40.000000,7,4294967291\r\n1,\"B\",1.000000,1,2\r\n"},
        // A linked float: the same text into every linked property of the item, each by its
        // own type; the integer reads the leading 12.
        {{"1", "1", "12.5"},
         "item 1 property 1 (ID 20): 12.500000\nitem 1 property 0 (ID 10): 12.5\n"
         "item 1 property 2 (ID 30): 12\n",
         "0,\"Longer12345\",40.000000,7,9\r\n1,\"12.5\",12.500000,12,2\r\n"},
        // Narrowed from UTF-8 to one byte per character; the numbers read the leading 1.
        {{"0", "0", "1é"},
         "item 0 property 0 (ID 10): 1é\nitem 0 property 1 (ID 20): 1.000000\n"
         "item 0 property 2 (ID 30): 1\n",
         "0,\"1é\",1.000000,1,9\r\n1,\"B\",1.000000,1,2\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edit[2]);
        const TempDir folder;
        writeFile(folder.file("a.table"), twoItemFile());
        std::vector<std::string> arguments = {"set", "a.table"};
        arguments.insert(arguments.end(), c.edit.begin(), c.edit.end());
        const ToolRun run = runTool(folder, arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, c.report);
        EXPECT_EQ(shownItems(folder, "a.table"), c.items);
    }
}

TEST(ToolSet, AShortenedStringKeepsTheTailOfTheFieldAndOutputGoesToTheGivenPath) {
    const TempDir folder;
    writeFile(folder.file("a.table"), twoItemFile());
    ASSERT_EQ(runTool(folder, {"set", "a.table", "0", "0", "XY", "-o", "b.table"}).status, 2);
    // "XY" is no number for the linked float and integer: refused, nothing written.
    EXPECT_FALSE(std::filesystem::exists(folder.file("b.table")));

    ASSERT_EQ(runTool(folder, {"set", "a.table", "0", "0", "3", "-o", "b.table"}).status, 0);
    EXPECT_EQ(readFile(folder.file("a.table")), twoItemFile());
    const std::vector<std::uint8_t> saved = readFile(folder.file("b.table"));
    ASSERT_EQ(saved.size(), twoItemFile().size());
    EXPECT_EQ(std::vector<std::uint8_t>(saved.begin() + 64, saved.begin() + 88),
              hexBytes("33006E67 65723132 33343500 00000000 40400000 00000003"));
}

TEST(ToolSet, ARefusedTextChangesNothing) {
    const TempDir folder;
    writeFile(folder.file("a.table"), twoItemFile());
    for (const char* text : {"abc", "", "-", "4294967296"}) {
        SCOPED_TRACE(text);
        const ToolRun run = runTool(folder, {"set", "a.table", "0", "2", text});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("a.table: item 0 property 2 (ID 30), type i4, cannot take the text"),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(readFile(folder.file("a.table")), twoItemFile());
    }
}

TEST(ToolSet, BatchAppliesRowsInOrderAndSavesOnlyWhenAllAreStored) {
    const TempDir folder;
    writeFile(folder.file("a.table"), twoItemFile());
    writeText(folder.file("good.csv"), "item,property,text\r\n0,3,1\r\n\r\n0,3,2\r\n"
                                       "1,1,\"7,5\"\r\n");
    const ToolRun good = runTool(folder, {"set", "a.table", "--batch", "good.csv"});
    EXPECT_EQ(good.status, 0) << good.err;
    EXPECT_EQ(shownItems(folder, "a.table"),
              "0,\"Longer12345\",40.000000,7,2\r\n1,\"7,5\",7.000000,7,2\r\n");

    writeFile(folder.file("a.table"), twoItemFile());
    writeText(folder.file("bad.csv"), "0,3,1\n1,0,text\n0,3,x\n");
    const ToolRun bad = runTool(folder, {"set", "a.table", "--batch", "bad.csv"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "kestra-tool: bad.csv: line 2: item 1 property 1 (ID 20), type f4, "
                       "cannot take the text \"text\"; nothing was saved\n");
    EXPECT_EQ(readFile(folder.file("a.table")), twoItemFile());

    writeText(folder.file("short.csv"), "0,3\n");
    EXPECT_EQ(runTool(folder, {"set", "a.table", "--batch", "short.csv"}).err,
              "kestra-tool: short.csv: line 1: expected 3 fields (item,property,text), found 2\n");
}

TEST(ToolItems, NewCopyAndDeleteKeepTheCountAndTellTheIndex) {
    const TempDir folder;
    writeFile(folder.file("a.table"), twoItemFile());
    const ToolRun added = runTool(folder, {"new-item", "a.table"});
    EXPECT_EQ(added.status, 0);
    EXPECT_EQ(added.out, "2\n");
    const ToolRun copied = runTool(folder, {"copy-item", "a.table", "0", "-o", "b.table"});
    EXPECT_EQ(copied.out, "3\n");
    EXPECT_EQ(runTool(folder, {"delete-item", "b.table", "1"}).status, 0);
    EXPECT_EQ(
        shownItems(folder, "a.table"),
        "0,\"Longer12345\",40.000000,7,9\r\n1,\"B\",1.000000,1,2\r\n2,\"(null)\",0.000000,0,0\r\n");
    EXPECT_EQ(shownItems(folder, "b.table"), "0,\"Longer12345\",40.000000,7,9\r\n"
                                             "1,\"(null)\",0.000000,0,0\r\n"
                                             "2,\"Longer12345\",40.000000,7,9\r\n");
    EXPECT_EQ(runTool(folder, {"info", "b.table"}).out.find("Items: 3\n"), 14u);
}

TEST(ToolItems, NewItemStringsTakeTheWidthOfTheInputPath) {
    const TempDir folder;
    writeFile(folder.file("a.info"), twoItemFile());
    ASSERT_EQ(runTool(folder, {"new-item", "a.info", "-o", "b.table"}).status, 0);
    // Saved from an "info" path: a 32-byte field, which the 16-byte reading of b.table shows
    // as its first half.
    const std::vector<std::uint8_t> saved = readFile(folder.file("b.table"));
    ASSERT_EQ(saved.size(), 160u);
    EXPECT_EQ(std::vector<std::uint8_t>(saved.begin() + 128, saved.begin() + 160),
              hexBytes("286E756C 6C290000 00000000 00000000 00000000 00000000 00000000 00000000"));
    const ToolRun dumped = runTool(folder, {"dump", "a.info"});
    EXPECT_NE(dumped.out.find("\"typeCode\": \"s32\""), std::string::npos);
}

// Apply's rules store these texts, but the value no longer says what was typed: one warning
// line each, and --strict refuses those that import refuses.
TEST(ToolSet, WarnsOfWhatAStoredValueDoesNotSayAndStrictRefusesIt) {
    const std::vector<std::uint8_t> sample = readFile(KESTRA_EXAMPLES "/sample.info");
    const struct {
        const char* property; // unlinked: Species (s32), Wingspan (f4), Weight (i4)
        const char* text;
        const char* stored;
        const char* loss; // empty: no warning
        int strictStatus;
    } cases[] = {
        {"0", "Пустельга", "?????????", "characters outside ISO-8859-1 were stored as \"?\"", 2},
        {"0", "Falco tinnunculus, the common kestrel", "Falco tinnunculus, the common ke",
         "the text was cut to the field's 32 bytes", 2},
        {"2", "-5", "4294967291", "a negative integer is stored modulo 2^32", 0},
        {"1", "16777217", "16777216.000000", "the float nearest to the number typed is 16777216",
         0},
        {"1", "0.1", "0.100000", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const TempDir folder;
        writeFile(folder.file("s.info"), sample);
        const ToolRun strict =
            runTool(folder, {"set", "s.info", "3", c.property, c.text, "--strict"});
        EXPECT_EQ(strict.status, c.strictStatus) << strict.err;
        if (c.strictStatus == 2) {
            EXPECT_EQ(readFile(folder.file("s.info")), sample);
        }
        writeFile(folder.file("s.info"), sample);
        const ToolRun run = runTool(folder, {"set", "s.info", "3", c.property, c.text});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err.empty(), !*c.loss);
        EXPECT_TRUE(run.err.ends_with(std::string(c.loss) + (*c.loss ? "\n" : ""))) << run.err;
        EXPECT_EQ(runTool(folder, {"get", "s.info", "3", c.property}).out,
                  c.stored + std::string("\n"));
    }
}

} // namespace
} // namespace kestra::testing
