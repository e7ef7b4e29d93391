#pragma once

#include <cstddef>
#include <cstdint>

namespace kestra {

// A growable run of bytes for the document's values and the buffers that read and write files.
// A large one is mapped straight from the kernel and marked for transparent huge pages: on a
// virtual machine the first touch of each 4 KiB page is what filling fresh memory costs most,
// and a 2 MiB page takes that cost once for 512 of them. A small one comes from malloc.
class PageBuffer {
public:
    PageBuffer() = default;
    // `size` zero bytes. Throws std::bad_alloc when the memory cannot be had.
    explicit PageBuffer(std::size_t size);
    PageBuffer(const PageBuffer& other);
    PageBuffer& operator=(const PageBuffer& other);
    PageBuffer(PageBuffer&& other) noexcept;
    PageBuffer& operator=(PageBuffer&& other) noexcept;
    ~PageBuffer();

    std::uint8_t* data() { return data_; }
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

    // Grows or shrinks to `size` bytes; the bytes it grows by are zero. Growing past the
    // capacity takes half as much again as needed, so that appending one item at a time stays
    // cheap. Throws std::bad_alloc, leaving the buffer as it was, when memory cannot be had.
    void resize(std::size_t size);

private:
    void reallocate(std::size_t capacity);
    void release();

    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    // Bytes from here to the capacity have never been written: fresh mapped pages read as zero,
    // so growing into them needs no clearing (and no touch).
    std::size_t untouched_ = 0;
    bool mapped_ = false;
};

} // namespace kestra
