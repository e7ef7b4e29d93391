#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "command_line.h"
#include "document/info_file.h"
#include "names/documentation_table.h"

namespace kestra::tool {

inline constexpr std::string_view docOption = "--doc";
inline constexpr std::string_view outputOption = "-o";

// The property names, from --doc PATH or InfoFileDocumentation.dat in the current directory.
// When the file cannot be read the editor carries on with empty names; so does the tool, after
// `warnIfUnnamed` has said so on standard error (once the info file has loaded, so that an error
// stays the only line there).
struct Names {
    std::string path;
    DocumentationTable table;
};
Names loadNames(const Arguments& arguments);
void warnIfUnnamed(const Names& names, std::ostream& err);

// Loads the file at `path` (string width from the path, as the editor does). Throws ToolError
// "PATH: why" when it cannot.
InfoFile loadInfoFile(const std::string& path, const DocumentationTable& names);
// The whole file at `path`, through the core's reader (so a pipe works too). Throws ToolError
// "PATH: cannot be read: why" when it cannot.
std::vector<std::uint8_t> readWholeFile(const std::string& path);
// Saves through the core's atomic save, to -o OUT or else over `inputPath`; SIGINT or SIGTERM
// meanwhile leave no temporary file. Throws ToolError "PATH: cannot be saved: why", or "PATH:
// saved, but ..." when the new file is in place but not flushed.
void saveInfoFile(const InfoFile& document, const Arguments& arguments,
                  const std::string& inputPath);

// A decimal item or property position below `count`; `what` is "item" or "property". Throws
// ToolError naming `path` when the text is no such position.
std::size_t parsePosition(std::string_view text, std::string_view what, std::size_t count,
                          const std::string& path);
// A plain unsigned decimal number of at most 32 bits, or false.
bool parseUnsigned32(std::string_view text, std::uint32_t& number);

} // namespace kestra::tool
