#include "recovery/journal_format.h"

#include <algorithm>
#include <array>

#include "recovery/crc32c.h"

namespace kestra {

namespace {

constexpr std::array<std::uint8_t, 8> magic{'K', 'E', 'S', 'T', 'R', 'A', 'J', '1'};
// The header after the path: device, inode, modification time, size, checksum, string width.
constexpr std::size_t headerTail = 5 * 8 + 4 + 1;
// Longer than any path the system opens: a longer one is damage, and is not read into memory.
constexpr std::uint64_t largestPath = 1 << 16;
// How much is read at once for the records smaller than that.
constexpr std::uint64_t readAhead = 1 << 16;
// How much of a snapshot is read at a time to work out its checksum.
constexpr std::uint64_t snapshotPiece = 1 << 20;

// Big-endian numbers and length-prefixed byte runs, as in the files the program edits.
class Writer {
public:
    void number(std::uint64_t value, int bytes) {
        for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
            out.push_back(std::uint8_t(value >> shift));
    }
    void run(std::span<const std::uint8_t> bytes) {
        number(bytes.size(), 8);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    std::vector<std::uint8_t> out;
};

// Every read checks what is left first, so that damaged lengths never read past the end or
// allocate more than the journal holds.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool number(std::uint64_t& value, std::size_t bytes) {
        if (left() < bytes)
            return false;
        value = 0;
        for (std::size_t i = 0; i < bytes; ++i)
            value = value << 8 | bytes_[at_++];
        return true;
    }
    template <typename T> bool number(T& value) {
        std::uint64_t wide = 0;
        if (!number(wide, sizeof(T)))
            return false;
        value = T(wide);
        return true;
    }
    bool span(std::span<const std::uint8_t>& out, std::uint64_t length) {
        if (left() < length)
            return false;
        out = bytes_.subspan(at_, std::size_t(length));
        at_ += std::size_t(length);
        return true;
    }
    bool run(std::vector<std::uint8_t>& out) {
        std::uint64_t length = 0;
        std::span<const std::uint8_t> bytes;
        if (!number(length) || !span(bytes, length))
            return false;
        out.assign(bytes.begin(), bytes.end());
        return true;
    }
    std::size_t left() const { return bytes_.size() - at_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

bool decodeStep(Reader& in, EditStep& step) {
    std::uint8_t kind = 0;
    std::uint64_t item = 0;
    std::uint32_t count = 0;
    if (!in.number(kind) || kind > std::uint8_t(EditKind::DeleteItem) || !in.number(item) ||
        !in.number(count))
        return false;
    step.kind = EditKind(kind);
    step.item = std::size_t(item);
    for (std::uint32_t k = 0; k < count; ++k) {
        ValueChange change;
        if (!in.number(change.property) || !in.run(change.before) || !in.run(change.after))
            return false;
        step.values.push_back(std::move(change));
    }
    return in.run(step.itemBytes);
}

bool decodeRecord(std::span<const std::uint8_t> payload, JournalRecord& record) {
    Reader in(payload);
    std::uint8_t kind = 0;
    if (!in.number(kind) || kind > std::uint8_t(JournalRecord::Kind::Redo))
        return false;
    record.kind = JournalRecord::Kind(kind);
    const bool read = record.kind != JournalRecord::Kind::Step || decodeStep(in, record.step);
    return read && in.left() == 0;
}

bool decodeBase(Reader& in, JournalBase& base) {
    std::span<const std::uint8_t> head;
    std::vector<std::uint8_t> path;
    if (!in.span(head, magic.size()) || !std::equal(head.begin(), head.end(), magic.begin()) ||
        !in.run(path))
        return false;
    base.path.assign(path.begin(), path.end());
    return in.number(base.device) && in.number(base.inode) && in.number(base.modifiedSeconds) &&
           in.number(base.modifiedNanoseconds) && in.number(base.size) &&
           in.number(base.checksum) && in.number(base.stringWidth);
}

} // namespace

bool JournalRecord::operator==(const JournalRecord& other) const {
    auto sameValues = [](const ValueChange& a, const ValueChange& b) {
        return a.property == b.property && a.before == b.before && a.after == b.after;
    };
    return kind == other.kind && step.kind == other.step.kind && step.item == other.step.item &&
           std::equal(step.values.begin(), step.values.end(), other.step.values.begin(),
                      other.step.values.end(), sameValues) &&
           step.itemBytes == other.step.itemBytes;
}

std::vector<std::uint8_t> encodeJournalHeader(const JournalBase& base) {
    Writer out;
    out.out.assign(magic.begin(), magic.end());
    out.run({reinterpret_cast<const std::uint8_t*>(base.path.data()), base.path.size()});
    out.number(base.device, 8);
    out.number(base.inode, 8);
    out.number(std::uint64_t(base.modifiedSeconds), 8);
    out.number(std::uint64_t(base.modifiedNanoseconds), 8);
    out.number(base.size, 8);
    out.number(base.checksum, 4);
    out.number(base.stringWidth, 1);
    out.number(crc32c(out.out), 4);
    return std::move(out.out);
}

std::vector<std::uint8_t> encodeJournalRecord(const JournalRecord& record) {
    Writer payload;
    payload.number(std::uint8_t(record.kind), 1);
    if (record.kind == JournalRecord::Kind::Step) {
        payload.number(std::uint8_t(record.step.kind), 1);
        payload.number(record.step.item, 8);
        payload.number(record.step.values.size(), 4);
        for (const ValueChange& change : record.step.values) {
            payload.number(change.property, 4);
            payload.run(change.before);
            payload.run(change.after);
        }
        payload.run(record.step.itemBytes);
    }
    Writer out;
    out.number(payload.out.size(), 8);
    out.number(crc32c(payload.out), 4);
    out.out.insert(out.out.end(), payload.out.begin(), payload.out.end());
    return std::move(out.out);
}

std::vector<std::uint8_t> snapshotRecordStart(std::uint64_t documentSize) {
    Writer out;
    out.number(1 + 8 + documentSize, 8);
    out.number(0, 4);
    out.number(std::uint8_t(JournalRecord::Kind::Snapshot), 1);
    out.number(documentSize, 8);
    return std::move(out.out);
}

JournalReader::Read JournalReader::start(JournalBase& base, FileError& error) {
    // The magic and the path's length, then the rest of the header, whose length that gives.
    std::array<std::uint8_t, magic.size() + 8> head{};
    std::uint64_t pathLength = 0;
    if (const Read got = read(0, head, error); got != Read::Record)
        return got;
    Reader(std::span(head).subspan(magic.size())).number(pathLength);
    if (pathLength > largestPath)
        return Read::End;
    std::vector<std::uint8_t> header(head.size() + std::size_t(pathLength) + headerTail + 4);
    if (const Read got = read(0, header, error); got != Read::Record)
        return got;
    Reader in(header);
    std::uint32_t checksum = 0;
    if (!decodeBase(in, base) || !in.number(checksum) ||
        checksum != crc32c(std::span(header).first(header.size() - 4)))
        return Read::End;
    // A step holds at most one item's values twice and the item once, each value at most 32
    // bytes and 20 of framing, and the base file holds a 12-byte descriptor per value of an item:
    // anything larger is damage, and is not read into memory.
    largestStep_ = (std::uint64_t(64) << 10) + 16 * base.size;
    at_ = header.size();
    return Read::Record;
}

JournalReader::Read JournalReader::next(JournalRecord& record, FileError& error) {
    // The length and checksum, and the kind that starts the payload.
    std::array<std::uint8_t, recordPayloadStart + 1> head{};
    if (const Read got = read(at_, head, error); got != Read::Record)
        return got;
    Reader in(head);
    std::uint64_t length = 0;
    std::uint32_t checksum = 0;
    std::uint8_t kind = 0;
    in.number(length);
    in.number(checksum);
    in.number(kind);
    const std::uint64_t payloadAt = at_ + recordPayloadStart;
    if (length == 0 || length > source_.size() - payloadAt)
        return Read::End;
    record = {};
    if (kind == std::uint8_t(JournalRecord::Kind::Snapshot)) {
        record.kind = JournalRecord::Kind::Snapshot;
        if (const Read got = checkSnapshot(payloadAt, length, checksum, error); got != Read::Record)
            return got;
    } else {
        if (length > largestStep_)
            return Read::End;
        payload_.resize(std::size_t(length));
        if (const Read got = read(payloadAt, payload_, error); got != Read::Record)
            return got;
        if (crc32c(payload_) != checksum || !decodeRecord(payload_, record))
            return Read::End;
    }
    at_ = payloadAt + length;
    return Read::Record;
}

bool JournalReader::snapshot(ByteSource& document, FileError& error) const {
    return source_.part(snapshotAt_, snapshotSize_, document, error);
}

JournalReader::Read JournalReader::read(std::uint64_t position, std::span<std::uint8_t> out,
                                        FileError& error) {
    const std::uint64_t size = source_.size();
    if (position > size || size - position < out.size())
        return Read::End;
    if (out.size() > readAhead)
        return source_.read(position, out, error) ? Read::Record : Read::Failed;
    if (position < bufferAt_ || position + out.size() > bufferAt_ + buffer_.size()) {
        bufferAt_ = position;
        buffer_.resize(std::size_t(std::min(readAhead, size - position)));
        if (!source_.read(position, buffer_, error))
            return Read::Failed;
    }
    std::copy_n(buffer_.begin() + std::ptrdiff_t(position - bufferAt_), out.size(), out.begin());
    return Read::Record;
}

JournalReader::Read JournalReader::checkSnapshot(std::uint64_t payloadAt, std::uint64_t length,
                                                 std::uint32_t checksum, FileError& error) {
    constexpr std::uint64_t sizeEnd = 1 + 8; // the kind, then the document's size
    std::vector<std::uint8_t> piece(std::size_t(std::min(length, snapshotPiece)));
    std::uint32_t sum = 0;
    std::uint64_t documentSize = 0;
    for (std::uint64_t done = 0; done < length;) {
        const std::span<std::uint8_t> part = std::span(piece).first(
            std::size_t(std::min<std::uint64_t>(piece.size(), length - done)));
        if (const Read got = read(payloadAt + done, part, error); got != Read::Record)
            return got;
        if (done == 0 && (part.size() < sizeEnd || !Reader(part.subspan(1)).number(documentSize)))
            return Read::End;
        sum = crc32c(part, sum);
        done += part.size();
    }
    if (sum != checksum || documentSize != length - sizeEnd)
        return Read::End;
    snapshotAt_ = payloadAt + sizeEnd;
    snapshotSize_ = documentSize;
    return Read::Record;
}

std::optional<JournalContents> scanJournal(const ByteSource& source, FileError& error) {
    JournalReader reader(source);
    JournalContents contents;
    if (reader.start(contents.base, error) != JournalReader::Read::Record)
        return std::nullopt;
    contents.replayFrom = contents.wholeBytes = reader.at();
    JournalRecord record;
    JournalReader::Read read;
    while ((read = reader.next(record, error)) == JournalReader::Read::Record) {
        if (record.kind == JournalRecord::Kind::Snapshot) {
            contents.replayFrom = contents.wholeBytes;
            contents.records = 0;
        }
        ++contents.records;
        contents.wholeBytes = reader.at();
    }
    if (read == JournalReader::Read::Failed)
        return std::nullopt;
    return contents;
}

} // namespace kestra
