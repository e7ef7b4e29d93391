#pragma once

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

const Command& infoCommand();
const Command& dumpCommand();
const Command& searchCommand();
const Command& getCommand();
const Command& setCommand();
const Command& importCommand();
const Command& newItemCommand();
const Command& copyItemCommand();
const Command& deleteItemCommand();
const Command& diffCommand();
const Command& validateCommand();
const Command& helpCommand();

// Throws ToolError naming the command and its usage line unless exactly `count` positional
// arguments were given.
void expectPositionals(const Invocation& invocation, std::string_view command, std::size_t count);

} // namespace kestra::tool
