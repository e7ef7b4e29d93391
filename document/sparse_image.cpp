#include "document/sparse_image.h"

#include <algorithm>
#include <cstring>

namespace kestra {

void SparseImage::write(std::uint64_t position, std::span<const std::uint8_t> bytes) {
    size_ = std::max(size_, position + bytes.size());
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

std::vector<SparseImage::Piece> SparseImage::pieces() const {
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

} // namespace kestra
