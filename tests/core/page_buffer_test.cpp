#include "io/page_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <numeric>

namespace kestra {
namespace {

bool allZero(const PageBuffer& buffer, std::size_t from, std::size_t to) {
    return std::all_of(buffer.data() + from, buffer.data() + to,
                       [](std::uint8_t byte) { return byte == 0; });
}

// Growing keeps the bytes, and bytes grown into are zero even where the buffer held others
// before it shrank; through the change from malloc'd to mapped memory, and back within it.
TEST(PageBuffer, GrowingKeepsTheBytesAndAddsZeros) {
    constexpr std::size_t small = 1000;
    constexpr std::size_t large = std::size_t(5) << 20;
    PageBuffer buffer(small);
    EXPECT_TRUE(allZero(buffer, 0, small));
    std::iota(buffer.data(), buffer.data() + small, std::uint8_t(1));
    buffer.resize(large);
    EXPECT_EQ(buffer.data()[small - 1], std::uint8_t(small));
    EXPECT_TRUE(allZero(buffer, small, large));

    std::fill_n(buffer.data(), large, std::uint8_t(0xEE));
    buffer.resize(small);
    buffer.resize(large + 1);
    EXPECT_EQ(buffer.data()[small - 1], 0xEE);
    EXPECT_TRUE(allZero(buffer, small, large + 1));

    const PageBuffer copy = buffer;
    EXPECT_TRUE(std::equal(copy.data(), copy.data() + copy.size(), buffer.data()));
    buffer = PageBuffer();
    EXPECT_EQ(buffer.size(), 0u);
    EXPECT_EQ(copy.size(), large + 1);
}

} // namespace
} // namespace kestra
