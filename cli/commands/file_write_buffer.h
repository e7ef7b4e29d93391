#pragma once

#include <streambuf>
#include <system_error>
#include <vector>

#include "io/atomic_file.h"

namespace kestra::tool {

// A stream buffer that writes the text put into it through the atomic save's WriteAt, one
// buffer's worth at a time and each after the last, so that a long text reaches the new file
// without first being held whole in memory. A failed write keeps the system's reason and fails
// the stream.
class FileWriteBuffer : public std::streambuf {
public:
    explicit FileWriteBuffer(const WriteAt& write);

    // Why the last write failed; none while every write succeeded.
    const std::error_code& failure() const { return failure_; }

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool drain();

    const WriteAt& write_;
    std::vector<char> space_;
    std::uint64_t position_ = 0;
    std::error_code failure_;
};

} // namespace kestra::tool
