// Standard input and output as files ("-"), a FIFO, the string width of a stream, failed writes
// of standard output, and what a terminal is shown.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <thread>

#include "tool_runner.h"

namespace kestra::testing {
namespace {

std::string text(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST(ToolStreams, ADashReadsStandardInputAsTheFileItStandsFor) {
    // Each command once on a.table and once on the same bytes through a pipe: same output.
    const struct {
        std::vector<std::string> onFile;
        std::vector<std::string> onStream;
    } cases[] = {
        {{"dump", "a.table", "--format", "csv"}, {"dump", "-", "--format", "csv", "--strings=16"}},
        {{"dump", "a.table", "--format", "jsonl"},
         {"dump", "--strings", "16", "-", "--format", "jsonl"}},
        {{"search", "a.table", "--all", "40"}, {"search", "-", "--all", "40", "--strings", "16"}},
        {{"get", "a.table", "1", "0"}, {"get", "-", "1", "0", "--strings", "16"}},
        {{"validate", "a.table"}, {"validate", "-", "--strings", "16"}},
        {{"diff", "b.table", "a.table"}, {"diff", "b.table", "-", "--strings", "16"}},
    };
    const TempDir folder;
    writeFile(folder.file("a.table"), twoItemFile());
    ASSERT_EQ(runTool(folder, {"delete-item", "a.table", "0", "-o", "b.table"}).status, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.onStream.front());
        const ToolRun onFile = runTool(folder, c.onFile);
        const ToolRun onStream = runTool(folder, c.onStream, {text(twoItemFile())});
        EXPECT_EQ(onStream.status, onFile.status) << onStream.err;
        EXPECT_EQ(onStream.out, onFile.out);
        EXPECT_NE(onFile.out, "");
    }
}

TEST(ToolStreams, AFileWrittenToADashGoesToStandardOutputAndTheReportToStandardError) {
    const TempDir folder;
    writeFile(folder.file("a.table"), twoItemFile());
    ASSERT_EQ(runTool(folder, {"set", "a.table", "0", "3", "5", "-o", "b.table"}).status, 0);
    const ToolRun piped = runTool(folder, {"set", "-", "0", "3", "5", "-o", "-", "--strings", "16"},
                                  {text(twoItemFile())});
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, text(readFile(folder.file("b.table"))));
    EXPECT_EQ(piped.err, "item 0 property 3 (ID 40): 5\n");

    // Without -o, a file read from standard input is written back to standard output.
    const ToolRun added = runTool(folder, {"new-item", "-", "--strings", "16"}, {piped.out});
    EXPECT_EQ(added.status, 0);
    EXPECT_EQ(added.err, "2\n");
    writeText(folder.file("c.table"), added.out);
    EXPECT_NE(runTool(folder, {"dump", "c.table", "--format", "csv"}).out.find("\r\n2,\"(null)\","),
              std::string::npos);

    // The edits of a batch and the table of import may come from standard input too.
    const ToolRun batch =
        runTool(folder, {"set", "a.table", "--batch", "-", "-o", "d.table"}, {"0,3,5\n"});
    EXPECT_EQ(batch.status, 0) << batch.err;
    EXPECT_EQ(readFile(folder.file("d.table")), readFile(folder.file("b.table")));
    const std::string table = runTool(folder, {"dump", "b.table", "--format", "csv"}).out;
    const ToolRun imported = runTool(folder, {"import", "a.table", "-", "-o", "e.table"}, {table});
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(readFile(folder.file("e.table")), readFile(folder.file("b.table")));
}

TEST(ToolStreams, StringsGivesTheWidthWhateverThePathSays) {
    const TempDir folder;
    writeFile(folder.file("a.table"), twoItemFile());
    writeFile(folder.file("a.info"), twoItemFile());
    const ToolRun asTable = runTool(folder, {"dump", "a.table", "--format", "csv"});
    EXPECT_EQ(runTool(folder, {"dump", "a.info", "--format", "csv", "--strings", "16"}).out,
              asTable.out);
    EXPECT_NE(
        runTool(folder, {"dump", "a.info", "--strings", "16"}).out.find("\"stringWidth\": 16"),
        std::string::npos);
    const ToolRun info = runTool(folder, {"info", "a.table", "--strings", "32"});
    EXPECT_NE(info.out.find("\nString width: 32 (--strings 32)\n"), std::string::npos);
    // New items take the width given.
    ASSERT_EQ(runTool(folder, {"new-item", "a.table", "--strings", "32", "-o", "b.info"}).status,
              0);
    EXPECT_EQ(runTool(folder, {"get", "b.info", "2", "0", "--raw"}).out,
              "286E756C6C2900000000000000000000" + std::string(32, '0') + "\n");
}

TEST(ToolStreams, AFifoIsReadToItsEnd) {
    const TempDir folder;
    const std::string fifo = folder.file("f.table");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] {
        std::ofstream out(fifo, std::ios::binary);
        const std::vector<std::uint8_t> bytes = twoItemFile();
        // In pieces, as a slow writer would.
        out.write(reinterpret_cast<const char*>(bytes.data()), 50).flush();
        out.write(reinterpret_cast<const char*>(bytes.data()) + 50,
                  std::streamsize(bytes.size() - 50));
    });
    const ToolRun run = runTool(folder, {"dump", "f.table", "--format", "csv"});
    writer.join();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Item #,(10),(20),(30),(40)\r\n0,\"Longer12345\",40.000000,7,9\r\n"
                       "1,\"B\",1.000000,1,2\r\n");
}

TEST(ToolStreams, AFailedWriteOfStandardOutputIsStatusTwoWithOneLine) {
    const std::vector<std::vector<std::string>> commands = {
        {"info", "a.table"},
        {"dump", "a.table"},
        {"dump", "a.table", "--format", "jsonl"},
        {"dump", "a.table", "--format", "csv"},
        {"get", "a.table", "0", "0"},
        {"search", "a.table", "--all", "1"},
        {"diff", "a.table", "b.table"},
        {"validate", "a.table"},
        {"set", "a.table", "0", "3", "5", "-o", "c.table"},
        {"set", "a.table", "0", "3", "5", "--dry-run"},
        {"new-item", "a.table", "-o", "c.table"},
        {"set", "a.table", "0", "3", "5", "-o", "-"},
        {"help"},
        {"--help"},
    };
    const TempDir folder;
    writeFile(folder.file("a.table"), twoItemFile());
    writeFile(folder.file("b.table"), hexBytes("00000000 00000000 00000010 00000000"));
    writeText(folder.file("InfoFileDocumentation.dat"), twoItemNames);
    const struct {
        ToolStreams::Output output;
        const char* reason;
    } outputs[] = {{ToolStreams::Output::Full, "No space left on device"},
                   {ToolStreams::Output::Closed, "Bad file descriptor"}};
    for (const auto& output : outputs) {
        for (const auto& command : commands) {
            SCOPED_TRACE(command.front() + " " + command.back() + " " + output.reason);
            const ToolRun run = runTool(folder, command, {"", output.output});
            EXPECT_EQ(run.status, 2);
            EXPECT_EQ(run.err, std::string("kestra-tool: standard output: cannot write: ") +
                                   output.reason + "\n");
        }
    }
    EXPECT_EQ(readFile(folder.file("a.table")), twoItemFile());
}

TEST(ToolStreams, ATerminalIsShownControlCharactersAsCatShowsThem) {
    const TempDir folder;
    std::vector<std::uint8_t> bytes = twoItemFile();
    // Item 0's string: ESC ] 0 ; x BEL (which would retitle a terminal), a lone CR, DEL, a tab.
    const std::string hostile = "\x1B]0;x\x07\r\x7F\t";
    std::copy(hostile.begin(), hostile.end(), bytes.begin() + 64);
    bytes[64 + hostile.size()] = 0;
    writeFile(folder.file("a.table"), bytes);
    const std::string shownRow = "0,\"^[]0;x^G^M^?\t\",40.000000,7,9\r\n";
    const std::string rawRow = "0,\"" + hostile + "\",40.000000,7,9\r\n";

    const std::string terminal = runToolOnTerminal(folder, {"dump", "a.table", "--format", "csv"});
    EXPECT_NE(terminal.find("\r\n" + shownRow), std::string::npos) << terminal;
    EXPECT_EQ(terminal.find('\x1B'), std::string::npos);
    // Exports stay exact: the same bytes to a file.
    const ToolRun exported = runTool(folder, {"dump", "a.table", "--format", "csv"});
    EXPECT_NE(exported.out.find("\r\n" + rawRow), std::string::npos) << exported.out;
    EXPECT_EQ(runToolOnTerminal(folder, {"get", "a.table", "0", "0"}), "^[]0;x^G^M^?\t\n");
}

} // namespace
} // namespace kestra::testing
