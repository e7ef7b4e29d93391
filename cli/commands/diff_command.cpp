#include "commands/commands.h"
#include "commands/document_access.h"
#include "commands/document_diff.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

constexpr std::string_view name = "diff";
constexpr std::string_view synopsis = "A B";
constexpr std::string_view help =
    R"help(Compares two info files as documents: the string width they are read with, the header's
figures, the descriptors (matched by property ID, the second of two equal IDs as "ID N#2", and
so on) and, item by item, the values of every property both have. One difference per line:
  string width: 32 | 16
  header itemCount: 40 | 44
  property ID 20 offset: 4 | 8
  property ID 30: only in B
  item 0 property ID 20: "12.500000" | "13.000000"
  item 0 property ID 10 bytes: 41620000... | 41620041...   (same text, other bytes)
  item 3: only in A
Texts are quoted as JSON strings. Bytes that belong to no value are not compared (see validate).
Either file may be "-" (standard input, with --strings); --strings gives both files' width.
Without it, when the paths give different widths (x.info and its backup x.info.bak), a warning
on standard error says so.
Exit status 1 when the files differ, 0 when they are equal.
)help";

int run(const Invocation& invocation) {
    expectPositionals(invocation, name, 2);
    const std::string& pathA = invocation.arguments.positionals[0];
    const std::string& pathB = invocation.arguments.positionals[1];
    readStandardInputOnce({&pathA, &pathB});
    const InfoSource sourceA = infoSource(invocation.arguments, pathA);
    const InfoSource sourceB = infoSource(invocation.arguments, pathB);
    const DocumentationTable names;
    const InfoFile a = loadInfoFile(sourceA, names);
    const InfoFile b = loadInfoFile(sourceB, names);
    // A backup (x.info.bak) is read 16 bytes wide by its name: every string would differ.
    if (!invocation.arguments.has(stringsOption) && sourceA.stringWidth != sourceB.stringWidth)
        invocation.err << "kestra-tool: warning: " << shownPath(pathA) << " and "
                       << shownPath(pathB) << " are read with different string widths by their "
                       << "names (" << int(sourceA.stringWidth) << " and "
                       << int(sourceB.stringWidth)
                       << " bytes); give --strings 16 or --strings 32 to read both alike\n";
    const bool differ = writeDifferences(invocation.out, a, b);
    return differ ? exitNegative : exitDone;
}

} // namespace

const Command diffCommand{
    name, "the differences between two info files", CommandKind::Report, synopsis, help, {}, run};

} // namespace kestra::tool
