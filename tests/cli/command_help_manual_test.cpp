// docs/kestra-tool.md quotes every command's --help word for word, so the manual cannot drift
// from the tool.
#include "commands/commands.h"
#include "commands/shared_options.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kestra::tool {
namespace {

TEST(CommandHelpManual, QuotesEveryCommandsHelp) {
    std::ifstream file(KESTRA_TOOL_MANUAL);
    ASSERT_TRUE(file) << KESTRA_TOOL_MANUAL;
    std::ostringstream manual;
    manual << file.rdbuf();
    for (const Command* command : allCommands) {
        const std::string quoted = "\n`" + std::string(command->name) + "`:\n\n```text\n" +
                                   commandHelp(*command) + "```\n";
        EXPECT_NE(manual.str().find(quoted), std::string::npos) << command->name;
    }
}

} // namespace
} // namespace kestra::tool
