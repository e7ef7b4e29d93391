#include "commands/commands.h"
#include "commands/document_access.h"
#include "commands/value_fields.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

constexpr std::string_view name = "info";
constexpr std::string_view synopsis = "FILE";
constexpr std::string_view help =
    R"help(Shows the header's four figures (offsets and lengths in hex, as the editor's status bar, and in
decimal), the string width the path gives (32 bytes when the path ends in "info", 16 otherwise)
or --strings sets, and whether property names could be read. FILE may be "-" for standard
input (with --strings).
)help";

int run(const Invocation& invocation) {
    expectPositionals(invocation, name, 1);
    const std::string& path = invocation.arguments.positionals[0];
    const InfoSource source = infoSource(invocation.arguments, path);
    const Names names = loadNames(invocation.arguments, path);
    const InfoFile document = loadInfoFile(source, names.table);
    warnIfUnnamed(names, invocation.err);
    const InfoHeader& header = document.header;
    std::ostream& out = invocation.out;
    out << "File: " << path << '\n'
        << "Items: " << header.itemCount << '\n'
        << "Properties: " << header.propertyCount << '\n'
        << "Item Length: " << hexNumber(header.itemLength) << " (" << header.itemLength << ")\n"
        << "First Item Offset: " << hexNumber(header.firstItemOffset) << " ("
        << header.firstItemOffset << ")\n";
    const int width = int(document.stringWidth);
    if (invocation.arguments.has(stringsOption))
        out << "String width: " << width << " (--strings " << width << ")\n";
    else if (document.stringWidth == StringWidth::Bytes32)
        out << "String width: 32 (the path ends in \"info\")\n";
    else
        out << "String width: 16 (the path does not end in \"info\")\n";
    if (names.table.loaded)
        out << "Documentation: " << names.path << " (" << names.table.entries.size()
            << " entries)\n";
    else
        out << "Documentation: not loaded (" << names.path << "); names are empty\n";
    return exitDone;
}

} // namespace

const Command infoCommand{name,
                          "the header, the string width and the documentation",
                          CommandKind::Report,
                          synopsis,
                          help,
                          {},
                          run};

} // namespace kestra::tool
