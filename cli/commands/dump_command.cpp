#include "commands/commands.h"
#include "commands/document_access.h"
#include "commands/dump_formats.h"
#include "commands/item_source.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

constexpr std::string_view name = "dump";
constexpr std::string_view formatOption = "--format";
constexpr std::string_view exactOption = "--exact";
constexpr std::string_view rawOption = "--raw";
constexpr OptionRule options[] = {
    {formatOption, true, {}, "json jsonl csv"}, {exactOption, false}, {rawOption, false}};
constexpr std::string_view synopsis = "FILE [--format json|jsonl|csv] [--exact] [--raw]";
constexpr std::string_view help = R"help(Writes every item with every value to standard output.

json (the default): the file's path, its string width, whether names were read, the header,
  the descriptors, and every item's values, each with its "id", "name", "typeCode", "linked",
  display "text" (as the editor's lists show it) and "bytes": the field as a save writes it, in
  hex (strings whole, bytes after the terminator included; numbers big-endian, so NaN patterns
  show). Names and texts are 8-bit bytes widened one to one (ISO-8859-1) to Unicode, written as
  UTF-8, with control characters as \u escapes. The layout is fixed: one value per line.
jsonl: one JSON object per item per line, {"item": 0, "Species": "Kestrel", "Wingspan (cm)": 74},
  keyed by the property's name, or "#ID" where the name is empty or repeated (or is "item" or
  "bytes"; a key still taken gets "#2", "#3"). Integers are JSON numbers, floats numbers in the
  shortest form that reads back to the same float, or the strings "nan", "-nan", "inf", "-inf";
  strings are strings. With --raw, "bytes" holds each value's saved bytes in hex under the same
  keys. Reads the file an item batch at a time, so memory does not grow with the file.
csv: one row per item: "Item #", then one column per property headed "NAME (ID)" (only "(ID)"
  when the name is empty), holding display texts, or with --exact floats in the shortest form
  that reads back to the same float. RFC 4180: CR LF line ends, every string cell quoted (so a
  spreadsheet that keeps quoted fields as text keeps "01" and " 3"), other fields quoted as
  needed. import reads this table back.

FILE may be "-" for standard input (with --strings).
)help";

int run(const Invocation& invocation) {
    expectPositionals(invocation, name, 1);
    const Arguments& arguments = invocation.arguments;
    const std::string* given = arguments.value(formatOption);
    const std::string format = given ? *given : "json";
    if (format != "json" && format != "jsonl" && format != "csv")
        throw ToolError("dump: unknown format \"" + format + "\" (json, jsonl or csv)");
    if (arguments.has(exactOption) && format != "csv")
        throw ToolError("dump: --exact is for --format csv (jsonl is always exact)");
    if (arguments.has(rawOption) && format != "jsonl")
        throw ToolError("dump: --raw is for --format jsonl (json always has the bytes)");
    const InfoSource source = infoSource(arguments, arguments.positionals[0]);
    const Names names = loadNames(arguments, arguments.positionals[0]);
    if (format == "jsonl") {
        ItemSource items(source, names.table);
        warnIfUnnamed(names, invocation.err);
        writeJsonLines(invocation.out, items, names.table, arguments.has(rawOption));
        return exitDone;
    }
    const InfoFile document = loadInfoFile(source, names.table);
    warnIfUnnamed(names, invocation.err);
    if (format == "csv")
        writeCsv(invocation.out, document, names.table, arguments.has(exactOption));
    else
        writeJson(invocation.out, source, document, names.table);
    return exitDone;
}

} // namespace

const Command dumpCommand{name,
                          "every item with every value, as JSON, JSON lines or CSV",
                          CommandKind::Report,
                          synopsis,
                          help,
                          options,
                          run};

} // namespace kestra::tool
