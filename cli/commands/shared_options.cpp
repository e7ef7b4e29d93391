#include "commands/shared_options.h"

#include "commands/commands.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

struct SharedOption {
    OptionRule rule;
    CommandKind from;       // the first kind that takes it; the later kinds take it too
    std::string_view usage; // as usage lines show it; empty for those the tool's help tells
};

// In the order usage lines show them.
constexpr SharedOption sharedOptions[] = {
    {{stringsOption, true, {}, "16 32"}, CommandKind::Report, "[--strings 16|32]"},
    {{outputOption, true, "--output"}, CommandKind::Report, "[-o OUT]"},
    {{dryRunOption, false, "-n"}, CommandKind::Edit, "[--dry-run]"},
    {{docOption, true}, CommandKind::Guide, "[--doc PATH]"},
    {{helpOption, false}, CommandKind::Guide, {}},
    {{shortHelpOption, false}, CommandKind::Guide, {}},
};

bool takes(CommandKind kind, const SharedOption& option) {
    return option.from <= kind;
}

// What -o does for a command that writes text; an editing command tells what its -o saves.
constexpr std::string_view reportOutputHelp =
    R"help(-o OUT (--output OUT) writes the text to OUT instead of standard output ("-" is standard
output); OUT is replaced only once the whole text is written, and stays as it was when the
command fails.
)help";

} // namespace

std::vector<OptionRule> commandOptions(const Command& command) {
    std::vector<OptionRule> rules(command.options.begin(), command.options.end());
    for (const SharedOption& option : sharedOptions) {
        if (takes(command.kind, option))
            rules.push_back(option.rule);
    }
    return rules;
}

std::string commandUsage(const Command& command) {
    // A guide's usage is all its own: what it shares only explains other commands.
    std::string shared;
    for (const SharedOption& option : sharedOptions) {
        if (command.kind != CommandKind::Guide && takes(command.kind, option) &&
            !option.usage.empty())
            shared += " " + std::string(option.usage);
    }
    std::string usage;
    std::string_view forms = command.synopsis;
    for (std::string_view lead = "usage: "; !forms.empty(); lead = "       ") {
        const std::size_t end = forms.find('\n');
        usage += std::string(lead) + "kestra-tool " + std::string(command.name) + " " +
                 std::string(forms.substr(0, end)) + shared + "\n";
        forms = end == std::string_view::npos ? std::string_view() : forms.substr(end + 1);
    }
    return usage;
}

std::string commandHelp(const Command& command) {
    std::string help = commandUsage(command) + "\n" + std::string(command.help);
    if (command.kind == CommandKind::Report)
        help += reportOutputHelp;
    return help;
}

Arguments parseCommandArguments(const Command& command, std::span<const std::string> arguments) {
    try {
        return parseArguments(arguments, commandOptions(command));
    } catch (const ToolError& error) {
        throw ToolError(std::string(command.name) + ": " + error.what());
    }
}

} // namespace kestra::tool
