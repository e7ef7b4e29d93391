#include <algorithm>
#include <array>
#include <cstring>
#include <span>

#include "commands/commands.h"
#include "commands/converted_cells.h"
#include "commands/document_access.h"
#include "commands/edit_session.h"
#include "commands/typed_text_checks.h"
#include "commands/value_fields.h"
#include "editing/item_editing.h"
#include "io/file_reader.h"
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
        throw ToolError(cellPlace(row.row, 1) + ": item " + std::string(row.item) +
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
        throw ToolError(cellPlace(row.row, 1) + ": item " + std::string(row.item) +
                        " has a row already");
    seen[item] = true;
    return item;
}

// A field's bytes kept aside, compared a word at a time: these are millions of small fields.
class FieldCopy {
public:
    explicit FieldCopy(ConstValueRef value) : width_(value.field().size()) {
        std::memcpy(bytes_.data(), value.bytes, width_);
    }
    bool same(ConstValueRef value) const {
        if (width_ == 4)
            return word<std::uint32_t>(bytes_.data()) == word<std::uint32_t>(value.bytes);
        std::uint64_t differ = 0;
        for (std::size_t i = 0; i < width_; i += 8)
            differ |= word<std::uint64_t>(bytes_.data() + i) ^ word<std::uint64_t>(value.bytes + i);
        return differ == 0;
    }
    void restore(ValueRef value) const { std::memcpy(value.bytes, bytes_.data(), width_); }

private:
    template <class Word> static Word word(const std::uint8_t* bytes) {
        Word value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }

    std::array<std::uint8_t, 32> bytes_;
    std::size_t width_;
};

// Whether every byte is in 1..127, eight at a time where it can.
bool isPlainAscii(std::string_view cell) {
    constexpr std::uint64_t ones = 0x0101010101010101;
    constexpr std::uint64_t highBits = 0x8080808080808080;
    std::size_t i = 0;
    for (; i + 8 <= cell.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, cell.data() + i, sizeof word);
        const std::uint64_t zeroBytes = (word - ones) & ~word;
        if ((word | zeroBytes) & highBits)
            return false;
    }
    return std::all_of(cell.begin() + std::ptrdiff_t(i), cell.end(),
                       [](char c) { return std::uint8_t(c) - 1u < 0x7Fu; });
}

// The cell in the file's 8-bit characters: plain ASCII, nearly every cell, as it is. Throws for a
// NUL or a character outside ISO-8859-1; `where` names the cell.
template <class Where>
std::string_view fileText(std::string_view cell, std::string& narrowed, const Where& where) {
    if (isPlainAscii(cell))
        return cell;
    if (cell.find('\0') != std::string_view::npos)
        throw ToolError(where() + ": the text " + quotedCell(cell) +
                        " holds a NUL character, which ends a text in the file; nothing was "
                        "saved");
    if (!narrowUtf8Exactly(cell, narrowed))
        throw ToolError(where() + ": the text " + quotedCell(cell) +
                        " holds a character outside ISO-8859-1, which the file's texts "
                        "cannot hold; nothing was saved");
    return narrowed;
}

// Stores the row's cells; tells only those whose bytes change (a float's text that a
// spreadsheet shortened may still say the same float).
void storeRow(EditSession& session, const TableRow& row, std::vector<bool>& seen,
              ConvertedColumns& converted) {
    const std::size_t item = rowItem(session, row, seen);
    const ItemRef values = session.document().items[item];
    std::size_t changed = 0;
    std::vector<std::pair<std::size_t, std::string>> convertedHere; // column, the text it held
    std::string narrowed;
    for (std::size_t k = 0; k < row.cells.size(); ++k) {
        const ValueRef field = values.values[k];
        const auto where = [&] {
            return cellPlace(row.row, k + 2) + ": " + propertyLabel(item, k, field) + ", type " +
                   std::string(typeCodeText(field.typeCode));
        };
        const std::string_view cell = row.cells[k];
        const std::string_view text = fileText(cell, narrowed, where);
        // Most cells say what the file holds: read into the field, they leave its bytes as they
        // were. Any other cell is judged against the value as it was.
        const FieldCopy before(field);
        if (parseWholeValueText(field, text).refusal == TextRefusal::None && before.same(field))
            continue;
        before.restore(field);
        if (saysCurrentValue(field, text))
            continue;
        const std::string held = displayText(field);
        const WholeTextReading reading = parseWholeValueText(field, text);
        if (reading.refusal != TextRefusal::None)
            throw ToolError(where() + ", cannot take the text " + quotedCell(cell) + ": " +
                            wholeTextRefusal(reading, text, field.typeCode) +
                            "; nothing was saved");
        session.stored(item, k, true);
        ++changed;
        if (isStringType(field.typeCode) && looksConvertedToNumber(held, cell))
            convertedHere.emplace_back(k, held);
    }
    // Only a row whose other cells are as the file holds them tells of a spreadsheet; in an
    // edited row the change may be meant.
    if (changed != convertedHere.size())
        return;
    for (const auto& [k, held] : convertedHere) {
        const std::string heading = "ID " + std::to_string(values.values[k].descriptor.id);
        converted.note(k + 2, heading, row.row, held, row.cells[k]);
    }
}

// The table read a piece at a time, so that its memory does not grow with it. A read that fails
// is told as the file's, once the table's name is put before it.
TableReader streamedTable(SequentialFile& file, std::span<const std::uint32_t> ids) {
    return TableReader(
        [&file](std::span<char> out) {
            std::size_t got = 0;
            FileError error;
            if (!file.read({reinterpret_cast<std::uint8_t*>(out.data()), out.size()}, got, error))
                throw ToolError(readFailureText(error));
            return got;
        },
        ids);
}

int run(const Invocation& invocation) {
    expectPositionals(invocation, name, 2);
    const std::string& path = invocation.arguments.positionals[0];
    const std::string& csvPath = invocation.arguments.positionals[1];
    readStandardInputOnce({&path, &csvPath});
    EditSession session(invocation, path);
    SequentialFile file;
    FileError error;
    if (!file.open(openablePath(csvPath), error))
        throw ToolError(shownPath(csvPath) + ": " + readFailureText(error));

    std::vector<std::uint32_t> ids;
    for (const PropertyDescriptor& descriptor : session.document().descriptors)
        ids.push_back(descriptor.id);
    std::vector<bool> seen(session.document().items.size(), false);
    ConvertedColumns converted;
    try {
        TableReader table = streamedTable(file, ids);
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
