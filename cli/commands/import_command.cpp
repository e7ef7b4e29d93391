#include <algorithm>

#include "commands/commands.h"
#include "commands/converted_cells.h"
#include "commands/document_access.h"
#include "commands/edit_session.h"
#include "commands/typed_text_checks.h"
#include "commands/value_fields.h"
#include "editing/item_editing.h"
#include "text/csv_table.h"
#include "text/json_writer.h"
#include "text/text_encoding.h"
#include "tool_error.h"
#include "values/value_text.h"

namespace kestra::tool {

namespace {

constexpr std::string_view name = "import";
constexpr std::string_view synopsis = "FILE CSV";
constexpr std::string_view help =
    R"help(Reads back the table that dump --format csv writes (with or without --exact), edited or not,
and stores each cell whose text differs from what the file holds, by the cell's own property
type (as set does, but without passing the text on to linked properties: a row carries every
linked value already). Saves to OUT, or over FILE, once every row is stored.

The heading row must name FILE's property IDs in order ("Item #", then "NAME (ID)" or "(ID)";
the names are not compared). Each row starts with its item's index: rows may come in any order
and leave items out (those stay as they are); a row numbered with the file's item count adds
a new item, as the editor's New Item does, and then stores its cells; the next may add the one
after it. A cell that says what the file holds already, in either number form, is not stored,
so dump then import without edits gives back the same bytes (a float shown as 0.000000, a NaN's
payload and the bytes after a string's terminator stay).

Errors (status 2, one line naming the row and column as a spreadsheet numbers them, nothing
saved): a heading that does not match, a row with another number of cells, an item index that
is no number, repeats a row or leaves a gap, a number cell that is not one decimal number of
its type and nothing else (1,000 or 25.9 for an integer, 0x10 or 26abc), a string longer than its
field, a NUL, or a character outside ISO-8859-1.

Writes each property whose bytes change as set does ("item I property P (ID N): TEXT", the
value rendered afresh), and "item I: new item" for each item added. When string cells have
lost leading zeros or spaces ("01" as "1") in rows that are otherwise unchanged, as a
spreadsheet that read them as numbers leaves them, it warns once per column on standard error.
FILE, CSV or OUT may be "-" for standard input or output (FILE with --strings); when the file
goes to standard output, these lines go to standard error. --dry-run (-n) saves nothing and writes what diff would show between FILE and
the result instead, and the bytes no value covers that the save would rewrite (status 1 when
something would change, 0 when nothing would). When no cell changes a value, FILE is not
written, and a last line says so.
)help";

// The item a row stands for: one of the file's, once, or the next new one, which it adds.
std::size_t rowItem(EditSession& session, const TableRow& row, std::vector<bool>& seen) {
    InfoFile& document = session.document();
    std::uint32_t item = 0;
    if (!parseUnsigned32(row.item, item))
        throw ToolError(cellPlace(row.row, 1) + ": " + quotedCell(row.item) +
                        " is no item index (a decimal number counting from 0)");
    const std::size_t count = document.items.size();
    if (item > count)
        throw ToolError(cellPlace(row.row, 1) + ": item " + row.item +
                        " would leave a gap; the next " + "new item is " + std::to_string(count));
    if (item == count) {
        if (!newItem(document, DocumentationTable()))
            throw ToolError(cellPlace(row.row, 1) +
                            ": the file already holds the most items its header can count");
        session.report() << "item " << item << ": new item\n";
        session.markChanged();
        seen.push_back(false);
    }
    if (seen[item])
        throw ToolError(cellPlace(row.row, 1) + ": item " + row.item + " has a row already");
    seen[item] = true;
    return item;
}

// Stores the row's cells; tells only those whose bytes change (a float's text that a
// spreadsheet shortened may still say the same float).
void storeRow(EditSession& session, const TableRow& row, std::vector<bool>& seen,
              ConvertedColumns& converted) {
    const std::size_t item = rowItem(session, row, seen);
    InfoFile& document = session.document();
    std::size_t changed = 0;
    std::vector<std::pair<std::size_t, std::string>> convertedHere; // column, the text it held
    for (std::size_t k = 0; k < row.cells.size(); ++k) {
        const PropertyValue& value = document.items[item].values[k];
        const std::string where = cellPlace(row.row, k + 2) + ": " + propertyLabel(item, k, value) +
                                  ", type " + std::string(typeCodeText(value.typeCode));
        const std::string& cell = row.cells[k];
        std::string text;
        if (cell.find('\0') != std::string::npos)
            throw ToolError(where + ": the text " + quotedCell(cell) +
                            " holds a NUL character, which ends a text in the file; nothing was "
                            "saved");
        if (!narrowUtf8Exactly(cell, text))
            throw ToolError(where + ": the text " + quotedCell(cell) +
                            " holds a character outside ISO-8859-1, which the file's texts "
                            "cannot hold; nothing was saved");
        if (saysCurrentValue(value, text))
            continue;
        const ValueRef field = document.items[item].values[k];
        const std::vector<std::uint8_t> before(field.field().begin(), field.field().end());
        const std::string held = displayText(value);
        const WholeTextReading reading = parseWholeValueText(field, text);
        if (reading.refusal != TextRefusal::None)
            throw ToolError(where + ", cannot take the text " + quotedCell(cell) + ": " +
                            wholeTextRefusal(reading, text, value.typeCode) +
                            "; nothing was saved");
        if (std::ranges::equal(before, field.field()))
            continue;
        session.stored(item, k, true);
        ++changed;
        if (isStringType(value.typeCode) && looksConvertedToNumber(held, cell))
            convertedHere.emplace_back(k, held);
    }
    // Only a row whose other cells are as the file holds them tells of a spreadsheet; in an
    // edited row the change may be meant.
    if (changed != convertedHere.size())
        return;
    for (const auto& [k, held] : convertedHere) {
        const std::string heading =
            "ID " + std::to_string(document.items[item].values[k].descriptor.id);
        converted.note(k + 2, heading, row.row, held, row.cells[k]);
    }
}

int run(const Invocation& invocation) {
    expectPositionals(invocation, name, 2);
    const std::string& path = invocation.arguments.positionals[0];
    const std::string& csvPath = invocation.arguments.positionals[1];
    readStandardInputOnce({&path, &csvPath});
    EditSession session(invocation, path);
    const std::vector<std::uint8_t> bytes = readWholeFile(csvPath);

    std::vector<std::uint32_t> ids;
    for (const PropertyDescriptor& descriptor : session.document().descriptors)
        ids.push_back(descriptor.id);
    std::vector<bool> seen(session.document().items.size(), false);
    ConvertedColumns converted;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    try {
        TableReader table(text, ids);
        TableRow row;
        while (table.next(row))
            storeRow(session, row, seen, converted);
    } catch (const ToolError& error) {
        throw ToolError(shownPath(csvPath) + ": " + error.what());
    }
    const int status = session.finish();
    converted.warn(invocation.err, shownPath(csvPath));
    return status;
}

} // namespace

const Command importCommand{name,
                            "store the edited cells of a table that dump wrote",
                            CommandKind::Edit,
                            synopsis,
                            help,
                            {},
                            run};

} // namespace kestra::tool
