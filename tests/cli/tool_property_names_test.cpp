#include <gtest/gtest.h>

#include "tool_runner.h"

namespace kestra::testing {
namespace {

TEST(ToolPropertyNames, APositionIdOrNameNamesTheSamePropertyInGetSetAndSearch) {
    const TempDir folder;
    writeFile(folder.file("a.table"), twoItemFile());
    writeText(folder.file("InfoFileDocumentation.dat"), "(20) \"Rate\"\n(30) \"Rate\"\n"
                                                        "(40) \"Flags\"\n");
    const struct {
        const char* property;
        const char* problem; // empty when it names ID 40, which holds 2 in item 1
        const char* searchOut;
    } cases[] = {
        {"3", "", ""}, // a bare number is the ID to search
        {"#40", "", "1\n"},
        {"Flags", "", "1\n"},
        {"Rate", "the name \"Rate\" is shared by the properties 1 (#20) and 2 (#30)", ""},
        {"flag", "no property is named \"flag\"; did you mean 3 (#40) \"Flags\"?", ""},
        {"#41", "no property is #41", ""}, // search finds nothing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.property);
        const std::string problem =
            *c.problem ? "kestra-tool: a.table: " + std::string(c.problem) : "";
        const ToolRun get = runTool(folder, {"get", "a.table", "1", c.property});
        EXPECT_EQ(get.out, *c.problem ? "" : "2\n");
        EXPECT_EQ(get.err.substr(0, problem.size()), problem);
        const ToolRun set = runTool(folder, {"set", "a.table", "1", c.property, "5", "-n"});
        EXPECT_EQ(set.out, *c.problem ? "" : "item 1 property ID 40: \"2\" | \"5\"\n");
        EXPECT_EQ(set.status, *c.problem ? 2 : 1);
        const ToolRun search =
            runTool(folder, {"search", "a.table", "--property", c.property, "2"});
        EXPECT_EQ(search.out, c.searchOut);
        if (*c.searchOut || c.property[0] != '#') { // an ID the file lacks finds nothing
            EXPECT_EQ(search.err.substr(0, problem.size()), problem);
        }
    }
}

} // namespace
} // namespace kestra::testing
