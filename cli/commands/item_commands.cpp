#include "commands/commands.h"
#include "commands/document_access.h"
#include "commands/edit_session.h"
#include "editing/item_editing.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

constexpr OptionRule options[] = {outputRule, dryRunRule, stringsRule};

// What the three commands' helps end with.
constexpr std::string_view helpTail = R"help(
FILE or OUT may be "-" for standard input or output (FILE with --strings); when the file goes
to standard output, the new index (of new-item and copy-item) is written to standard error.
--dry-run (-n) saves nothing and writes what diff would show between FILE and the result instead
(status 1 when something would change).
)help";

constexpr std::string_view newItemName = "new-item";
constexpr std::string_view newItemHelp =
    R"help(usage: kestra-tool new-item FILE [-o OUT] [--dry-run] [--strings 16|32]

Appends a new item as the editor's New Item does: strings "(null)" (32 bytes wide when FILE's
path ends in "info", 16 otherwise, or as --strings says), floats and integers 0. Saves to OUT,
or over FILE, and writes the new item's index.
)help";

constexpr std::string_view copyItemName = "copy-item";
constexpr std::string_view copyItemHelp =
    R"help(usage: kestra-tool copy-item FILE N [-o OUT] [--dry-run] [--strings 16|32]

Appends a copy of item N (every byte of every value). Saves to OUT, or over FILE, and writes
the copy's index.
)help";

constexpr std::string_view deleteItemName = "delete-item";
constexpr std::string_view deleteItemHelp =
    R"help(usage: kestra-tool delete-item FILE N [-o OUT] [--dry-run] [--strings 16|32]

Removes item N; every later item moves up one place (and one item length earlier in the saved
file). Saves to OUT, or over FILE.
)help";

// A command's help with the shared tail; made once, kept for the program's life.
std::string_view withTail(std::string& storage, std::string_view help) {
    storage = std::string(help) + std::string(helpTail);
    return storage;
}

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

const Command& newItemCommand() {
    static std::string help;
    static const Command command{newItemName, "append a new item, as the editor's New Item",
                                 withTail(help, newItemHelp), options, runNewItem};
    return command;
}

const Command& copyItemCommand() {
    static std::string help;
    static const Command command{copyItemName, "append a copy of an item",
                                 withTail(help, copyItemHelp), options, runCopyItem};
    return command;
}

const Command& deleteItemCommand() {
    static std::string help;
    static const Command command{deleteItemName, "remove an item", withTail(help, deleteItemHelp),
                                 options, runDeleteItem};
    return command;
}

} // namespace kestra::tool
