#include <gtest/gtest.h>

#include <algorithm>

#include "kestra_version.h"
#include "tool_runner.h"

namespace kestra::testing {
namespace {

constexpr const char* commandNames[] = {"info",        "dump",   "get",      "search",
                                        "set",         "import", "new-item", "copy-item",
                                        "delete-item", "diff",   "validate", "help"};

TEST(ToolErrors, BadArgumentsAndUnreadableFilesGiveOneLineAndStatusTwo) {
    struct Case {
        std::vector<std::string> arguments;
        const char* message; // a part of the one line on standard error
    };
    const Case cases[] = {
        {{}, "no command given"},
        {{"frobnicate"}, "unknown command \"frobnicate\""},
        {{"dupm"}, "unknown command \"dupm\"; did you mean dump?"},
        {{"dump", "a.table", "--fromat", "csv"}, "dump: unknown option --fromat; did you mean"},
        {{"info"}, "info: wrong number of arguments"},
        {{"info", "a.table", "b.table"}, "info: wrong number of arguments"},
        {{"info", "missing.table"},
         "missing.table: cannot open the file: No such file or directory"},
        {{"info", "two\nlines.table"}, "two^Jlines.table: cannot open the file"},
        {{"info", "-"}, "standard input: give its string width with --strings 16"},
        {{"info", "a.table", "--strings", "8"}, "--strings takes 16 or 32"},
        {{"diff", "-", "-", "--strings", "16"}, "standard input (\"-\") can be read only once"},
        {{"import", "-", "-", "--strings", "16"}, "can be read only once"},
        {{"validate", "."}, ".: cannot be read: Is a directory"},
        {{"set", "a.table", "--batch", "."}, ".: cannot be read: Is a directory"},
        {{"dump", "a.table", "--exact"}, "--exact is for --format csv"},
        {{"dump", "a.table", "--format", "csv", "--raw"}, "--raw is for --format jsonl"},
        {{"get", "a.table", "0", "4"}, "a.table: there is no property 4"},
        {{"get", "a.table", "0", "0", "--raw", "--exact"}, "at most one of --raw, --exact"},
        {{"help", "frobnicate"}, "unknown command \"frobnicate\""},
        {{"import", "a.table", "missing.csv"}, "missing.csv: cannot be read: No such file"},
        {{"info", "short.table"}, "short.table: "},
        {{"validate", "short.table"}, "short.table: "},
        {{"diff", "a.table", "missing.table"}, "missing.table: "},
        {{"dump", "a.table", "--format", "xml"}, "unknown format \"xml\""},
        {{"dump", "a.table", "--format"}, "--format needs a value"},
        {{"dump", "a.table", "--colour"}, "unknown option --colour"},
        {{"search", "a.table", "12"}, "exactly one of"},
        {{"search", "a.table", "--all", "--property", "10", "12"}, "exactly one of"},
        {{"search", "a.table", "--type", "S32", "x"}, "unknown type code \"S32\""},
        {{"search", "a.table", "--property", "-1", "x"}, "\"-1\" is no property ID"},
        {{"set", "a.table", "2", "0", "x"}, "a.table: there is no item 2 (the file has 2)"},
        {{"set", "a.table", "0", "4", "x"}, "a.table: there is no property 4"},
        {{"set", "a.table", "0", "+1", "x"}, "\"+1\" is no property position"},
        {{"set", "a.table", "0", "3", "x", "-o", "a.table", "-o", "b"}, "-o is given twice"},
        {{"set", "a.table", "0", "3", "\xff"}, "not valid UTF-8"},
        {{"set", "a.table", "0", "3", "5", "-o", "no/such/folder.table"}, "no/such/folder.table: "},
        {{"set", "a.table", "--batch", "missing.csv"}, "missing.csv: cannot be read"},
        {{"copy-item", "a.table", "2"}, "there is no item 2"},
        {{"delete-item", "a.table"}, "delete-item: wrong number of arguments"},
    };
    const TempDir folder;
    writeFile(folder.file("a.table"), twoItemFile());
    writeFile(folder.file("short.table"), hexBytes("00000001 00000001"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const ToolRun run = runTool(folder, c.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_TRUE(run.err.starts_with("kestra-tool: ")) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_EQ(readFile(folder.file("a.table")), twoItemFile());
}

TEST(ToolErrors, HelpListsEveryCommandAndEachCommandHasItsOwn) {
    const TempDir folder;
    const ToolRun tool = runTool(folder, {"--help"});
    EXPECT_EQ(tool.status, 0);
    EXPECT_EQ(runTool(folder, {"help"}).out, tool.out);
    for (const char* command : commandNames) {
        SCOPED_TRACE(command);
        EXPECT_NE(tool.out.find(std::string("\n  ") + command + " "), std::string::npos);
        const ToolRun help = runTool(folder, {command, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_TRUE(help.out.starts_with(std::string("usage: kestra-tool ") + command + " "))
            << help.out;
        EXPECT_EQ(help.err, "");
        EXPECT_EQ(runTool(folder, {"help", command}).out, help.out);
    }
}

// The build writes the shell completion and the manual from --list-commands.
TEST(ToolErrors, VersionAndTheCommandTableForTheBuild) {
    const TempDir folder;
    const ToolRun version = runTool(folder, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "kestra-tool " KESTRA_VERSION "\n");

    const ToolRun table = runTool(folder, {"--list-commands"});
    EXPECT_EQ(table.status, 0);
    EXPECT_TRUE(table.out.starts_with("kestra-tool --help -h --version\n")) << table.out;
    EXPECT_EQ(std::count(table.out.begin(), table.out.end(), '\n'), 1 + std::size(commandNames));
    for (const char* command : commandNames)
        EXPECT_NE(table.out.find(std::string("\n") + command + " "), std::string::npos) << command;
    for (const char* line :
         {"\ndump --format= --exact --raw --strings= -o= --output= --doc= --help -h\n",
          "\nsearch --all --type= --property= --strings= -o= --output= --doc= --help -h\n"})
        EXPECT_NE(table.out.find(line), std::string::npos) << line;
}

} // namespace
} // namespace kestra::testing
