#include <algorithm>

#include "commands/commands.h"
#include "commands/document_access.h"
#include "commands/edit_session.h"
#include "commands/property_reference.h"
#include "commands/typed_text_checks.h"
#include "commands/value_fields.h"
#include "document/saved_values.h"
#include "editing/item_editing.h"
#include "text/csv_format.h"
#include "text/json_writer.h"
#include "text/text_encoding.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

constexpr std::string_view name = "set";
constexpr std::string_view batchOption = "--batch";
constexpr std::string_view strictOption = "--strict";
constexpr OptionRule options[] = {{batchOption, true}, {strictOption, false}};
constexpr std::string_view synopsis =
    "FILE ITEM PROPERTY TEXT [--strict]\nFILE --batch CSV [--strict]";
constexpr std::string_view help =
    R"help(Stores TEXT into property PROPERTY of item ITEM, as the editor's Apply does: the text is narrowed to 8-bit text, stored by the property's type
(floats as strtof reads them, integers as strtoul does, so -5 stores 4294967291; strings with
a terminator, keeping the field's bytes after it), and when the property is linked, stored
into every linked property of the item, each by its own type. Saves to OUT, or over FILE.
PROPERTY is its position in the item (counting from 0), "#ID" as dump --format jsonl and csv
write it, or its name from the documentation, exactly; a name that no property or several
have is an error listing the candidates. So a jq selection by name can drive set:
  kestra-tool dump birds.info --format jsonl |
    jq -r 'select(.Species == "Kestrel") | [.item, "Wingspan (cm)", 76] | @csv' |
    kestra-tool set birds.info --batch -

--batch CSV applies the rows "item,property,text" of the CSV file (UTF-8, RFC 4180 quoting;
an optional first row "item,property,text" is skipped) in order, then saves once.

Writes each stored property as "item I property P (ID N): TEXT", where TEXT is the value as the
saved file holds it, rendered afresh as a newly built row of the editor's lists shows it (a float
with six decimals), not the typed text that the editor's lists keep after an Apply; a warning
follows on standard error when a later value that overlaps it was written over it. If any
property cannot take the text (a number type given no number, or one out of range), nothing is
saved and the status is 2. When no value changes, FILE is not written, and a last line says so.

When a stored value does not say what was typed (characters outside ISO-8859-1 stored as "?",
a text cut to its field, a negative integer taken modulo 2^32, a float rounded past the digits
typed), it is stored all the same and one warning line per value on standard error names the
item, the property, the text typed and the value stored. --strict refuses instead, as import
does and by its rule, a text that a property it goes to cannot take whole: a character outside
ISO-8859-1 or a NUL, a string longer than its field, a number with anything else around it
(also the 12 a linked integer would read from 12.5); nothing is saved and the status is 2.

FILE, OUT or CSV may be "-" for standard input or output (FILE with --strings); when the file
goes to standard output, the stored properties are written to standard error.
--dry-run (-n) saves nothing and writes what diff would show between FILE and the result
instead, and the bytes no value covers that the save would rewrite (status 1 when something would
change, 0 when nothing would).
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
    const std::string shown = shownPath(batchPath);
    std::vector<CsvRecord> records;
    std::string problem;
    if (!parseCsv(text, records, problem))
        throw ToolError(shown + ": " + problem);
    const std::vector<std::string> headerRow = {"item", "property", "text"};
    if (!records.empty() && records.front().fields == headerRow)
        records.erase(records.begin());
    std::vector<Edit> edits;
    for (const CsvRecord& record : records) {
        const std::string where = shown + ": line " + std::to_string(record.line);
        if (record.fields.size() != 3)
            throw ToolError(where + ": expected 3 fields (item,property,text), found " +
                            std::to_string(record.fields.size()));
        edits.push_back({where, record.fields[0], record.fields[1], record.fields[2]});
    }
    return edits;
}

// Refuses, under --strict, a text that some property it goes to cannot take whole, by the rule
// import reads cells with.
void refuseUnlessWhole(const std::string& prefix, std::size_t item, std::size_t property,
                       PropertyValue value, const Edit& edit, const std::string& text) {
    const std::string where = prefix + ": " + propertyLabel(item, property, value) + ", type " +
                              std::string(typeCodeText(value.typeCode));
    std::string exact;
    if (!narrowUtf8Exactly(edit.text, exact))
        throw ToolError(where + ": the text " + jsonQuoted(edit.text) +
                        " holds a NUL or a character outside ISO-8859-1, which the file's texts "
                        "cannot hold; nothing was saved");
    const WholeTextReading reading = parseWholeValueText(value, text);
    if (reading.refusal != TextRefusal::None)
        throw ToolError(where + ", cannot take the text " + jsonQuoted(edit.text) + ": " +
                        wholeTextRefusal(reading, text, value.typeCode) + "; nothing was saved");
}

// Applies one edit to the document in memory; throws, before anything is saved, when the text
// is refused anywhere. What a stored value does not say of the text goes into `warnings`.
void apply(EditSession& session, const std::string& path, const Edit& edit,
           PropertyReferences& properties, bool strict, std::vector<std::string>& warnings) {
    InfoFile& document = session.document();
    const std::string prefix = edit.where.empty() ? shownPath(path) : edit.where;
    const std::size_t item = parsePosition(edit.item, "item", document.items.size(), prefix);
    const std::size_t property = properties.position(edit.property, prefix);
    std::string text;
    if (!narrowUtf8(edit.text, text))
        throw ToolError(prefix + ": the text is not valid UTF-8");
    // The item as it was, to tell whether the edit changed anything.
    std::vector<PropertyValue> before;
    for (std::size_t k = 0; k < document.descriptors.size(); ++k)
        before.push_back(document.items[item].values[k]);
    const ValueTextOutcome result = applyValueText(document, item, property, text);
    if (!result.refused.empty()) {
        const PropertyValue& value = document.items[item].values[result.refused.front()];
        throw ToolError(prefix + ": " + propertyLabel(item, result.refused.front(), value) +
                        ", type " + std::string(typeCodeText(value.typeCode)) +
                        ", cannot take the text " + jsonQuoted(edit.text) + "; nothing was saved");
    }
    for (const std::size_t stored : result.stored) {
        if (strict)
            refuseUnlessWhole(prefix, item, stored, before[stored], edit, text);
        const PropertyValue after = document.items[item].values[stored];
        const SavedValue afterBytes = savedValue(document.descriptors[stored], after);
        const SavedValue beforeBytes = savedValue(document.descriptors[stored], before[stored]);
        session.stored(item, stored, !std::ranges::equal(afterBytes.view(), beforeBytes.view()));
        const std::string loss = lossOfTypedText(after, edit.text, text);
        if (!loss.empty())
            warnings.push_back(prefix + ": " + propertyLabel(item, stored, after) + ": typed " +
                               jsonQuoted(edit.text) + ", stored " +
                               jsonQuoted(displayText(after)) + ": " + loss);
    }
}

int run(const Invocation& invocation) {
    const Arguments& arguments = invocation.arguments;
    const std::string* batch = arguments.value(batchOption);
    expectPositionals(invocation, name, batch ? 1 : 4);
    const std::string& path = arguments.positionals[0];
    readStandardInputOnce({&path, batch});
    std::vector<Edit> edits;
    if (batch)
        edits = readBatch(*batch);
    else
        edits.push_back(
            {"", arguments.positionals[1], arguments.positionals[2], arguments.positionals[3]});

    EditSession session(invocation, path);
    PropertyReferences properties(arguments, path, session.document().descriptors);
    std::vector<std::string> warnings;
    for (const Edit& edit : edits)
        apply(session, path, edit, properties, arguments.has(strictOption), warnings);
    const int status = session.finish();
    for (const std::string& warning : warnings)
        invocation.err << "kestra-tool: warning: " << warning << '\n';
    return status;
}

} // namespace

const Command setCommand{name,
                         "store a value text as the editor's Apply, then save",
                         CommandKind::Edit,
                         synopsis,
                         help,
                         options,
                         run};

} // namespace kestra::tool
