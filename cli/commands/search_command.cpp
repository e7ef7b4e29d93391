#include "commands/commands.h"
#include "commands/document_access.h"
#include "commands/property_reference.h"
#include "search/search_matching.h"
#include "text/text_encoding.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

constexpr std::string_view name = "search";
constexpr std::string_view allOption = "--all";
constexpr std::string_view typeOption = "--type";
constexpr std::string_view propertyOption = "--property";
constexpr OptionRule options[] = {
    {allOption, false}, {typeOption, true, {}, "s32 s16 f4 i4"}, {propertyOption, true}};
constexpr std::string_view synopsis = "FILE (--all | --type CODE | --property PROPERTY) TEXT";
constexpr std::string_view help =
    R"help(Writes the indexes of the items that hold a matching value, one per line, ascending, as the
editor's Search dialog finds them:
  --all                 every property
  --type CODE           only properties of type s32, s16, f4 or i4
  --property PROPERTY   only properties with the ID that PROPERTY gives: a bare ID (digits are
                        an ID here, not a position), "#ID", or a property's name, as set takes
                        it
Strings match when they contain TEXT (byte for byte, case-sensitive); floats when TEXT (digits,
points, one leading minus) reads as an equal number; integers when TEXT (digits only) reads as
an equal number. TEXT is narrowed to 8-bit text as the editor narrows typed text.
FILE may be "-" for standard input (with --strings). Exit status 1 when no item matches.
)help";

int run(const Invocation& invocation) {
    expectPositionals(invocation, name, 2);
    const Arguments& arguments = invocation.arguments;
    const int modes = int(arguments.has(allOption)) + int(arguments.has(typeOption)) +
                      int(arguments.has(propertyOption));
    if (modes != 1)
        throw ToolError("search: give exactly one of --all, --type CODE, --property PROPERTY");
    const std::string& path = arguments.positionals[0];
    std::string text;
    if (!narrowUtf8(arguments.positionals[1], text))
        throw ToolError("search: the search text is not valid UTF-8");

    const InfoFile document = loadInfoFile(infoSource(arguments, path), DocumentationTable());
    SearchResults results;
    if (const std::string* code = arguments.value(typeOption)) {
        TypeCode typeCode;
        if (!typeCodeFromText(*code, typeCode))
            throw ToolError("search: unknown type code \"" + *code + "\" (s32, s16, f4 or i4)");
        searchCertainType(text, typeCode, document, results);
    } else if (const std::string* id = arguments.value(propertyOption)) {
        std::uint32_t propertyId = 0;
        if (!meantAsNumber(*id))
            propertyId =
                PropertyReferences(arguments, path, document.descriptors).id(*id, shownPath(path));
        else if (!parseUnsigned32(*id, propertyId))
            throw ToolError("search: \"" + *id + "\" is no property ID (a decimal number)");
        searchSingleProperty(text, propertyId, document, results);
    } else {
        searchAllProperties(text, document, results);
    }
    for (const std::int32_t item : results)
        invocation.out << item << '\n';
    return results.empty() ? exitNegative : exitDone;
}

} // namespace

const Command searchCommand{name,
                            "the items holding a value that matches a text",
                            CommandKind::Report,
                            synopsis,
                            help,
                            options,
                            run};

} // namespace kestra::tool
