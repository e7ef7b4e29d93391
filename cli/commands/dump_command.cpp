#include "commands/commands.h"
#include "commands/document_access.h"
#include "commands/value_fields.h"
#include "document/info_file.h"
#include "document/saved_values.h"
#include "names/documentation_table.h"
#include "text/csv_format.h"
#include "text/json_writer.h"
#include "text/text_encoding.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

constexpr std::string_view name = "dump";
constexpr std::string_view formatOption = "--format";
constexpr OptionRule options[] = {{formatOption, true}};
constexpr std::string_view help =
    R"help(usage: kestra-tool dump FILE [--format json|csv] [--doc PATH]

Writes every item with every value to standard output.

json (the default): the file's path, its string width, whether names were read, the header,
  the descriptors, and every item's values, each with its "id", "name", "typeCode", "linked",
  display "text" (as the editor's lists show it) and "bytes": the field as a save writes it, in
  hex (strings whole, bytes after the terminator included; numbers big-endian, so NaN patterns
  show). Names and texts are 8-bit bytes widened one to one (ISO-8859-1) to Unicode, written as
  UTF-8, with control characters as \u escapes. The layout is fixed: one value per line.
csv: one row per item: "Item #", then one column per property headed "NAME (ID)" (only "(ID)"
  when the name is empty), holding display texts. RFC 4180: CR LF line ends, quoting as needed.
)help";

void writeDescriptor(JsonWriter& json, const PropertyDescriptor& descriptor,
                     bool thirtyTwoByteStrings, const DocumentationTable& names) {
    json.beginObject(JsonWriter::Layout::Inline);
    json.member("id", descriptor.id);
    json.member("linkWord1", descriptor.linkWord1);
    json.member("linkWord2", descriptor.linkWord2);
    json.member("offset", descriptor.offset);
    json.member("type", descriptor.type);
    json.member("typeCode", typeCodeText(typeCodeFor(descriptor.type, thirtyTwoByteStrings)));
    json.memberBoolean("linked", isLinked(descriptor.linkWord1, descriptor.linkWord2));
    json.member("name", bytesToUtf8(propertyNameFor(names, descriptor.id)));
    json.endObject();
}

void writeValue(JsonWriter& json, const PropertyValue& value) {
    json.beginObject(JsonWriter::Layout::Inline);
    json.member("id", value.id);
    json.member("name", bytesToUtf8(*value.name));
    json.member("typeCode", typeCodeText(value.typeCode));
    json.memberBoolean("linked", value.linked);
    json.member("text", displayText(value));
    json.member("bytes", hexText(savedValue(value.descriptor, value).view()));
    json.endObject();
}

void writeJson(std::ostream& out, const std::string& path, const InfoFile& document,
               const DocumentationTable& names) {
    const bool thirtyTwo = pathEndsInInfo(path);
    JsonWriter json(out);
    json.beginObject();
    json.member("file", asUtf8(path));
    json.member("stringWidth", thirtyTwo ? 32 : 16);
    json.memberBoolean("documentationLoaded", names.loaded);
    json.key("header");
    json.beginObject(JsonWriter::Layout::Inline);
    const InfoHeader& header = document.header;
    json.member("itemCount", header.itemCount);
    json.member("propertyCount", header.propertyCount);
    json.member("firstItemOffset", header.firstItemOffset);
    json.member("itemLength", header.itemLength);
    json.endObject();
    json.key("descriptors");
    json.beginArray();
    for (const PropertyDescriptor& descriptor : document.descriptors)
        writeDescriptor(json, descriptor, thirtyTwo, names);
    json.endArray();
    json.key("items");
    json.beginArray();
    for (std::size_t i = 0; i < document.items.size(); ++i) {
        json.beginObject();
        json.member("index", i);
        json.key("values");
        json.beginArray();
        for (const PropertyValue& value : document.items[i].values)
            writeValue(json, value);
        json.endArray();
        json.endObject();
    }
    json.endArray();
    json.endObject();
    json.finish();
}

void writeCsv(std::ostream& out, const InfoFile& document, const DocumentationTable& names) {
    out << "Item #";
    for (const PropertyDescriptor& descriptor : document.descriptors) {
        const std::string label = bytesToUtf8(propertyNameFor(names, descriptor.id));
        const std::string id = "(" + std::to_string(descriptor.id) + ")";
        out << ',' << csvField(label.empty() ? id : label + " " + id);
    }
    out << csvRecordEnd;
    for (std::size_t i = 0; i < document.items.size(); ++i) {
        out << i;
        for (const PropertyValue& value : document.items[i].values)
            out << ',' << csvField(displayText(value));
        out << csvRecordEnd;
    }
}

int run(const Invocation& invocation) {
    expectPositionals(invocation, name, 1);
    const std::string* format = invocation.arguments.value(formatOption);
    if (format && *format != "json" && *format != "csv")
        throw ToolError("dump: unknown format \"" + *format + "\" (json or csv)");
    const std::string& path = invocation.arguments.positionals[0];
    const Names names = loadNames(invocation.arguments);
    const InfoFile document = loadInfoFile(path, names.table);
    warnIfUnnamed(names, invocation.err);
    if (format && *format == "csv")
        writeCsv(invocation.out, document, names.table);
    else
        writeJson(invocation.out, path, document, names.table);
    return exitDone;
}

} // namespace

const Command& dumpCommand() {
    static const Command command{name, "every item with every value, as JSON or CSV", help, options,
                                 run};
    return command;
}

} // namespace kestra::tool
