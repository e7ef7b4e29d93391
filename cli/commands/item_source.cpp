#include "commands/item_source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "io/file_reader.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

// A batch holds about this many values (small enough for the allocator to reuse its memory
// from one batch to the next) and spans at most about this many bytes of the file.
constexpr std::size_t batchValues = std::size_t(1) << 11;
constexpr std::uint64_t batchBytes = std::uint64_t(4) << 20;
// The widest value a descriptor can give.
constexpr std::uint64_t widestValue = 32;
constexpr std::uint64_t positionLimit = std::uint64_t(1) << 32;

} // namespace

// The file's bytes, copied out as a batch needs them: from a regular file by position, from
// anything else (a pipe, a FIFO) out of memory, where it is read whole by the core's reader.
class ItemSource::File {
public:
    File(const std::string& path, const std::string& shown) : path_(path), shown_(shown) {
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
            whole_ = readWhole();
            size_ = whole_.size();
            return;
        }
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0 || ::fstat(fd_, &status) != 0)
            fail(systemFailure("cannot open the file"));
        size_ = std::min<std::uint64_t>(std::uint64_t(status.st_size), addressableBytes);
    }
    ~File() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // How many of `count` bytes from `begin` lie in the file.
    std::size_t available(std::uint64_t begin, std::uint64_t count) const {
        return begin >= size_ ? 0 : std::size_t(std::min(count, size_ - begin));
    }

    // Copies the bytes from `begin` into `out`, as far as the file reaches; the count copied.
    std::size_t copy(std::uint64_t begin, std::span<std::uint8_t> out) {
        const std::size_t wanted = available(begin, out.size());
        if (fd_ < 0) {
            std::copy_n(whole_.begin() + std::ptrdiff_t(begin), wanted, out.begin());
            return wanted;
        }
        std::size_t done = 0;
        while (done < wanted) {
            const ssize_t got = ::pread(fd_, out.data() + done, wanted - done, off_t(begin + done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                fail(systemFailure("cannot read the file"));
            if (got == 0)
                break; // the file has shrunk: the rest reads as past its end
            done += std::size_t(got);
        }
        return done;
    }

    // Every byte, for a file that is loaded whole.
    std::vector<std::uint8_t> readWhole() {
        if (fd_ < 0 && !whole_.empty())
            return std::move(whole_);
        std::vector<std::uint8_t> bytes;
        FileError error;
        if (!readFile(path_, addressableBytes, bytes, error))
            fail(error);
        return bytes;
    }

private:
    [[noreturn]] void fail(const FileError& error) {
        throw ToolError(shown_ + ": " + error.text());
    }

    std::string path_;
    std::string shown_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::vector<std::uint8_t> whole_;
};

ItemSource::ItemSource(const InfoSource& source, const DocumentationTable& names)
    : shownPath_(shownPath(source.path)), thirtyTwoByteStrings_(source.thirtyTwoByteStrings),
      names_(names), file_(std::make_unique<File>(openablePath(source.path), shownPath_)) {
    // The header and the property table, through the loader, which checks them as always.
    std::vector<std::uint8_t>& bytes = batch_;
    bytes.resize(headerSize);
    bytes.resize(file_->copy(0, bytes));
    const InfoHeader header = bytes.size() < headerSize ? InfoHeader() : decodeHeader(bytes);
    const std::uint64_t tableEnd = descriptorTableEnd(header.propertyCount);
    if (bytes.size() == headerSize) {
        bytes.resize(headerSize + file_->available(headerSize, tableEnd - headerSize));
        file_->copy(headerSize, std::span(bytes).subspan(headerSize));
        InfoHeader noItems = header;
        noItems.itemCount = 0;
        encodeHeader(noItems, bytes);
    }
    FileError error;
    if (!shape_.loadFromBytes(bytes, thirtyTwoByteStrings_, names_, &error))
        throw ToolError(shownPath_ + ": " + error.text());
    shape_.header = header;

    for (std::size_t k = 0; k < shape_.descriptors.size(); ++k) {
        const std::uint64_t offset = shape_.descriptors[k].offset;
        lowestOffset_ = k == 0 ? offset : std::min(lowestOffset_, offset);
        highestOffset_ = std::max(highestOffset_, offset);
    }
    batchItems_ = std::max<std::size_t>(1, batchValues / (shape_.descriptors.size() + 1));
    if (header.itemLength > 0)
        batchItems_ = std::min<std::size_t>(
            batchItems_, std::max<std::uint64_t>(1, batchBytes / header.itemLength));

    if (!valuesStayClearOfTheHeader()) {
        if (!whole_.loadFromBytes(file_->readWhole(), thirtyTwoByteStrings_, names_, &error))
            throw ToolError(shownPath_ + ": " + error.text());
        loadedWhole_ = true;
        file_.reset();
    }
}

ItemSource::~ItemSource() = default;

// Whether every value lies after the property table and below 4 GiB, so that the values of a
// batch can be loaded from a copy of their bytes placed right after the property table.
bool ItemSource::valuesStayClearOfTheHeader() const {
    const InfoHeader& header = shape_.header;
    if (shape_.descriptors.empty() || header.itemCount == 0)
        return true;
    const std::uint64_t first = header.firstItemOffset;
    const std::uint64_t lastItem = first + std::uint64_t(header.itemCount - 1) * header.itemLength;
    return first + lowestOffset_ >= descriptorTableEnd(shape_.descriptors.size()) &&
           lastItem + highestOffset_ < positionLimit;
}

void ItemSource::forEachItem(std::size_t first, std::size_t last,
                             const std::function<void(std::size_t, const ItemRecord&)>& visit) {
    if (loadedWhole_) {
        for (std::size_t i = first; i < last; ++i)
            visit(i, whole_.items[i]);
        return;
    }
    // Each batch is a small file of its own: the header and the property table, then the bytes
    // its items' values cover, under a header whose first item starts where they were placed.
    const InfoHeader& header = shape_.header;
    const std::size_t tableEnd = std::size_t(descriptorTableEnd(shape_.descriptors.size()));
    for (std::size_t i = first; i < last; i += batchItems_) {
        InfoHeader batch = header;
        batch.itemCount = std::uint32_t(std::min(batchItems_, last - i));
        const std::uint64_t begin = header.firstItemOffset + i * header.itemLength + lowestOffset_;
        const std::uint64_t span = shape_.descriptors.empty()
                                       ? 0
                                       : std::uint64_t(batch.itemCount - 1) * header.itemLength +
                                             highestOffset_ - lowestOffset_ + widestValue;
        batch_.resize(tableEnd + file_->available(begin, span));
        batch_.resize(tableEnd + file_->copy(begin, std::span(batch_).subspan(tableEnd)));
        // Values lie at firstItemOffset + item * itemLength + offset, in 32-bit arithmetic, so
        // this places the lowest offset of the batch's first item at the end of the table.
        batch.firstItemOffset = std::uint32_t(tableEnd - lowestOffset_);
        encodeHeader(batch, batch_);
        InfoFile items;
        FileError error;
        if (!items.loadFromBytes(batch_, thirtyTwoByteStrings_, names_, &error))
            throw ToolError(shownPath_ + ": " + error.text());
        for (std::size_t j = 0; j < items.items.size(); ++j)
            visit(i + j, items.items[j]);
    }
}

} // namespace kestra::tool
