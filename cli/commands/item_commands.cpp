#include "commands/commands.h"
#include "commands/document_access.h"
#include "commands/edit_session.h"
#include "editing/item_editing.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

// What the three commands' helps end with.
constexpr std::string_view helpTail = R"help(
FILE or OUT may be "-" for standard input or output (FILE with --strings); when the file goes
to standard output, the new index (of new-item and copy-item) is written to standard error.
--dry-run (-n) saves nothing and writes what diff would show between FILE and the result instead
(status 1 when something would change).
)help";

constexpr std::string_view newItemName = "new-item";
constexpr std::string_view newItemHelp =
    R"help(Appends a new item as the editor's New Item does: strings "(null)" (32 bytes wide when FILE's
path ends in "info", 16 otherwise, or as --strings says), floats and integers 0. Saves to OUT,
or over FILE, and writes the new item's index.
)help";

constexpr std::string_view copyItemName = "copy-item";
constexpr std::string_view copyItemHelp =
    R"help(Appends a copy of item N (every byte of every value). Saves to OUT, or over FILE, and writes
the copy's index.
)help";

constexpr std::string_view deleteItemName = "delete-item";
constexpr std::string_view deleteItemHelp =
    R"help(Removes item N; every later item moves up one place (and one item length earlier in the saved
file). Saves to OUT, or over FILE.
)help";

// Each help with the shared tail.
const std::string newItemFullHelp = std::string(newItemHelp) + std::string(helpTail);
const std::string copyItemFullHelp = std::string(copyItemHelp) + std::string(helpTail);
const std::string deleteItemFullHelp = std::string(deleteItemHelp) + std::string(helpTail);

void refuseGrowth(const std::string& path) {
    throw ToolError(shownPath(path) +
                    ": the file already holds the most items its header can count");
}

int runNewItem(const Invocation& invocation) {
    expectPositionals(invocation, newItemName, 1);
    const std::string& path = invocation.arguments.positionals[0];
    EditSession session(invocation, path);
    const DocumentationTable names;
    if (!newItem(session.document(), names))
        refuseGrowth(path);
    session.markChanged();
    session.report() << session.document().items.size() - 1 << '\n';
    return session.finish();
}

// Loads FILE, applies `change` to item N and saves; false from `change` means the document
// could not grow.
int changeItem(const Invocation& invocation, std::string_view command,
               bool (*change)(InfoFile&, std::size_t), bool tellIndex) {
    expectPositionals(invocation, command, 2);
    const std::string& path = invocation.arguments.positionals[0];
    EditSession session(invocation, path);
    InfoFile& document = session.document();
    const std::size_t item = parsePosition(invocation.arguments.positionals[1], "item",
                                           document.items.size(), shownPath(path));
    if (!change(document, item))
        refuseGrowth(path);
    session.markChanged();
    if (tellIndex)
        session.report() << document.items.size() - 1 << '\n';
    return session.finish();
}

int runCopyItem(const Invocation& invocation) {
    return changeItem(invocation, copyItemName, copyItem, true);
}

int runDeleteItem(const Invocation& invocation) {
    return changeItem(invocation, deleteItemName, deleteItem, false);
}

} // namespace

const Command newItemCommand{newItemName,       "append a new item, as the editor's New Item",
                             CommandKind::Edit, "FILE",
                             newItemFullHelp,   {},
                             runNewItem};

const Command copyItemCommand{copyItemName, "append a copy of an item", CommandKind::Edit,
                              "FILE N",     copyItemFullHelp,           {},
                              runCopyItem};

const Command deleteItemCommand{deleteItemName, "remove an item",   CommandKind::Edit,
                                "FILE N",       deleteItemFullHelp, {},
                                runDeleteItem};

} // namespace kestra::tool
