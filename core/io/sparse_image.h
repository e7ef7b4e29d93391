#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace kestra {

// The bytes of a file being built; bytes never written read as zero. A file whose writes lie
// close together is held in 1 MiB chunks allocated on first write, which is fast. One whose
// writes lie scattered (values up to the 4 GiB position limit, far apart) is held as the writes
// themselves, so it costs memory for its values only, never for the gaps between them.
class SparseImage {
public:
    enum class Layout { Dense, Scattered };

    explicit SparseImage(Layout layout) : layout_(layout) {}

    // One run of written bytes: where it starts in the file and its bytes.
    struct Piece {
        std::uint64_t position;
        std::span<const std::uint8_t> bytes;
    };

    void write(std::uint64_t position, std::span<const std::uint8_t> bytes);
    // The end of the furthest byte written.
    std::uint64_t size() const { return size_; }
    // The written bytes as runs in file order, a later write winning where writes overlap; the
    // gaps between runs are zero. The runs stay valid until the next call.
    std::vector<Piece> pieces() const;

private:
    static constexpr unsigned chunkShift = 20;
    static constexpr std::uint64_t chunkSize = std::uint64_t(1) << chunkShift;

    void writeChunks(std::uint64_t position, std::span<const std::uint8_t> bytes);
    std::vector<Piece> chunkPieces() const;
    std::vector<Piece> runPieces() const;

    struct Write {
        std::uint64_t position;
        std::size_t offset; // into bytes_
        std::size_t length;
    };

    Layout layout_;
    std::vector<std::unique_ptr<std::uint8_t[]>> chunks_; // Dense
    std::vector<Write> writes_;                           // Scattered, in the order they were made
    std::vector<std::uint8_t> bytes_;
    mutable std::vector<std::uint8_t> runs_;
    std::uint64_t size_ = 0;
};

} // namespace kestra
