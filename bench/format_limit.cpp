#include "format_limit.h"

#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>
#include <vector>

#include "stopwatch.h"

namespace kestra {

namespace {

constexpr std::size_t blockSize = std::size_t(1) << 20;

class BlockWriter {
public:
    explicit BlockWriter(const std::string& path)
        : fd_(::open(path.c_str(), O_WRONLY | O_CLOEXEC)), buffer_(blockSize + 4096) {
        if (fd_ < 0)
            throw std::runtime_error("cannot open " + path);
    }
    ~BlockWriter() { ::close(fd_); }
    char* at() { return buffer_.data() + used_; }
    void advance(char* end) {
        used_ = std::size_t(end - buffer_.data());
        if (used_ >= blockSize)
            flush();
    }
    void flush() {
        if (::write(fd_, buffer_.data(), used_) != ssize_t(used_))
            throw std::runtime_error("cannot write the output");
        used_ = 0;
    }

private:
    int fd_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
};

char* copy(char* out, const char* text) {
    const std::size_t length = std::strlen(text);
    std::memcpy(out, text, length);
    return out + length;
}

char* valueText(char* out, ConstValueRef value, bool shortest) {
    switch (value.typeCode) {
    case TypeCode::S32:
    case TypeCode::S16: {
        const std::size_t width = valueWidth(value.typeCode);
        const auto* end = static_cast<const std::uint8_t*>(std::memchr(value.bytes, 0, width));
        const std::size_t length = end ? std::size_t(end - value.bytes) : width;
        std::memcpy(out, value.bytes, length);
        return out + length;
    }
    case TypeCode::F4:
        return shortest ? std::to_chars(out, out + 64, value.floatValue()).ptr
                        : std::to_chars(out, out + 64, double(value.floatValue()),
                                        std::chars_format::fixed, 6)
                              .ptr;
    case TypeCode::I4:
        break;
    }
    return std::to_chars(out, out + 16, value.intValue()).ptr;
}

char* hex(char* out, ConstValueRef value) {
    static constexpr char digits[] = "0123456789ABCDEF";
    for (const std::uint8_t byte : value.field()) {
        *out++ = digits[byte >> 4];
        *out++ = digits[byte & 0x0F];
    }
    return out;
}

} // namespace

double formatAndWriteSeconds(const InfoFile& document, FormatStyle style, const std::string& path) {
    const bool json = style == FormatStyle::Json;
    const bool shortest = style == FormatStyle::CsvExact || style == FormatStyle::Jsonl;
    const char* before = style == FormatStyle::Jsonl ? ", \"name\": "
                         : json ? "\n        {\"id\": 1001, \"name\": \"Name\", \"typeCode\": "
                                  "\"i4\", \"linked\": false, \"text\": \""
                                : ",";
    return secondsOf([&] {
        BlockWriter out(path);
        for (std::size_t i = 0; i < document.items.size(); ++i) {
            char* at = std::to_chars(out.at(), out.at() + 24, i).ptr;
            for (const ConstValueRef value : document.items[i].values) {
                at = valueText(copy(at, before), value, shortest);
                if (json)
                    at = copy(hex(copy(at, "\", \"bytes\": \""), value), "\"}");
            }
            out.advance(copy(at, style == FormatStyle::Jsonl ? "}\n" : "\r\n"));
        }
        out.flush();
    });
}

} // namespace kestra
