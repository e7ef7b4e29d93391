#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace kestra {

// The bytes of a file being built, held in 1 MiB chunks allocated on first write. A document
// whose values lie near the 4 GiB position limit thus costs a few chunks, not gigabytes of zeros;
// bytes never written read as zero.
class SparseImage {
public:
    static constexpr unsigned chunkShift = 20;
    static constexpr std::uint64_t chunkSize = std::uint64_t(1) << chunkShift;

    // One written chunk: where it starts in the file and its bytes, cut at the image's size.
    struct Piece {
        std::uint64_t position;
        std::span<const std::uint8_t> bytes;
    };

    void write(std::uint64_t position, std::span<const std::uint8_t> bytes);
    // The end of the furthest byte written.
    std::uint64_t size() const { return size_; }
    // The written chunks in file order; the gaps between them are zero.
    std::vector<Piece> pieces() const;

private:
    std::vector<std::unique_ptr<std::uint8_t[]>> chunks_;
    std::uint64_t size_ = 0;
};

} // namespace kestra
