#include "tool_main.h"

#include <algorithm>
#include <array>
#include <vector>

#include "commands/commands.h"
#include "commands/completion_lists.h"
#include "commands/document_access.h"
#include "kestra_version.h"
#include "text/control_escapes.h"
#include "text/suggestion.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

constexpr std::string_view versionOption = "--version";
constexpr std::string_view shortVersionOption = "-v";
// Lists the command table for the build's shell completion, so that completion follows every
// command and option without a list of its own. Left out of --help: it is for programs.
constexpr std::string_view listCommandsOption = "--list-commands";
// The same for the values completion offers: the few an option takes, and a file's properties.
constexpr std::string_view listValuesOption = "--list-values";
constexpr std::string_view listPropertiesOption = "--list-properties";

constexpr std::string_view toolUsage = "usage: kestra-tool COMMAND [ARGUMENTS] [--doc PATH]";
constexpr std::string_view toolHelpTail = R"help(
Every command also takes:
  --doc PATH   read property names from PATH; without it they come from the first
               InfoFileDocumentation.dat that can be read in the current directory, in
               FILE's folder, in $XDG_DATA_HOME/kestra or in kestra/ of each $XDG_DATA_DIRS
               folder (info and dump show names)
  --help, -h   show the command's help (as kestra-tool help COMMAND does)

kestra-tool --version (or -v) shows the version.

A FILE, OUT or CSV may be "-": standard input where it is read, standard output where it is
written. A stream has no name to tell the string width by, so "-" as an info file needs
--strings 16 or --strings 32, which also overrides the path's rule for any file.

Exit status: 0 done; 1 nothing found, the files differ, or a save (or --dry-run) would change
the file; 2 an error (one line on standard error naming the file and the problem, with the
system's reason where there is one), a failed write to standard output included.
Texts are UTF-8 on the command line and in the output; 8-bit texts of the file are read and
written one byte per character (ISO-8859-1), as the editor shows and stores them. On a
terminal, control characters are shown as ^X (as cat -v does); to a file or pipe every byte
goes out as it is.
)help";

constexpr std::string_view helpName = "help";
constexpr std::string_view helpHelp =
    R"help(Shows the tool's help, or COMMAND's (the same text as kestra-tool COMMAND --help).
)help";

void writeToolHelp(std::ostream& out) {
    out << toolUsage << "\n\nThe info file editor's operations, for scripts and batch work.\n\n"
        << "Commands:\n";
    for (const Command* command : allCommands) {
        out << "  " << command->name << std::string(13 - command->name.size(), ' ')
            << command->summary << '\n';
    }
    out << toolHelpTail;
}

// One line for the tool, then one per command: the name, then each option it takes (by both
// names), a value-taking option followed by "=" ("dump --format= --doc= --help -h").
void writeCommandTable(std::ostream& out) {
    out << "kestra-tool " << helpOption << ' ' << shortHelpOption << ' ' << versionOption << '\n';
    for (const Command* command : allCommands) {
        out << command->name;
        for (const OptionRule& option : commandOptions(*command)) {
            for (const std::string_view name : {option.name, option.alias}) {
                if (!name.empty())
                    out << ' ' << name << (option.takesValue ? "=" : "");
            }
        }
        out << '\n';
    }
}

std::string commandSuggestion(std::string_view name) {
    std::vector<std::string_view> names;
    for (const Command* command : allCommands)
        names.push_back(command->name);
    return didYouMean(name, names);
}

const Command* findCommand(std::string_view name) {
    const auto found = std::ranges::find_if(
        allCommands, [&](const Command* command) { return command->name == name; });
    return found == allCommands.end() ? nullptr : *found;
}

const Command& knownCommand(const std::string& name) {
    const Command* command = findCommand(name);
    if (!command)
        throw ToolError("unknown command \"" + name + "\"" + commandSuggestion(name) +
                        " (see kestra-tool --help)");
    return *command;
}

int runHelp(const Invocation& invocation) {
    const std::vector<std::string>& names = invocation.arguments.positionals;
    if (names.size() > 1)
        expectPositionals(invocation, helpName, 1);
    if (names.empty())
        writeToolHelp(invocation.out);
    else
        invocation.out << commandHelp(knownCommand(names.front()));
    return exitDone;
}

int runCommand(const Command& command, std::span<const std::string> rest, std::ostream& out,
               std::ostream& err) {
    const Arguments arguments = parseCommandArguments(command, rest);
    if (arguments.has(helpOption) || arguments.has(shortHelpOption)) {
        out << commandHelp(command);
        return exitDone;
    }
    // A report's -o OUT is the file its text goes to; an edit's is where the edit saves itself.
    const std::string* output = arguments.value(outputOption);
    if (command.kind != CommandKind::Report || !output || *output == streamPath)
        return command.run(Invocation{arguments, out, err});
    int status = exitError;
    saveStreamedText(*output, [&](std::ostream& file) {
        status = command.run(Invocation{arguments, file, err});
    });
    return status;
}

void reportOutputFailure(const ToolOutput& out, std::ostream& err) {
    err << "kestra-tool: standard output: cannot write: " << out.failure() << '\n';
}

// Runs the command; a ToolError, or a failed write to `out` (which stops the command: the stream
// throws), becomes its one line on `err` and status 2.
int runGuarded(std::span<const std::string> arguments, ToolOutput& out, ToolOutput& err) {
    if (arguments.empty()) {
        err << "kestra-tool: no command given; " << toolUsage << " (see kestra-tool --help)\n";
        return exitError;
    }
    try {
        if (arguments[0] == helpOption || arguments[0] == shortHelpOption) {
            writeToolHelp(out);
            return exitDone;
        }
        if (arguments[0] == versionOption || arguments[0] == shortVersionOption) {
            out << "kestra-tool " KESTRA_VERSION "\n";
            return exitDone;
        }
        if (arguments[0] == listCommandsOption) {
            writeCommandTable(out);
            return exitDone;
        }
        if (arguments[0] == listValuesOption) {
            writeOptionValues(out, allCommands);
            return exitDone;
        }
        if (arguments[0] == listPropertiesOption) {
            writePropertyKeys(out, arguments.subspan(1));
            return exitDone;
        }
        return runCommand(knownCommand(arguments[0]), arguments.subspan(1), out, err);
    } catch (const ToolError& error) {
        out.finish();
        err << "kestra-tool: " << oneLine(error.what()) << '\n';
    } catch (const std::ios_base::failure&) {
        reportOutputFailure(out, err);
    } catch (const std::bad_alloc&) {
        err << "kestra-tool: out of memory\n";
    }
    return exitError;
}

} // namespace

const Command helpCommand{
    helpName, "the tool's help, or a command's", CommandKind::Guide, "[COMMAND]", helpHelp, {},
    runHelp};

void expectPositionals(const Invocation& invocation, std::string_view command, std::size_t count) {
    if (invocation.arguments.positionals.size() != count) {
        const Command* found = findCommand(command);
        const std::string usage = found ? commandUsage(*found) : std::string();
        throw ToolError(std::string(command) + ": wrong number of arguments; " +
                        usage.substr(0, usage.find('\n')) + " (see kestra-tool " +
                        std::string(command) + " --help)");
    }
}

int runTool(std::span<const std::string> arguments, ToolOutput& out, ToolOutput& err) {
    out.exceptions(std::ios::badbit);
    const int status = runGuarded(arguments, out, err);
    // The last bytes are written only now; if that fails, the command has failed too (an error
    // already told stays the only line).
    if (!out.finish() && status != exitError) {
        reportOutputFailure(out, err);
        return exitError;
    }
    return status;
}

} // namespace kestra::tool
