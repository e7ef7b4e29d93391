#include "commands/commands.h"
#include "commands/document_access.h"
#include "commands/item_source.h"
#include "commands/property_reference.h"
#include "commands/value_fields.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

constexpr std::string_view name = "get";
constexpr std::string_view rawOption = "--raw";
constexpr std::string_view exactOption = "--exact";
constexpr OptionRule options[] = {{rawOption, false}, {exactOption, false}};
constexpr std::string_view synopsis = "FILE ITEM PROPERTY [--raw | --exact]";
constexpr std::string_view help =
    R"help(Writes the value of property PROPERTY of item ITEM as the editor's lists show it: strings up
to their first zero byte, floats with six decimals, integers unsigned. PROPERTY is its position
in the item (counting from 0), "#ID", or its name from the documentation, as set takes it.
  --raw     the field's bytes in hex instead, as a save writes them (strings whole, numbers
            big-endian)
  --exact   floats in the shortest form that reads back to the same float instead
Reads only the item it needs, so it is quick on a large file. FILE may be "-" for standard
input (with --strings).
)help";

int run(const Invocation& invocation) {
    expectPositionals(invocation, name, 3);
    const Arguments& arguments = invocation.arguments;
    if (arguments.has(rawOption) && arguments.has(exactOption))
        throw ToolError("get: give at most one of --raw, --exact");
    const std::string& path = arguments.positionals[0];
    const DocumentationTable names;
    ItemSource source(infoSource(arguments, path), names);
    const std::size_t item =
        parsePosition(arguments.positionals[1], "item", source.itemCount(), shownPath(path));
    PropertyReferences properties(arguments, path, source.shape().descriptors);
    const std::size_t property = properties.position(arguments.positionals[2], shownPath(path));
    source.forEachItem(item, item + 1, [&](std::size_t, ConstItemRef record) {
        const PropertyValue value = record.values[property];
        if (arguments.has(rawOption))
            invocation.out << savedBytesText(value) << '\n';
        else if (arguments.has(exactOption))
            invocation.out << exactText(value) << '\n';
        else
            invocation.out << displayText(value) << '\n';
    });
    return exitDone;
}

} // namespace

const Command getCommand{
    name, "one value's text, or its bytes", CommandKind::Report, synopsis, help, options, run};

} // namespace kestra::tool
