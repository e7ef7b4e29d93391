#include "tool_output.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kestra::tool {

namespace {
constexpr std::size_t bufferSize = std::size_t(64) << 10;
} // namespace

ToolOutput::Buffer::Buffer(int fd, bool open, bool escapeControls)
    : fd_(fd), open_(open), escapeControls_(escapeControls), space_(bufferSize) {
    setp(space_.data(), space_.data() + space_.size());
}

bool ToolOutput::Buffer::writeAll(const char* bytes, std::size_t count) {
    // Writing nothing to a closed descriptor is no failure: a command that has nothing to say
    // still succeeds.
    if (count > 0 && !open_)
        failure_ = std::strerror(EBADF);
    while (failure_.empty() && count > 0) {
        const ssize_t written = ::write(fd_, bytes, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            failure_ = std::strerror(written < 0 ? errno : EIO);
            break;
        }
        bytes += written;
        count -= std::size_t(written);
    }
    return failure_.empty();
}

bool ToolOutput::Buffer::drain() {
    const std::string_view pending(pbase(), std::size_t(pptr() - pbase()));
    setp(space_.data(), space_.data() + space_.size());
    if (!escapeControls_)
        return writeAll(pending.data(), pending.size());
    escaped_.clear();
    escaper_.escape(pending, escaped_);
    return writeAll(escaped_.data(), escaped_.size());
}

ToolOutput::Buffer::int_type ToolOutput::Buffer::overflow(int_type c) {
    if (!drain())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int ToolOutput::Buffer::sync() {
    return drain() ? 0 : -1;
}

bool ToolOutput::Buffer::finish() {
    if (!drain())
        return false;
    escaped_.clear();
    escaper_.finish(escaped_);
    return writeAll(escaped_.data(), escaped_.size());
}

ToolOutput::ToolOutput(int fd, bool open)
    : std::ostream(nullptr), buffer_(fd, open, open && ::isatty(fd) == 1) {
    rdbuf(&buffer_);
}

ToolOutput::~ToolOutput() {
    // Through the buffer, not flush(): a stream that throws on failure must not throw here.
    buffer_.finish();
}

bool ToolOutput::finish() {
    return buffer_.finish();
}

bool reserveStandardDescriptor(int fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
        return true;
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0 && null != fd) {
        ::dup2(null, fd);
        ::close(null);
    }
    return false;
}

} // namespace kestra::tool
