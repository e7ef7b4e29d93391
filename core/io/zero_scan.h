#pragma once

#include <algorithm>
#include <cstdint>

#include "io/file_reader.h"
#include "io/page_buffer.h"

namespace kestra {

// Finds the bytes other than zero in stretches of a source asked for in ascending order, reading
// through one reused window and skipping the file's holes, so that a sparse file of gigabytes
// costs what its data does.
class ZeroScan {
public:
    explicit ZeroScan(const ByteSource& source);

    // Calls found(begin, end) for each run of bytes other than zero within [begin, end), in order.
    // Stretches must not start before the end of the one asked for before. False, with `error`
    // saying why, when a read fails.
    template <typename Found>
    bool scan(std::uint64_t begin, std::uint64_t end, Found&& found, FileError& error) {
        std::uint64_t position = begin;
        std::uint64_t run = end; // where the open run began; `end` when none is open
        while (position < end) {
            if (!reach(position, error))
                return false;
            if (position < start_) { // a hole
                if (run != end)
                    found(run, position);
                run = end;
                position = std::min(end, start_);
                continue;
            }
            for (const std::uint64_t stop = std::min(end, available_); position < stop;
                 ++position) {
                const bool zero = window_.data()[position - start_] == 0;
                if (zero && run != end) {
                    found(run, position);
                    run = end;
                } else if (!zero && run == end) {
                    run = position;
                }
            }
        }
        if (run != end)
            found(run, end);
        return true;
    }

private:
    // Makes the bytes at `position` known: the bytes from there to start_ are a hole, those from
    // start_ to available_ are in the window.
    bool reach(std::uint64_t position, FileError& error);

    const ByteSource& source_;
    PageBuffer window_;
    std::uint64_t start_ = 0;
    std::uint64_t available_ = 0;
};

} // namespace kestra
