#pragma once

#include <compare>
#include <cstddef>
#include <iterator>

namespace kestra {

// A random-access iterator over something whose elements are views made on access:
// `source[index]` gives the element. `Source` is cheap to copy (a view, or a pointer to the owner),
// so the iterator stays valid as long as what the source points at.
template <typename Source> class IndexIterator {
public:
    using value_type = decltype(std::declval<const Source&>()[std::size_t()]);
    using difference_type = std::ptrdiff_t;
    using iterator_concept = std::random_access_iterator_tag;
    // The elements are values, not references, which the older iterator categories do not allow.
    using iterator_category = std::input_iterator_tag;
    using reference = value_type;
    using pointer = void;

    IndexIterator() = default;
    IndexIterator(Source source, std::size_t index) : source_(source), index_(index) {}

    value_type operator*() const { return source_[index_]; }
    value_type operator[](difference_type offset) const {
        return source_[std::size_t(difference_type(index_) + offset)];
    }
    std::size_t index() const { return index_; }

    IndexIterator& operator++() {
        ++index_;
        return *this;
    }
    IndexIterator operator++(int) {
        IndexIterator before = *this;
        ++index_;
        return before;
    }
    IndexIterator& operator--() {
        --index_;
        return *this;
    }
    IndexIterator operator--(int) {
        IndexIterator before = *this;
        --index_;
        return before;
    }
    IndexIterator& operator+=(difference_type offset) {
        index_ = std::size_t(difference_type(index_) + offset);
        return *this;
    }
    IndexIterator& operator-=(difference_type offset) { return *this += -offset; }
    friend IndexIterator operator+(IndexIterator it, difference_type offset) {
        return it += offset;
    }
    friend IndexIterator operator+(difference_type offset, IndexIterator it) {
        return it += offset;
    }
    friend IndexIterator operator-(IndexIterator it, difference_type offset) {
        return it -= offset;
    }
    friend difference_type operator-(const IndexIterator& a, const IndexIterator& b) {
        return difference_type(a.index_) - difference_type(b.index_);
    }
    friend bool operator==(const IndexIterator& a, const IndexIterator& b) {
        return a.index_ == b.index_;
    }
    friend auto operator<=>(const IndexIterator& a, const IndexIterator& b) {
        return a.index_ <=> b.index_;
    }

private:
    Source source_{};
    std::size_t index_ = 0;
};

} // namespace kestra
