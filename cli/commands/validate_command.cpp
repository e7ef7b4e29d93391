#include <algorithm>
#include <limits>

#include "commands/commands.h"
#include "commands/document_access.h"
#include "commands/file_layout.h"
#include "commands/value_fields.h"
#include "document/saved_values.h"
#include "document/value_placement.h"
#include "io/file_reader.h"
#include "io/zero_scan.h"
#include "names/documentation_table.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

constexpr std::string_view name = "validate";
constexpr std::string_view synopsis = "FILE";
constexpr std::string_view help =
    R"help(Tells what a load followed by a save would not reproduce, one finding per line:
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
constexpr std::uint64_t nowhere = std::numeric_limits<std::uint64_t>::max();

std::string byteRange(std::uint64_t begin, std::uint64_t end) {
    return hexNumber(begin) + "-" + hexNumber(end - 1);
}

// The findings of one kind: the first `shownPerKind` in words, the rest counted. Their texts are
// built only for those shown.
class FindingList {
public:
    explicit FindingList(std::string_view kind) : kind_(kind) {}

    template <typename Text> void add(Text&& text) {
        if (count_++ < shownPerKind)
            shown_.push_back(text());
    }
    void write(std::ostream& out) const {
        for (const std::string& finding : shown_)
            out << kind_ << ": " << finding << '\n';
        if (count_ > shownPerKind)
            out << kind_ << ": ... and " << count_ - shownPerKind << " more\n";
    }

private:
    std::string_view kind_;
    std::vector<std::string> shown_;
    std::size_t count_ = 0;
};

// The failure to read the file, said as for a file that cannot be read at all.
[[noreturn]] void failToRead(const std::string& path, FileError error) {
    error.message = error.code ? "cannot be read" : "cannot be read: " + error.message;
    failOn(path, error);
}

// Parts that lie wholly or partly past the end of the file, in write order. Only items that reach
// past it are looked at value by value.
void findBeyondEnd(const InfoFile& document, std::uint64_t size, FindingList& list) {
    const auto check = [&](const WriteSpan& span) {
        if (span.end > size)
            list.add([&] {
                return spanLabel(document, span) + " at " + byteRange(span.begin, span.end) +
                       "; the file ends at " + hexNumber(size);
            });
    };
    check(WriteSpan{0, headerSize, WriteSpan::Kind::Header});
    if (!document.descriptors.empty())
        check(WriteSpan{headerSize, descriptorTableEnd(document.descriptors.size()),
                        WriteSpan::Kind::PropertyTable});
    const std::span<const PropertySlot> properties = document.items.properties();
    const ValuePlacement placement(properties);
    for (std::uint32_t item = 0; item < document.items.size(); ++item) {
        const std::uint64_t start = unwrappedPosition(document.header, item);
        if (!placement.wrapsAt(start) && start + placement.end <= size)
            continue;
        for (std::uint32_t k = 0; k < properties.size(); ++k) {
            const std::uint64_t begin =
                valuePosition(document.header, item, properties[k].facts.descriptor.offset);
            check(WriteSpan{
                begin, begin + savedWidth(document.descriptors[k], properties[k].facts.typeCode),
                WriteSpan::Kind::Value, item, k});
        }
    }
}

// Overlapping parts, and the bytes other than zero that no part covers, read from the file.
class LayoutCheck : public LayoutObserver {
public:
    LayoutCheck(const InfoFile& document, const ByteSource& source, const std::string& path)
        : document_(document), source_(source), path_(path), scan_(source) {}

    void overlap(const WriteSpan& earlier, const WriteSpan& later) override {
        overlaps.add([&] {
            return spanLabel(document_, later) + " at " + byteRange(later.begin, later.end) +
                   " overlaps " + spanLabel(document_, earlier) + " at " +
                   byteRange(earlier.begin, earlier.end);
        });
    }
    void gap(std::uint64_t begin, std::uint64_t end) override {
        FileError error;
        const auto found = [&](std::uint64_t first, std::uint64_t last) {
            firstUncovered = std::min(firstUncovered, first);
            uncovered.add([&] {
                return "bytes " + byteRange(first, last) +
                       " are not zero; a save writes zeros there";
            });
        };
        if (!scan_.scan(begin, std::min(end, source_.size()), found, error))
            failToRead(path_, error);
    }

    FindingList overlaps{"overlap"};
    FindingList uncovered{"uncovered"};
    std::uint64_t firstUncovered = nowhere;

private:
    const InfoFile& document_;
    const ByteSource& source_;
    const std::string& path_;
    ZeroScan scan_;
};

// Reports the bytes after the last part: the "@" padding up to a multiple of 32 and anything
// beyond. Returns the first padding byte that is not "@", or `nowhere`.
std::uint64_t reportTail(std::ostream& out, const ByteSource& source, const std::string& path,
                         std::uint64_t end) {
    const std::uint64_t size = source.size();
    const std::uint64_t padded = paddedEnd(end);
    std::uint64_t firstWrong = nowhere;
    if (size >= end) {
        std::vector<std::uint8_t> tail(std::size_t(std::min(size, padded) - end));
        FileError error;
        if (!source.read(end, tail, error))
            failToRead(path, error);
        std::size_t wrong = 0;
        for (std::size_t at = 0; at < tail.size(); ++at) {
            if (tail[at] != paddingByte && wrong++ == 0)
                firstWrong = end + at;
        }
        if (wrong > 0)
            out << "padding: " << wrong << " of the bytes " << byteRange(end, padded)
                << " are not \"@\"; a save writes \"@\" there\n";
        if (size < padded)
            out << "padding: the file ends at " << hexNumber(size) << "; a save adds \"@\" up to "
                << hexNumber(padded) << '\n';
    }
    if (size > padded)
        out << "trailing: bytes " << byteRange(padded, size) << " (" << size - padded
            << " bytes) lie beyond the padded end; a save drops them\n";
    return firstWrong;
}

int run(const Invocation& invocation) {
    expectPositionals(invocation, name, 1);
    const InfoSource source = infoSource(invocation.arguments, invocation.arguments.positionals[0]);
    ByteSource bytes;
    FileError error;
    if (!ByteSource::open(openablePath(source.path), addressableBytes, bytes, error))
        failToRead(source.path, error);
    // A stream is read to its end, since what lies beyond the values counts too, and then seen
    // as the bytes in memory that it is.
    std::vector<std::uint8_t> streamed;
    if (bytes.isStream()) {
        if (!bytes.fetch(addressableBytes, error))
            failToRead(source.path, error);
        streamed.resize(std::size_t(bytes.size()));
        if (!bytes.read(0, streamed, error))
            failToRead(source.path, error);
        bytes = ByteSource(streamed);
    }
    InfoFile document;
    if (!document.load(bytes, source.stringWidth, DocumentationTable(), &error)) {
        if (error.code)
            failToRead(source.path, error);
        failOn(source.path, error);
    }

    FindingList beyondEnd("beyond end");
    findBeyondEnd(document, bytes.size(), beyondEnd);
    LayoutCheck check(document, bytes, source.path);
    const std::uint64_t end = sweepLayout(document, check);
    std::ostream& out = invocation.out;
    beyondEnd.write(out);
    check.overlaps.write(out);
    check.uncovered.write(out);
    const std::uint64_t firstWrongPadding = reportTail(out, bytes, source.path, end);

    // Every value holds the file's own bytes where it lies, so a save gives back the file unless
    // its length differs, or it writes zeros or "@" where the file holds other bytes.
    const std::uint64_t firstDifference = std::min(check.firstUncovered, firstWrongPadding);
    if (paddedEnd(end) == bytes.size() && firstDifference == nowhere) {
        out << "result: load then save gives back the same bytes\n";
        return exitDone;
    }
    out << "result: load then save changes the file";
    if (paddedEnd(end) != bytes.size())
        out << ": a save writes " << paddedEnd(end) << " bytes, the file has " << bytes.size();
    else
        out << ": first difference at " << hexNumber(firstDifference);
    out << '\n';
    return exitNegative;
}

} // namespace

const Command validateCommand{
    name, "what a load and save would not reproduce", CommandKind::Report, synopsis, help, {}, run};

} // namespace kestra::tool
