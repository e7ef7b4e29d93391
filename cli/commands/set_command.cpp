#include <sstream>

#include "commands/commands.h"
#include "commands/document_access.h"
#include "commands/value_fields.h"
#include "editing/item_editing.h"
#include "text/csv_format.h"
#include "text/json_writer.h"
#include "text/text_encoding.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

constexpr std::string_view name = "set";
constexpr std::string_view batchOption = "--batch";
constexpr OptionRule options[] = {{outputOption, true}, {batchOption, true}};
constexpr std::string_view help =
    R"help(usage: kestra-tool set FILE ITEM PROPERTY TEXT [-o OUT]
       kestra-tool set FILE --batch CSV [-o OUT]

Stores TEXT into property PROPERTY (its position in the item, counting from 0) of item ITEM,
as the editor's Apply does: the text is narrowed to 8-bit text, stored by the property's type
(floats as strtof reads them, integers as strtoul does, so -5 stores 4294967291; strings with
a terminator, keeping the field's bytes after it), and when the property is linked, stored
into every linked property of the item, each by its own type. Saves to OUT, or over FILE.

--batch CSV applies the rows "item,property,text" of the CSV file (UTF-8, RFC 4180 quoting;
an optional first row "item,property,text" is skipped) in order, then saves once.

Writes each stored property as "item I property P (ID N): TEXT", TEXT as the editor now shows
it. If any property cannot take the text (a number type given no number, or one out of range),
nothing is saved and the status is 2.
)help";

struct Edit {
    std::string where; // the batch file and line, or empty for the command line
    std::string item;
    std::string property;
    std::string text;
};

std::vector<Edit> readBatch(const std::string& batchPath) {
    const std::vector<std::uint8_t> bytes = readWholeFile(batchPath);
    const std::string text(bytes.begin(), bytes.end());
    std::vector<CsvRecord> records;
    std::string problem;
    if (!parseCsv(text, records, problem))
        throw ToolError(batchPath + ": " + problem);
    const std::vector<std::string> headerRow = {"item", "property", "text"};
    if (!records.empty() && records.front().fields == headerRow)
        records.erase(records.begin());
    std::vector<Edit> edits;
    for (const CsvRecord& record : records) {
        const std::string where = batchPath + ": line " + std::to_string(record.line);
        if (record.fields.size() != 3)
            throw ToolError(where + ": expected 3 fields (item,property,text), found " +
                            std::to_string(record.fields.size()));
        edits.push_back({where, record.fields[0], record.fields[1], record.fields[2]});
    }
    return edits;
}

std::string propertyLabel(std::size_t item, std::size_t property, const PropertyValue& value) {
    return "item " + std::to_string(item) + " property " + std::to_string(property) + " (ID " +
           std::to_string(value.id) + ")";
}

// Applies one edit to the document in memory; throws, before anything is saved, when the text
// is refused anywhere.
void apply(InfoFile& document, const std::string& path, const Edit& edit, std::ostream& out) {
    const std::string prefix = edit.where.empty() ? path : edit.where;
    const std::size_t item = parsePosition(edit.item, "item", document.items.size(), prefix);
    const std::size_t property =
        parsePosition(edit.property, "property", document.descriptors.size(), prefix);
    std::string text;
    if (!narrowUtf8(edit.text, text))
        throw ToolError(prefix + ": the text is not valid UTF-8");
    const ValueTextOutcome result = applyValueText(document, item, property, text);
    const std::vector<PropertyValue>& values = document.items[item].values;
    if (!result.refused.empty()) {
        const PropertyValue& value = values[result.refused.front()];
        throw ToolError(prefix + ": " + propertyLabel(item, result.refused.front(), value) +
                        ", type " + std::string(typeCodeText(value.typeCode)) +
                        ", cannot take the text " + jsonQuoted(edit.text) + "; nothing was saved");
    }
    for (const std::size_t stored : result.stored)
        out << propertyLabel(item, stored, values[stored]) << ": " << displayText(values[stored])
            << '\n';
}

int run(const Invocation& invocation) {
    const Arguments& arguments = invocation.arguments;
    const std::string* batch = arguments.value(batchOption);
    expectPositionals(invocation, name, batch ? 1 : 4);
    const std::string& path = arguments.positionals[0];
    std::vector<Edit> edits;
    if (batch)
        edits = readBatch(*batch);
    else
        edits.push_back(
            {"", arguments.positionals[1], arguments.positionals[2], arguments.positionals[3]});

    InfoFile document = loadInfoFile(path, DocumentationTable());
    // What was stored is told only once it is saved.
    std::ostringstream report;
    for (const Edit& edit : edits)
        apply(document, path, edit, report);
    saveInfoFile(document, arguments, path);
    invocation.out << report.str();
    return exitDone;
}

} // namespace

const Command& setCommand() {
    static const Command command{name, "store a value text as the editor's Apply, then save", help,
                                 options, run};
    return command;
}

} // namespace kestra::tool
