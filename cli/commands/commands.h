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

struct Command {
    std::string_view name;
    std::string_view summary; // one line for the tool's --help
    std::string_view help;    // the command's --help, usage line first
    std::span<const OptionRule> options;
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
