#include <algorithm>
#include <stdexcept>

#include "commands/commands.h"
#include "commands/document_access.h"
#include "commands/file_layout.h"
#include "commands/value_fields.h"
#include "names/documentation_table.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

constexpr std::string_view name = "validate";
constexpr OptionRule options[] = {stringsRule};
constexpr std::string_view help = R"help(usage: kestra-tool validate FILE [--strings 16|32]

Tells what a load followed by a save would not reproduce, one finding per line:
  beyond end:  a value lies wholly or partly past the end of the file (it loads as zero bytes,
               and a save writes it, so the file grows)
  overlap:     two values, or a value and the header or property table, share bytes (a save
               writes them in order, so the later one wins)
  uncovered:   non-zero bytes that no header field, descriptor or value covers (a save writes
               zeros there)
  padding:     the bytes after the last value are not the "@" bytes a save writes up to a
               multiple of 32, or are missing
  trailing:    bytes beyond that padded end (a save drops them)
At most 10 lines of each kind are shown, then a count of the rest. The last line says plainly
whether load-then-save gives back the same bytes; exit status 1 when it would not.
FILE may be "-" for standard input (with --strings); it is read as the editor reads it.
)help";

constexpr std::size_t shownPerKind = 10;

std::string byteRange(std::uint64_t begin, std::uint64_t end) {
    return hexNumber(begin) + "-" + hexNumber(end - 1);
}

// Writes the findings of one kind, at most `shownPerKind` of them. (Not from a destructor: a
// write to standard output may throw when it fails.)
class FindingList {
public:
    FindingList(std::ostream& out, std::string_view kind) : out_(out), kind_(kind) {}

    void add(const std::string& finding) {
        if (count_++ < shownPerKind)
            out_ << kind_ << ": " << finding << '\n';
    }
    // Counts the findings not shown.
    void finish() {
        if (count_ > shownPerKind)
            out_ << kind_ << ": ... and " << count_ - shownPerKind << " more\n";
    }

private:
    std::ostream& out_;
    std::string_view kind_;
    std::size_t count_ = 0;
};

struct Check {
    const InfoFile& document;
    const std::vector<std::uint8_t>& bytes;
    const std::vector<WriteSpan>& spans;
    std::ostream& out;
};

void reportBeyondEnd(const Check& check) {
    FindingList list(check.out, "beyond end");
    for (const WriteSpan& span : check.spans) {
        if (span.end > check.bytes.size())
            list.add(spanLabel(check.document, span) + " at " + byteRange(span.begin, span.end) +
                     "; the file ends at " + hexNumber(check.bytes.size()));
    }
    list.finish();
}

void reportOverlaps(const Check& check) {
    FindingList list(check.out, "overlap");
    for (const Overlap& overlap : findOverlaps(check.spans)) {
        list.add(spanLabel(check.document, overlap.later) + " at " +
                 byteRange(overlap.later.begin, overlap.later.end) + " overlaps " +
                 spanLabel(check.document, overlap.earlier) + " at " +
                 byteRange(overlap.earlier.begin, overlap.earlier.end));
    }
    list.finish();
}

void reportUncovered(const Check& check, std::uint64_t end) {
    const std::size_t limit = std::size_t(std::min<std::uint64_t>(end, check.bytes.size()));
    std::vector<bool> covered(limit, false);
    for (const WriteSpan& span : check.spans) {
        for (std::uint64_t at = span.begin; at < std::min<std::uint64_t>(span.end, limit); ++at)
            covered[std::size_t(at)] = true;
    }
    FindingList list(check.out, "uncovered");
    for (std::size_t at = 0; at < limit;) {
        if (covered[at] || check.bytes[at] == 0) {
            ++at;
            continue;
        }
        const std::size_t begin = at;
        while (at < limit && !covered[at] && check.bytes[at] != 0)
            ++at;
        list.add("bytes " + byteRange(begin, at) + " are not zero; a save writes zeros there");
    }
    list.finish();
}

void reportTail(const Check& check, std::uint64_t end) {
    const std::uint64_t size = check.bytes.size();
    const std::uint64_t padded = paddedEnd(end);
    if (size >= end) {
        const auto first = check.bytes.begin() + std::ptrdiff_t(end);
        const auto last = check.bytes.begin() + std::ptrdiff_t(std::min(size, padded));
        const std::ptrdiff_t wrong =
            std::count_if(first, last, [](std::uint8_t byte) { return byte != paddingByte; });
        if (wrong > 0)
            check.out << "padding: " << wrong << " of the bytes " << byteRange(end, padded)
                      << " are not \"@\"; a save writes \"@\" there\n";
        if (size < padded)
            check.out << "padding: the file ends at " << hexNumber(size)
                      << "; a save adds \"@\" up to " << hexNumber(padded) << '\n';
    }
    if (size > padded)
        check.out << "trailing: bytes " << byteRange(padded, size) << " (" << size - padded
                  << " bytes) lie beyond the padded end; a save drops them\n";
}

// The bytes a save would write, or an empty list when they could not equal the file's.
std::vector<std::uint8_t> savedImage(const InfoFile& document, std::uint64_t limit) {
    try {
        return document.serialize(limit);
    } catch (const std::length_error&) {
        return {};
    }
}

int run(const Invocation& invocation) {
    expectPositionals(invocation, name, 1);
    const InfoSource source = infoSource(invocation.arguments, invocation.arguments.positionals[0]);
    const std::vector<std::uint8_t> bytes = readWholeFile(source.path);
    InfoFile document;
    FileError error;
    if (!document.loadFromBytes(bytes, source.stringWidth, DocumentationTable(), &error))
        failOn(source.path, error);

    const std::vector<WriteSpan> spans = documentLayout(document);
    const std::uint64_t end = writtenEnd(spans);
    const Check check{document, bytes, spans, invocation.out};
    reportBeyondEnd(check);
    reportOverlaps(check);
    reportUncovered(check, end);
    reportTail(check, end);

    const std::vector<std::uint8_t> saved = savedImage(document, bytes.size());
    if (saved == bytes) {
        invocation.out << "result: load then save gives back the same bytes\n";
        return exitDone;
    }
    invocation.out << "result: load then save changes the file";
    if (paddedEnd(end) != bytes.size())
        invocation.out << ": a save writes " << paddedEnd(end) << " bytes, the file has "
                       << bytes.size();
    else
        invocation.out << ": first difference at "
                       << hexNumber(std::size_t(
                              std::mismatch(saved.begin(), saved.end(), bytes.begin()).first -
                              saved.begin()));
    invocation.out << '\n';
    return exitNegative;
}

} // namespace

const Command validateCommand{name, "what a load and save would not reproduce", help, options, run};

} // namespace kestra::tool
