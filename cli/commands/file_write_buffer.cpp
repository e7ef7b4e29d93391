#include "commands/file_write_buffer.h"

#include <cerrno>

namespace kestra::tool {

namespace {
constexpr std::size_t bufferSize = std::size_t(64) << 10;
} // namespace

FileWriteBuffer::FileWriteBuffer(const WriteAt& write) : write_(write), space_(bufferSize) {
    setp(space_.data(), space_.data() + space_.size());
}

bool FileWriteBuffer::drain() {
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(pbase()),
                          std::size_t(pptr() - pbase()));
    setp(space_.data(), space_.data() + space_.size());
    if (!failure_ && !write_(position_, bytes))
        failure_ = std::error_code(errno, std::generic_category());
    position_ += bytes.size();
    return !failure_;
}

FileWriteBuffer::int_type FileWriteBuffer::overflow(int_type c) {
    if (!drain())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int FileWriteBuffer::sync() {
    return drain() ? 0 : -1;
}

} // namespace kestra::tool
