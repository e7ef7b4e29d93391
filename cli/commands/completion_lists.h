#pragma once

#include <ostream>
#include <span>
#include <string>

#include "commands/commands.h"

namespace kestra::tool {

// What the shell completion offers besides commands and option names, written for programs.

// One line per option that takes one of a few values, then the values: "--strings 16 32".
void writeOptionValues(std::ostream& out, std::span<const Command* const> commands);
// The key of each of FILE's properties, one per line, as dump --format jsonl writes them and
// every command takes them: its name, or "#ID" where a name cannot tell it. `arguments` hold
// FILE and may hold --doc.
void writePropertyKeys(std::ostream& out, std::span<const std::string> arguments);

} // namespace kestra::tool
