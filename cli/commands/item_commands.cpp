#include "commands/commands.h"
#include "commands/document_access.h"
#include "editing/item_editing.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

constexpr OptionRule options[] = {{outputOption, true}};

constexpr std::string_view newItemName = "new-item";
constexpr std::string_view newItemHelp = R"help(usage: kestra-tool new-item FILE [-o OUT]

Appends a new item as the editor's New Item does: strings "(null)" (32 bytes wide when FILE's
path ends in "info", 16 otherwise), floats and integers 0. Saves to OUT, or over FILE, and
writes the new item's index.
)help";

constexpr std::string_view copyItemName = "copy-item";
constexpr std::string_view copyItemHelp = R"help(usage: kestra-tool copy-item FILE N [-o OUT]

Appends a copy of item N (every byte of every value). Saves to OUT, or over FILE, and writes
the copy's index.
)help";

constexpr std::string_view deleteItemName = "delete-item";
constexpr std::string_view deleteItemHelp = R"help(usage: kestra-tool delete-item FILE N [-o OUT]

Removes item N; every later item moves up one place (and one item length earlier in the saved
file). Saves to OUT, or over FILE.
)help";

void refuseGrowth(const std::string& path) {
    throw ToolError(path + ": the file already holds the most items its header can count");
}

int runNewItem(const Invocation& invocation) {
    expectPositionals(invocation, newItemName, 1);
    const std::string& path = invocation.arguments.positionals[0];
    const DocumentationTable names;
    InfoFile document = loadInfoFile(path, names);
    if (!newItem(document, pathEndsInInfo(path), names))
        refuseGrowth(path);
    saveInfoFile(document, invocation.arguments, path);
    invocation.out << document.items.size() - 1 << '\n';
    return exitDone;
}

// Loads FILE, applies `change` to item N and saves; false from `change` means the document
// could not grow.
InfoFile changeItem(const Invocation& invocation, std::string_view command,
                    bool (*change)(InfoFile&, std::size_t)) {
    expectPositionals(invocation, command, 2);
    const std::string& path = invocation.arguments.positionals[0];
    InfoFile document = loadInfoFile(path, DocumentationTable());
    const std::size_t item =
        parsePosition(invocation.arguments.positionals[1], "item", document.items.size(), path);
    if (!change(document, item))
        refuseGrowth(path);
    saveInfoFile(document, invocation.arguments, path);
    return document;
}

int runCopyItem(const Invocation& invocation) {
    const InfoFile document = changeItem(invocation, copyItemName, copyItem);
    invocation.out << document.items.size() - 1 << '\n';
    return exitDone;
}

int runDeleteItem(const Invocation& invocation) {
    changeItem(invocation, deleteItemName, deleteItem);
    return exitDone;
}

} // namespace

const Command& newItemCommand() {
    static const Command command{newItemName, "append a new item, as the editor's New Item",
                                 newItemHelp, options, runNewItem};
    return command;
}

const Command& copyItemCommand() {
    static const Command command{copyItemName, "append a copy of an item", copyItemHelp, options,
                                 runCopyItem};
    return command;
}

const Command& deleteItemCommand() {
    static const Command command{deleteItemName, "remove an item", deleteItemHelp, options,
                                 runDeleteItem};
    return command;
}

} // namespace kestra::tool
