#include "io/sparse_image.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace kestra {

void SparseImage::write(std::uint64_t position, std::span<const std::uint8_t> bytes) {
    size_ = std::max(size_, position + bytes.size());
    if (layout_ == Layout::Dense) {
        writeChunks(position, bytes);
        return;
    }
    writes_.push_back({position, bytes_.size(), bytes.size()});
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

std::vector<SparseImage::Piece> SparseImage::pieces() const {
    return layout_ == Layout::Dense ? chunkPieces() : runPieces();
}

void SparseImage::writeChunks(std::uint64_t position, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const std::size_t index = std::size_t(position >> chunkShift);
        const std::size_t within = std::size_t(position & (chunkSize - 1));
        const std::size_t count = std::min<std::size_t>(bytes.size(), chunkSize - within);
        if (index >= chunks_.size())
            chunks_.resize(index + 1);
        if (!chunks_[index])
            chunks_[index] = std::make_unique<std::uint8_t[]>(chunkSize); // zero-filled
        std::memcpy(chunks_[index].get() + within, bytes.data(), count);
        bytes = bytes.subspan(count);
        position += count;
    }
}

std::vector<SparseImage::Piece> SparseImage::chunkPieces() const {
    std::vector<Piece> result;
    for (std::size_t index = 0; index < chunks_.size(); ++index) {
        if (!chunks_[index])
            continue;
        const std::uint64_t start = std::uint64_t(index) << chunkShift;
        const std::uint64_t length = std::min(chunkSize, size_ - start);
        result.push_back({start, {chunks_[index].get(), std::size_t(length)}});
    }
    return result;
}

std::vector<SparseImage::Piece> SparseImage::runPieces() const {
    // Writes sorted by position, ties in the order they were made.
    std::vector<std::size_t> byPosition(writes_.size());
    std::iota(byPosition.begin(), byPosition.end(), 0);
    std::stable_sort(byPosition.begin(), byPosition.end(), [&](std::size_t a, std::size_t b) {
        return writes_[a].position < writes_[b].position;
    });

    // A run is a stretch of writes that overlap or touch; it holds at most the bytes written.
    struct Run {
        std::uint64_t begin, end;
        std::size_t first, last; // its writes: byPosition[first, last)
    };
    std::vector<Run> runs;
    std::size_t total = 0;
    for (std::size_t i = 0; i < byPosition.size(); ++i) {
        const Write& write = writes_[byPosition[i]];
        const std::uint64_t end = write.position + write.length;
        if (runs.empty() || write.position > runs.back().end) {
            runs.push_back({write.position, end, i, i + 1});
        } else {
            total -= std::size_t(runs.back().end - runs.back().begin);
            runs.back().end = std::max(runs.back().end, end);
            runs.back().last = i + 1;
        }
        total += std::size_t(runs.back().end - runs.back().begin);
    }

    runs_.assign(total, 0);
    std::vector<Piece> result;
    result.reserve(runs.size());
    std::size_t base = 0;
    for (const Run& run : runs) {
        // Within a run the writes are applied in the order they were made, so later ones win.
        std::vector<std::size_t> made(byPosition.begin() + std::ptrdiff_t(run.first),
                                      byPosition.begin() + std::ptrdiff_t(run.last));
        std::sort(made.begin(), made.end());
        for (const std::size_t index : made) {
            const Write& write = writes_[index];
            std::memcpy(runs_.data() + base + (write.position - run.begin),
                        bytes_.data() + write.offset, write.length);
        }
        const std::size_t length = std::size_t(run.end - run.begin);
        result.push_back({run.begin, {runs_.data() + base, length}});
        base += length;
    }
    return result;
}

} // namespace kestra
