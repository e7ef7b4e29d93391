#include "values/exact_value_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "values/value_text.h"

namespace kestra {
namespace {

PropertyValue floatWithBits(std::uint32_t bits) {
    PropertyValue value;
    value.typeCode = TypeCode::F4;
    value.setFloatBits(bits);
    return value;
}

TEST(ExactValueText, FloatsTakeTheFewestDigitsThatReadBack) {
    const struct {
        std::uint32_t bits;
        const char* text;
    } cases[] = {
        {0x42940000, "74"},            // shown as 74.000000
        {0x33D6BF95, "1e-07"},         // shown as 0.000000
        {0x4120000B, "10.0000105"},    // needs nine digits
        {0x3DCCCCCD, "0.1"},           // the float nearest to 0.1, not its exact decimal
        {0x7F7FFFFF, "3.4028235e+38"}, // the largest float
        {0x00000001, "1e-45"},         // the smallest subnormal
        {0x80000000, "-0"},
        {0x7F800000, "inf"},
        {0xFF800000, "-inf"},
        {0x7FC00001, "nan"}, // a payload no text keeps
        {0xFFC00000, "-nan"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(exactValueText(floatWithBits(c.bits)), c.text);
    }
}

TEST(ExactValueText, EveryFiniteFloatReadsBackToItsBitsThroughTheEditorsParse) {
    // A stride through every exponent and sign; the odd stride reaches every low bit pattern.
    for (std::uint64_t bits = 0; bits <= 0xFFFFFFFF; bits += 0x10001) {
        const PropertyValue value = floatWithBits(std::uint32_t(bits));
        if (!std::isfinite(value.floatValue()))
            continue;
        const std::string text = exactValueText(value);
        PropertyValue read = floatWithBits(0);
        ASSERT_TRUE(parseValueText(read, text)) << text;
        ASSERT_EQ(read.floatBits(), value.floatBits()) << text;
    }
}

TEST(ExactValueText, IntegersAndStringsAreTheirShownText) {
    PropertyValue integer;
    integer.typeCode = TypeCode::I4;
    integer.setIntValue(4294967295u);
    EXPECT_EQ(exactValueText(integer), "4294967295");

    PropertyValue text;
    text.typeCode = TypeCode::S16;
    const std::uint8_t bytes[16] = {'A', 0xE9, 0x1B, 0, 'x'};
    std::copy(std::begin(bytes), std::end(bytes), text.text16().begin());
    EXPECT_EQ(exactValueText(text), "A\xE9\x1B");
}

} // namespace
} // namespace kestra
