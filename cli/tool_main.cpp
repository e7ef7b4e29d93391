#include "tool_main.h"

#include <algorithm>
#include <array>
#include <vector>

#include "commands/commands.h"
#include "commands/document_access.h"
#include "kestra_version.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

constexpr std::string_view helpOption = "--help";
constexpr std::string_view shortHelpOption = "-h";
constexpr std::string_view versionOption = "--version";
// Lists the command table for the build's shell completion, so that completion follows every
// command and option without a list of its own. Left out of --help: it is for programs.
constexpr std::string_view listCommandsOption = "--list-commands";
constexpr OptionRule globalOptions[] = {
    {docOption, true}, {helpOption, false}, {shortHelpOption, false}};

constexpr std::string_view toolUsage = "usage: kestra-tool COMMAND [ARGUMENTS] [--doc PATH]";
constexpr std::string_view toolHelpTail = R"help(
Every command also takes:
  --doc PATH   read property names from PATH instead of InfoFileDocumentation.dat in the
               current directory (info and dump show names)
  --help, -h   show the command's help

kestra-tool --version shows the version.

Exit status: 0 done; 1 nothing found, the files differ, or a save would change the file;
2 an error (one line on standard error naming the file and the problem).
Texts are UTF-8 on the command line and in the output; 8-bit texts of the file are read and
written one byte per character (ISO-8859-1), as the editor shows and stores them.
)help";

const std::array<const Command*, 9>& allCommands() {
    static const std::array<const Command*, 9> table = {
        &infoCommand(),       &dumpCommand(),    &searchCommand(),
        &setCommand(),        &newItemCommand(), &copyItemCommand(),
        &deleteItemCommand(), &diffCommand(),    &validateCommand()};
    return table;
}

void writeToolHelp(std::ostream& out) {
    out << toolUsage << "\n\nThe info file editor's operations, for scripts and batch work.\n\n"
        << "Commands:\n";
    for (const Command* command : allCommands()) {
        out << "  " << command->name << std::string(13 - command->name.size(), ' ')
            << command->summary << '\n';
    }
    out << toolHelpTail;
}

// One line for the tool, then one per command: the name, then each option it takes, a
// value-taking option followed by "=" ("dump --format= --doc= --help -h").
void writeCommandTable(std::ostream& out) {
    out << "kestra-tool " << helpOption << ' ' << shortHelpOption << ' ' << versionOption << '\n';
    for (const Command* command : allCommands()) {
        out << command->name;
        for (const auto& options : {command->options, std::span<const OptionRule>(globalOptions)}) {
            for (const OptionRule& option : options)
                out << ' ' << option.name << (option.takesValue ? "=" : "");
        }
        out << '\n';
    }
}

const Command* findCommand(std::string_view name) {
    const auto& table = allCommands();
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const Command* command) { return command->name == name; });
    return found == table.end() ? nullptr : *found;
}

int runCommand(const Command& command, std::span<const std::string> rest, std::ostream& out,
               std::ostream& err) {
    std::vector<OptionRule> rules(command.options.begin(), command.options.end());
    rules.insert(rules.end(), std::begin(globalOptions), std::end(globalOptions));
    const Arguments arguments = parseArguments(rest, rules);
    if (arguments.has(helpOption) || arguments.has(shortHelpOption)) {
        out << command.help;
        return exitDone;
    }
    return command.run(Invocation{arguments, out, err});
}

} // namespace

void expectPositionals(const Invocation& invocation, std::string_view command, std::size_t count) {
    if (invocation.arguments.positionals.size() != count) {
        const Command* found = findCommand(command);
        const std::string_view help = found ? found->help : std::string_view();
        const std::string_view usage = help.substr(0, help.find('\n'));
        throw ToolError(std::string(command) + ": wrong number of arguments; " +
                        std::string(usage) + " (see kestra-tool " + std::string(command) +
                        " --help)");
    }
}

int runTool(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
    if (arguments.empty()) {
        err << "kestra-tool: no command given; " << toolUsage << " (see kestra-tool --help)\n";
        return exitError;
    }
    if (arguments[0] == helpOption || arguments[0] == shortHelpOption) {
        writeToolHelp(out);
        return exitDone;
    }
    if (arguments[0] == versionOption) {
        out << "kestra-tool " KESTRA_VERSION "\n";
        return exitDone;
    }
    if (arguments[0] == listCommandsOption) {
        writeCommandTable(out);
        return exitDone;
    }
    try {
        const Command* command = findCommand(arguments[0]);
        if (!command)
            throw ToolError("unknown command \"" + arguments[0] + "\" (see kestra-tool --help)");
        return runCommand(*command, arguments.subspan(1), out, err);
    } catch (const ToolError& error) {
        out.flush();
        err << "kestra-tool: " << error.what() << '\n';
        return exitError;
    } catch (const std::bad_alloc&) {
        err << "kestra-tool: out of memory\n";
        return exitError;
    }
}

} // namespace kestra::tool
