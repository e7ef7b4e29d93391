#include "recovery/recovery_journal.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "io/file_reader.h"
#include "recovery/base_file.h"
#include "recovery/crc32c.h"

namespace kestra {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Creates every missing folder of `folder`, each 0700 as the state folders are private; the
// last one, which holds the journals, must be a folder of ours and not a link.
bool makePrivateFolder(const std::string& folder, FileError& error) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return failWithReason(error, "cannot create the recovery folder " + part);
        if (slash == std::string::npos)
            break;
    }
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0)
        return failWithReason(error, "cannot examine the recovery folder " + folder);
    if (!S_ISDIR(status.st_mode) || status.st_uid != ::getuid())
        return failWith(error, "the recovery folder " + folder + " is not a folder of this user");
    if ((status.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0)
        return failWithReason(error, "cannot make the recovery folder private");
    return true;
}

bool writeWhole(int fd, std::span<const std::uint8_t> bytes, FileError& error) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0)
        return failWithReason(error, "cannot write the recovery journal");
    if (std::size_t(written) != bytes.size())
        return failWith(error, "cannot write the recovery journal: the disk is full");
    return true;
}

// Writes all of `bytes` at `position`, in as many writes as it takes: for the document of a
// snapshot, which the rename makes whole, not for a record.
bool writeAllAt(int fd, std::uint64_t position, std::span<const std::uint8_t> bytes,
                FileError& error) {
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), off_t(position));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return failWithReason(error, "cannot write the recovery journal");
        if (written == 0)
            return failWith(error, "cannot write the recovery journal: the disk is full");
        bytes = bytes.subspan(std::size_t(written));
        position += std::uint64_t(written);
    }
    return true;
}

std::vector<std::uint8_t> bigEndian(std::uint32_t value) {
    return {std::uint8_t(value >> 24), std::uint8_t(value >> 16), std::uint8_t(value >> 8),
            std::uint8_t(value)};
}

// A new journal file holding `header`, or -1 with `error` set.
FileDescriptor createJournalFile(const std::string& path, std::span<const std::uint8_t> header,
                                 FileError& error) {
    FileDescriptor fd(
        ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (fd.get() < 0)
        failWithReason(error, "cannot create the recovery journal " + path);
    else if (!writeWhole(fd.get(), header, error))
        fd.reset(-1);
    return fd;
}

} // namespace

std::string recoveryFolder() {
    std::string state = environment("XDG_STATE_HOME");
    if (state.empty() || state.front() != '/')
        state = environment("HOME") + "/.local/state";
    return state + "/kestra/recovery";
}

std::string journalPathFor(const std::string& folder, const std::string& absolutePath) {
    char name[16];
    std::snprintf(
        name, sizeof name, "%08x",
        crc32c({reinterpret_cast<const std::uint8_t*>(absolutePath.data()), absolutePath.size()}));
    return folder + "/" + name + ".journal";
}

bool JournalWriter::create(const std::string& path, const JournalBase& base, FileError& error) {
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos && !makePrivateFolder(path.substr(0, slash), error))
        return false;
    const std::vector<std::uint8_t> header = encodeJournalHeader(base);
    fd_ = createJournalFile(path, header, error);
    path_ = path;
    base_ = base;
    size_ = header.size();
    return isOpen();
}

bool JournalWriter::resume(const std::string& path, const JournalContents& contents,
                           FileError& error) {
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0)
        return failWithReason(error, "cannot open the recovery journal " + path);
    if (::ftruncate(fd.get(), off_t(contents.wholeBytes)) != 0)
        return failWithReason(error, "cannot cut the torn end off the recovery journal");
    fd_ = std::move(fd);
    path_ = path;
    base_ = contents.base;
    size_ = contents.wholeBytes;
    return true;
}

bool JournalWriter::append(const JournalRecord& record, FileError& error) {
    return appendEncoded(encodeJournalRecord(record), error);
}

bool JournalWriter::appendEncoded(std::span<const std::uint8_t> records, FileError& error) {
    if (!writeWhole(fd_.get(), records, error))
        return false;
    size_ += records.size();
    return true;
}

bool JournalWriter::sync(FileError& error) {
    return ::fdatasync(fd_.get()) == 0 ||
           failWithReason(error, "cannot flush the recovery journal");
}

bool JournalWriter::restart(std::uint64_t documentSize, const FileContents& document,
                            FileError& error) {
    const std::string fresh = path_ + ".new";
    const std::vector<std::uint8_t> header = encodeJournalHeader(base_);
    const std::vector<std::uint8_t> start = snapshotRecordStart(documentSize);
    const std::uint64_t documentAt = header.size() + start.size();
    FileDescriptor fd = createJournalFile(fresh, header, error);
    if (fd.get() < 0)
        return false;
    std::uint32_t checksum = 0;
    std::uint64_t checked = 0;
    // The bytes no write of the document reaches stay holes, which read as the zeros they are.
    bool written =
        writeWhole(fd.get(), start, error) &&
        (::ftruncate(fd.get(), off_t(documentAt + documentSize)) == 0 ||
         failWithReason(error, "cannot make room in the recovery journal")) &&
        document([&](std::uint64_t position, std::span<const std::uint8_t> bytes) {
            return writeAllAt(fd.get(), documentAt + position, bytes, error);
        }) &&
        checksumOfFile(fd.get(), header.size() + recordPayloadStart, fresh, checksum, checked,
                       error) &&
        writeAllAt(fd.get(), header.size() + recordChecksumStart, bigEndian(checksum), error) &&
        // Records go on after the snapshot, where writes at positions left the file's offset.
        (::lseek(fd.get(), 0, SEEK_END) >= 0 ||
         failWithReason(error, "cannot find the end of the recovery journal"));
    if (written && ::fdatasync(fd.get()) != 0)
        written = failWithReason(error, "cannot flush the recovery journal");
    if (written && ::rename(fresh.c_str(), path_.c_str()) != 0)
        written = failWithReason(error, "cannot replace the recovery journal");
    if (!written) {
        ::unlink(fresh.c_str()); // the old journal still stands; this only tidies up
        return false;
    }
    fd_ = std::move(fd);
    size_ = documentAt + documentSize;
    return true;
}

bool JournalWriter::remove(FileError& error) {
    if (!isOpen())
        return true;
    fd_.close();
    return ::unlink(path_.c_str()) == 0 || errno == ENOENT ||
           failWithReason(error, "cannot delete the recovery journal " + path_);
}

bool openJournal(const std::string& path, ByteSource& source, FileError& error) {
    return ByteSource::open(path, std::numeric_limits<std::uint64_t>::max(), source, error,
                            FileKinds::RegularOnly);
}

std::optional<JournalContents> readJournal(const std::string& path, FileError& error) {
    ByteSource source;
    if (!openJournal(path, source, error))
        return std::nullopt;
    error = {};
    std::optional<JournalContents> contents = scanJournal(source, error);
    if (!contents && error.message.empty())
        failWith(error, "the recovery journal " + path + " is damaged");
    return contents;
}

} // namespace kestra
