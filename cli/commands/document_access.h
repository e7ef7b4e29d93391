#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "command_line.h"
#include "commands/shared_options.h"
#include "document/info_file.h"
#include "names/documentation_table.h"

namespace kestra::tool {

// "-" names standard input where a file is read and standard output where one is written.
inline constexpr std::string_view streamPath = "-";
// The path to open for `path`: /dev/stdin for "-", so that the core's reader reads it to its end.
std::string openablePath(const std::string& path);
// The path as error lines name it: "standard input" for "-".
std::string shownPath(const std::string& path);
// Throws the one line the tool gives for every file that cannot be read or written: "PATH: what
// failed: the system's reason", PATH as shownPath names it.
[[noreturn]] void failOn(const std::string& path, const FileError& error);
// Throws ToolError unless at most one of `paths` is "-": standard input can be read only once.
void readStandardInputOnce(std::initializer_list<const std::string*> paths);

// The property names, from --doc PATH alone, or else from InfoFileDocumentation.dat in the
// current directory, beside `infoFile`, or in the data folders, the first that can be read.
// When none can, the editor carries on with empty names; so does the tool, after `warnIfUnnamed`
// has said so for the first place, with the system's reason, on standard error (once the info
// file has loaded, so that an error stays the only line there).
struct Names {
    std::string path; // the file read, or the first place looked in
    std::string reason;
    DocumentationTable table;
};
Names loadNames(const Arguments& arguments, const std::string& infoFile);
void warnIfUnnamed(const Names& names, std::ostream& err);

// An info file named on the command line, with the string width to read it with: --strings 16
// or 32 when given, else what its path ends in, as the editor decides. "-" needs --strings.
struct InfoSource {
    std::string path;
    StringWidth stringWidth = StringWidth::Bytes16;
};
InfoSource infoSource(const Arguments& arguments, const std::string& path);

// Loads the whole file through the core's reader and loader. Throws ToolError "PATH: why".
InfoFile loadInfoFile(const InfoSource& source, const DocumentationTable& names);
// The whole file at `path` ("-" for standard input), through the core's reader (so a pipe or a
// FIFO is read to its end). Throws ToolError "PATH: cannot be read: why" when it cannot.
std::vector<std::uint8_t> readWholeFile(const std::string& path);
// "cannot be read: why": how the tool tells that a file it reads failed.
std::string readFailureText(FileError error);
// Saves through the core's atomic save to `path`, or writes the file's bytes to `out` when
// `path` is "-". SIGINT or SIGTERM meanwhile leave no temporary file. Throws ToolError "PATH:
// cannot be saved: why", or "PATH: saved, but ..." when the new file is in place but not flushed.
void saveInfoFile(const InfoFile& document, const std::string& path, std::ostream& out);

// Replaces the file at `path` with the text `write` writes to the stream it is given, as it is
// written, through the core's atomic save: a failed write, or a ToolError out of `write`, leaves
// the old file (which may be the one the text is made from). SIGINT or SIGTERM meanwhile leave
// no temporary file. Throws ToolError "PATH: cannot be saved: why".
void saveStreamedText(const std::string& path, const std::function<void(std::ostream&)>& write);

// A decimal item or property position below `count`; `what` is "item" or "property". Throws
// ToolError naming `path` when the text is no such position.
std::size_t parsePosition(std::string_view text, std::string_view what, std::size_t count,
                          const std::string& path);
// A plain unsigned decimal number of at most 32 bits, or false.
bool parseUnsigned32(std::string_view text, std::uint32_t& number);

} // namespace kestra::tool
