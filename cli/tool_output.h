#pragma once

#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "text/control_escapes.h"

namespace kestra::tool {

// The tool's standard output or standard error: a stream onto the file descriptor that keeps the
// system's reason for a failed write, so that the tool can report it (a full disk, a closed
// descriptor) instead of ending with status 0. Onto a terminal, control characters are shown
// visibly (ControlEscaper); to a file or a pipe the bytes go out as they are, so exports stay
// exact.
class ToolOutput : public std::ostream {
public:
    // `open` is false when the descriptor was closed when the tool started: every write fails.
    ToolOutput(int fd, bool open);
    ~ToolOutput() override;
    ToolOutput(const ToolOutput&) = delete;
    ToolOutput& operator=(const ToolOutput&) = delete;

    // Writes everything still buffered; false when a write has failed, now or before.
    bool finish();
    // Why a write failed ("No space left on device"), empty while none has.
    const std::string& failure() const { return buffer_.failure(); }

private:
    class Buffer : public std::streambuf {
    public:
        Buffer(int fd, bool open, bool escapeControls);
        const std::string& failure() const { return failure_; }
        bool finish();

    protected:
        int_type overflow(int_type c) override;
        int sync() override;

    private:
        bool drain();
        bool writeAll(const char* bytes, std::size_t count);

        int fd_;
        bool open_;
        bool escapeControls_;
        ControlEscaper escaper_;
        std::string escaped_;
        std::vector<char> space_;
        std::string failure_;
    };

    Buffer buffer_;
};

// Makes sure that descriptor `fd` (0, 1 or 2, in that order) is open, putting /dev/null in the
// place of one that is closed, so that no file the tool opens later takes the place of a
// standard stream. False when it was closed.
bool reserveStandardDescriptor(int fd);

} // namespace kestra::tool
