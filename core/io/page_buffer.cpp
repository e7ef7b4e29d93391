#include "io/page_buffer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <utility>

namespace kestra {

namespace {

constexpr std::size_t hugePageSize = std::size_t(2) << 20;

// Under AddressSanitizer every buffer comes from malloc, so that a read past the end of one is
// caught; a mapping has no guard around it.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t smallestMapping = SIZE_MAX;
#else
constexpr std::size_t smallestMapping = hugePageSize;
#endif

std::size_t roundUp(std::size_t value, std::size_t multiple) {
    return (value + multiple - 1) / multiple * multiple;
}

// `capacity` bytes (a multiple of the huge page size) starting on a huge page boundary, so that
// all of them can be backed by huge pages. Without MAP_NORESERVE, so that a size the system
// cannot back fails here, as a failed allocation, rather than killing the process on first touch.
std::uint8_t* mapAligned(std::size_t capacity) {
    const std::size_t reserved = capacity + hugePageSize;
    void* region =
        ::mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (region == MAP_FAILED)
        throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(region);
    const std::uintptr_t aligned = roundUp(start, hugePageSize);
    const std::size_t head = aligned - start;
    if (head != 0)
        ::munmap(region, head);
    if (reserved - head != capacity)
        ::munmap(reinterpret_cast<void*>(aligned + capacity), reserved - head - capacity);
    // Only advice: where huge pages are switched off the mapping works as before.
    ::madvise(reinterpret_cast<void*>(aligned), capacity, MADV_HUGEPAGE);
    return reinterpret_cast<std::uint8_t*>(aligned);
}

} // namespace

PageBuffer::PageBuffer(std::size_t size) {
    resize(size);
}

PageBuffer::PageBuffer(const PageBuffer& other) {
    resize(other.size_);
    if (size_ != 0)
        std::memcpy(data_, other.data_, size_);
}

PageBuffer& PageBuffer::operator=(const PageBuffer& other) {
    if (this != &other) {
        PageBuffer copy(other);
        *this = std::move(copy);
    }
    return *this;
}

PageBuffer::PageBuffer(PageBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)), untouched_(std::exchange(other.untouched_, 0)),
      mapped_(std::exchange(other.mapped_, false)) {}

PageBuffer& PageBuffer::operator=(PageBuffer&& other) noexcept {
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
        untouched_ = std::exchange(other.untouched_, 0);
        mapped_ = std::exchange(other.mapped_, false);
    }
    return *this;
}

PageBuffer::~PageBuffer() {
    release();
}

void PageBuffer::resize(std::size_t size) {
    if (size > capacity_)
        reallocate(std::max(size, capacity_ + capacity_ / 2));
    if (size > size_) {
        const std::size_t clearEnd = std::min(size, untouched_);
        if (clearEnd > size_)
            std::memset(data_ + size_, 0, clearEnd - size_);
        untouched_ = std::max(untouched_, size);
    }
    size_ = size;
}

void PageBuffer::reallocate(std::size_t capacity) {
    if (capacity >= smallestMapping) {
        capacity = roundUp(capacity, hugePageSize);
        if (mapped_) {
            void* moved = ::mremap(data_, capacity_, capacity, MREMAP_MAYMOVE);
            if (moved == MAP_FAILED)
                throw std::bad_alloc();
            ::madvise(moved, capacity, MADV_HUGEPAGE);
            data_ = static_cast<std::uint8_t*>(moved);
        } else {
            std::uint8_t* mapped = mapAligned(capacity);
            if (size_ != 0)
                std::memcpy(mapped, data_, size_);
            std::free(data_);
            data_ = mapped;
            untouched_ = size_;
            mapped_ = true;
        }
    } else {
        void* grown = std::realloc(data_, capacity);
        if (!grown)
            throw std::bad_alloc();
        data_ = static_cast<std::uint8_t*>(grown);
        untouched_ = capacity; // malloc's memory holds anything
    }
    capacity_ = capacity;
}

void PageBuffer::release() {
    if (mapped_)
        ::munmap(data_, capacity_);
    else
        std::free(data_);
    data_ = nullptr;
    size_ = capacity_ = untouched_ = 0;
    mapped_ = false;
}

} // namespace kestra
