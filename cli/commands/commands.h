#pragma once

#include <array>
#include <cstddef>
#include <ostream>
#include <span>
#include <string_view>

#include "command_line.h"

namespace kestra::tool {

struct Invocation {
    const Arguments& arguments;
    std::ostream& out;
    std::ostream& err;
};

// What a command does with files, which decides the options it shares with others
// (shared_options.h). Each kind takes every shared option of the kinds before it.
enum class CommandKind {
    Guide,  // reads no info file: --doc and --help only
    Report, // reads info files and writes text: also --strings, and -o OUT for the text
    Edit,   // edits an info file and saves it: also --strings, -o OUT for the file, --dry-run
};

struct Command {
    std::string_view name;
    std::string_view summary; // one line for the tool's --help
    CommandKind kind;
    // The usage line's arguments and own options, one line per form: "FILE [--raw]".
    std::string_view synopsis;
    std::string_view help;               // the rest of the command's --help, after its usage
    std::span<const OptionRule> options; // its own options only
    int (*run)(const Invocation&);
};

// Each defined in its command's file.
extern const Command infoCommand, dumpCommand, getCommand, searchCommand, setCommand, importCommand,
    newItemCommand, copyItemCommand, deleteItemCommand, diffCommand, validateCommand, helpCommand;

// Every command, in the order the tool's --help lists them.
inline constexpr std::array allCommands = {&infoCommand,    &dumpCommand,     &getCommand,
                                           &searchCommand,  &setCommand,      &importCommand,
                                           &newItemCommand, &copyItemCommand, &deleteItemCommand,
                                           &diffCommand,    &validateCommand, &helpCommand};

// Throws ToolError naming the command and its usage line unless exactly `count` positional
// arguments were given.
void expectPositionals(const Invocation& invocation, std::string_view command, std::size_t count);

} // namespace kestra::tool
