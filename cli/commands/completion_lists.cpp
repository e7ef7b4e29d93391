#include "commands/completion_lists.h"

#include <set>

#include "commands/document_access.h"
#include "commands/dump_formats.h"
#include "commands/item_source.h"
#include "tool_error.h"

namespace kestra::tool {

void writeOptionValues(std::ostream& out, std::span<const Command* const> commands) {
    std::set<std::string_view> written;
    for (const Command* command : commands) {
        for (const OptionRule& option : commandOptions(*command)) {
            if (!option.values.empty() && written.insert(option.name).second)
                out << option.name << ' ' << option.values << '\n';
        }
    }
}

void writePropertyKeys(std::ostream& out, std::span<const std::string> arguments) {
    constexpr OptionRule rules[] = {{docOption, true}};
    const Arguments parsed = parseArguments(arguments, rules);
    if (parsed.positionals.size() != 1)
        throw ToolError("--list-properties takes one FILE");
    const std::string& path = parsed.positionals.front();
    const Names names = loadNames(parsed, path);
    const ItemSource items(infoSource(parsed, path), names.table);
    for (const std::string& key : recordKeys(items.shape().descriptors, names.table))
        out << key << '\n';
}

} // namespace kestra::tool
