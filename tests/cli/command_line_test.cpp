#include "command_line.h"

#include <gtest/gtest.h>

#include "commands/commands.h"
#include "commands/shared_options.h"
#include "text/suggestion.h"
#include "tool_error.h"

namespace kestra::tool {
namespace {

TEST(CommandLine, SplitsOptionsFromPositionalsAnywhere) {
    constexpr OptionRule rules[] = {{"--format", true}, {"-o", true, "--output"}, {"--raw", false}};
    const struct {
        std::vector<std::string> arguments;
        std::vector<std::string> positionals;
        std::map<std::string, std::string, std::less<>> values;
        std::set<std::string, std::less<>> flags;
        std::string_view problem;
    } cases[] = {
        {{"a", "--format", "csv", "b"}, {"a", "b"}, {{"--format", "csv"}}, {}, ""},
        {{"--format=csv", "--raw", "a"}, {"a"}, {{"--format", "csv"}}, {"--raw"}, ""},
        {{"--format=", "a"}, {"a"}, {{"--format", ""}}, {}, ""},
        {{"-o", "-", "-"}, {"-"}, {{"-o", "-"}}, {}, ""}, // "-" names a stream, no option
        {{"a", "-5", "-.5", "-"}, {"a", "-5", "-.5", "-"}, {}, {}, ""},
        {{"--", "--raw", "-x"}, {"--raw", "-x"}, {}, {}, ""},
        {{"-o", "--raw"}, {}, {{"-o", "--raw"}}, {}, ""}, // a value may look like an option
        {{"--colour"}, {}, {}, {}, "unknown option --colour"},
        {{"-x"}, {}, {}, {}, "unknown option -x"},
        {{"--raw", "--raw"}, {}, {}, {}, "the option --raw is given twice"},
        {{"--raw=yes"}, {}, {}, {}, "the option --raw takes no value"},
        {{"a", "--format"}, {}, {}, {}, "the option --format needs a value"},
        {{"-o=x"}, {}, {}, {}, "unknown option -o=x"}, // only long options take "="
        {{"--output=x"}, {}, {{"-o", "x"}}, {}, ""},
        {{"--fromat"}, {}, {}, {}, "unknown option --fromat; did you mean --format?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        try {
            const Arguments parsed = parseArguments(c.arguments, rules);
            EXPECT_EQ(c.problem, "");
            EXPECT_EQ(parsed.positionals, c.positionals);
            EXPECT_EQ(parsed.values, c.values);
            EXPECT_EQ(parsed.flags, c.flags);
        } catch (const ToolError& error) {
            EXPECT_EQ(error.what(), c.problem);
        }
    }
}

TEST(CommandLine, SuggestsTheCandidatesWithinATypingSlip) {
    constexpr std::string_view words[] = {"dump", "diff", "delete-item", "set", "get"};
    const struct {
        std::string_view typed;
        std::string_view suggestion;
    } cases[] = {
        {"dupm", "; did you mean dump?"}, // two letters swapped
        {"dif", "; did you mean diff?"},  // one left out
        {"delete-iten", "; did you mean delete-item?"},
        {"xet", "; did you mean set or get?"}, // equally close
        {"frobnicate", ""},
        {"du", ""}, // a short word is allowed one slip only
    };
    for (const auto& c : cases)
        EXPECT_EQ(didYouMean(c.typed, words), c.suggestion) << c.typed;
}

// What each kind of command shares: a command that reads a file writes its text or the file to
// -o OUT, one that edits may dry-run, and a refusal names the command.
TEST(CommandLine, EveryCommandTakesTheSharedOptionsOfItsKind) {
    const struct {
        std::vector<std::string> arguments;
        std::string_view guide, report, edit; // the problem, or "" when taken
    } cases[] = {
        {{"--doc", "names.dat", "--help", "-h"}, "", "", ""},
        {{"--output=out"}, "unknown option --output", "", ""},
        {{"--strings", "16"}, "unknown option --strings", "", ""},
        {{"-n"}, "unknown option -n", "unknown option -n", ""},
        {{"--dry-rn"}, "unknown option --dry-rn", "unknown option --dry-rn", "did you mean"},
    };
    for (const Command* command : allCommands) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(command->name) + " " + c.arguments.front());
            const std::string_view problem = command->kind == CommandKind::Guide    ? c.guide
                                             : command->kind == CommandKind::Report ? c.report
                                                                                    : c.edit;
            try {
                parseCommandArguments(*command, c.arguments);
                EXPECT_EQ(problem, "");
            } catch (const ToolError& error) {
                const std::string text = error.what();
                EXPECT_TRUE(text.starts_with(std::string(command->name) + ": ")) << text;
                EXPECT_NE(problem, "");
                EXPECT_NE(text.find(problem), std::string::npos) << text;
            }
        }
    }
}

} // namespace
} // namespace kestra::tool
