#include "recovery/journal_format.h"

#include <algorithm>
#include <array>

#include "recovery/crc32c.h"

namespace kestra {

namespace {

constexpr std::array<std::uint8_t, 8> magic{'K', 'E', 'S', 'T', 'R', 'A', 'J', '1'};

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
    std::size_t at() const { return at_; }
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
    if (!in.number(kind) || kind > std::uint8_t(JournalRecord::Kind::Snapshot))
        return false;
    record.kind = JournalRecord::Kind(kind);
    const bool read = record.kind == JournalRecord::Kind::Step       ? decodeStep(in, record.step)
                      : record.kind == JournalRecord::Kind::Snapshot ? in.run(record.snapshot)
                                                                     : true;
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
           step.itemBytes == other.step.itemBytes && snapshot == other.snapshot;
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
    } else if (record.kind == JournalRecord::Kind::Snapshot) {
        payload.run(record.snapshot);
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

std::optional<JournalContents> decodeJournal(std::span<const std::uint8_t> bytes) {
    Reader in(bytes);
    JournalContents contents;
    std::uint32_t headerChecksum = 0;
    if (!decodeBase(in, contents.base))
        return std::nullopt;
    const std::size_t headerEnd = in.at();
    if (!in.number(headerChecksum) || headerChecksum != crc32c(bytes.first(headerEnd)))
        return std::nullopt;
    contents.wholeBytes = in.at();
    for (;;) {
        std::uint64_t length = 0;
        std::uint32_t checksum = 0;
        std::span<const std::uint8_t> payload;
        JournalRecord record;
        if (!in.number(length) || !in.number(checksum) || !in.span(payload, length) ||
            crc32c(payload) != checksum || !decodeRecord(payload, record))
            break; // the end, or a record torn by a kill: replay stops before it
        if (record.kind == JournalRecord::Kind::Snapshot)
            contents.records.clear();
        contents.records.push_back(std::move(record));
        contents.wholeBytes = in.at();
    }
    return contents;
}

} // namespace kestra
