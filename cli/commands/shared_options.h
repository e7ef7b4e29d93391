#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "command_line.h"

namespace kestra::tool {

struct Command;

// The options more than one command takes. A command declares only its own; these join them by
// the command's kind (CommandKind), in the parser, the usage line, the did-you-mean hints and
// the command table the shell completion is built from alike, so no command can miss one.
inline constexpr std::string_view docOption = "--doc";
inline constexpr std::string_view outputOption = "-o";
inline constexpr std::string_view stringsOption = "--strings";
inline constexpr std::string_view dryRunOption = "--dry-run";
inline constexpr std::string_view helpOption = "--help";
inline constexpr std::string_view shortHelpOption = "-h";

// The command's own options, then the shared ones its kind takes.
std::vector<OptionRule> commandOptions(const Command& command);
// "usage: kestra-tool NAME ..." with the shared options shown, one line per form of the command.
std::string commandUsage(const Command& command);
// What --help shows: the usage, the command's own text, and what its kind's options do where
// the command does not tell it itself.
std::string commandHelp(const Command& command);
// The arguments after the command's name, by commandOptions; an error names the command.
Arguments parseCommandArguments(const Command& command, std::span<const std::string> arguments);

} // namespace kestra::tool
