#include "values/value_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>

namespace kestra {
namespace {

using namespace std::literals;

PropertyValue valueOf(TypeCode code) {
    PropertyValue value;
    value.typeCode = code;
    return value;
}

PropertyValue floatValue(float number) {
    PropertyValue value = valueOf(TypeCode::F4);
    value.setFloatValue(number);
    return value;
}

// What printf in the "C" locale writes (the tests run in it), to hold the formatting against.
std::u16string printed(const char* format, float number) {
    char buffer[80];
    const int length = std::snprintf(buffer, sizeof buffer, format, double(number));
    return widenText(std::string_view(buffer, std::size_t(length)));
}

std::uint32_t bitsOfParsed(std::u16string_view text) {
    return std::bit_cast<std::uint32_t>(std::strtof(narrowText(text).c_str(), nullptr));
}

TEST(ValueText, EveryByteShownCanBeStoredBackUnchanged) {
    // A full field of one byte value: shown as 16 units, narrowed and stored whole again.
    for (unsigned byte = 1; byte <= 0xFF; ++byte) {
        PropertyValue source = valueOf(TypeCode::S16);
        std::fill(source.text16().begin(), source.text16().end(), std::uint8_t(byte));
        const std::u16string shown = formatValueText(source);
        ASSERT_EQ(shown, std::u16string(16, char16_t(byte))) << byte;
        PropertyValue target = valueOf(TypeCode::S16);
        ASSERT_TRUE(parseValueText(target, narrowText(shown)));
        EXPECT_EQ(target.store, source.store) << byte;
    }
}

TEST(ValueText, NarrowingTable) {
    const struct {
        std::u16string_view text;
        std::string_view narrow;
    } cases[] = {
        {u"", ""},
        {u"Abc \u00e9\u00ff", "Abc \xe9\xff"},
        {u"ab\0cd"sv, "ab"},           // ends at the first zero
        {u"x\u20acy\u0100", "x?y?"},   // outside ISO-8859-1
        {u"a\U0001F600b", "a?b"},      // a surrogate pair is one character
        {u"a\xdc00\xd800", "a??"},     // lone surrogates each become one
        {u"\xd800\xd800\xdc00", "??"}, // a lone high one, then a pair
    };
    for (const auto& c : cases)
        EXPECT_EQ(narrowText(c.text), c.narrow) << narrowText(c.text);
}

TEST(ValueText, StringFieldShowsBytesUpToZeroAndNeverBeyondItsWidth) {
    PropertyValue value = valueOf(TypeCode::S16);
    std::fill(value.store.begin(), value.store.end(), std::uint8_t('Z'));
    EXPECT_EQ(formatValueText(value), std::u16string(16, u'Z')); // bytes past the field unread
    value.typeCode = TypeCode::S32;
    EXPECT_EQ(formatValueText(value), std::u16string(32, u'Z')); // a full s32 field: 32 units
    value.store[3] = 0;
    EXPECT_EQ(formatValueText(value), u"ZZZ");
    value.store[0] = 0;
    EXPECT_EQ(formatValueText(value), u"");
}

TEST(ValueText, FloatTextTable) {
    const struct {
        float number;
        std::u16string_view text;
    } cases[] = {
        {40.0f, u"40.000000"},
        {-10.0f, u"-10.000000"},
        {0.1f, u"0.100000"},
        {-0.0f, u"-0.000000"},
        {0.0078125f, u"0.007812"}, // an exact tie rounds to even, as printf does
        {-FLT_TRUE_MIN, u"-0.000000"},
        {std::nextafter(1e24f, 0.0f), u"999999941790833817157632.000000"}, // 31 units: %f
        {1e24f, u"1.00000001e+24"},
        {-1e23f, u"-99999997781963083612160.000000"},
        {std::nextafter(-1e23f, -INFINITY), u"-1.00000007e+23"},
        {FLT_MAX, u"3.40282347e+38"},
        {INFINITY, u"inf"},
        {-INFINITY, u"-inf"},
        {std::bit_cast<float>(0x7FC00000u), u"nan"},
        {std::bit_cast<float>(0xFFC00000u), u"-nan"},
        {std::bit_cast<float>(0x7F800001u), u"nan"}, // a signalling NaN pattern
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatValueText(floatValue(c.number)), c.text) << c.number;
}

TEST(ValueText, FloatTextMatchesPrintfAndAlwaysFits) {
    // A spread of bit patterns over every exponent, both signs, held against printf.
    for (std::uint64_t bits = 0; bits <= 0xFFFFFFFFu; bits += 65521) {
        const float number = std::bit_cast<float>(std::uint32_t(bits));
        if (!std::isfinite(number))
            continue;
        const std::u16string text = formatValueText(floatValue(number));
        ASSERT_LE(text.size(), 31u) << bits;
        const std::u16string fixed = printed("%f", number);
        if (fixed.size() <= 31) {
            ASSERT_EQ(text, fixed) << bits;
        } else {
            ASSERT_EQ(text, printed("%.9g", number)) << bits;
            ASSERT_EQ(bitsOfParsed(text), std::uint32_t(bits)) << bits;
        }
    }
}

TEST(ValueText, PowersOfTwoReadBackToTheSameFloat) {
    // Exact in "%f" below 1e24 (-1e23), shown as "%.9g" from there on; both forms read back.
    for (int exponent = 0; exponent <= 127; ++exponent) {
        for (const float sign : {1.0f, -1.0f}) {
            const float number = sign * std::ldexp(1.0f, exponent);
            PropertyValue value = floatValue(number);
            const std::uint32_t bits = value.floatBits();
            value.setFloatBits(0);
            ASSERT_TRUE(parseValueText(value, narrowText(formatValueText(floatValue(number)))));
            EXPECT_EQ(value.floatBits(), bits) << number;
        }
    }
}

TEST(ValueText, IntegerText) {
    PropertyValue value = valueOf(TypeCode::I4);
    for (const auto& [number, text] :
         {std::pair{0u, u"0"}, {7u, u"7"}, {4294967295u, u"4294967295"}}) {
        value.setIntValue(number);
        EXPECT_EQ(formatValueText(value), text);
    }
}

TEST(ValueText, TypeNamesAndTypedLimits) {
    const struct {
        TypeCode code;
        std::u16string_view name;
        std::size_t limit;
    } cases[] = {
        {TypeCode::S32, u"String (size 32)", 31},
        {TypeCode::S16, u"String (size 16)", 15},
        {TypeCode::F4, u"Float (size 4)", 15},
        {TypeCode::I4, u"Integer/Other (size 4)", 10},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(typeDisplayName(c.code), c.name);
        EXPECT_EQ(typedTextLimit(c.code), c.limit);
    }
}

// A text and the 32 bits it stores; nullopt when it is refused and the value keeps its bits.
using ParseCase = std::pair<std::string_view, std::optional<std::uint32_t>>;

void expectParses(TypeCode code, std::uint32_t before, std::span<const ParseCase> cases) {
    for (const auto& [text, stored] : cases) {
        PropertyValue value = valueOf(code);
        value.setIntValue(before);
        EXPECT_EQ(parseValueText(value, text), stored.has_value()) << text;
        EXPECT_EQ(value.intValue(), stored.value_or(before)) << text;
    }
}

TEST(ValueText, IntegerParseTable) {
    const ParseCase cases[] = {
        {"", std::nullopt},
        {"-", std::nullopt},
        {"+", std::nullopt},
        {"abc", std::nullopt},
        {"- 5", std::nullopt},
        {"  42", 42},
        {" \t\n\v\f\r9", 9},
        {"+8", 8},
        {"-5", 4294967291u},
        {"-0", 0},
        {"007", 7},
        {"12abc", 12},
        {"1.9", 1},
        {"4294967295", 4294967295u},
        {"4294967295x", 4294967295u},
        {"4294967296", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"-4294967295", 1},
        {"-4294967296", std::nullopt},
    };
    expectParses(TypeCode::I4, 123, cases);
}

TEST(ValueText, FloatParseTable) {
    const auto bits = [](float f) { return std::bit_cast<std::uint32_t>(f); };
    const ParseCase cases[] = {
        {"", std::nullopt},
        {"-", std::nullopt},
        {".", std::nullopt},
        {"-.", std::nullopt},
        {"abc", std::nullopt},
        {"1.5", bits(1.5f)},
        {"1-2", bits(1.0f)},
        {".5", bits(0.5f)},
        {"-.5", bits(-0.5f)},
        {"5.", bits(5.0f)},
        {" 40", bits(40.0f)},
        {"1,5", bits(1.0f)},
        {"+2e3x", bits(2000.0f)},
        {"0x1p3", bits(8.0f)},
        {"0.1", bits(0.1f)},
        {"3.40282356e38", bits(FLT_MAX)}, // rounds down to the largest float
        {"3.5e38", std::nullopt},
        {"1e39", std::nullopt},
        {"-1e39", std::nullopt},
        {"1e-45", 1},            // the smallest subnormal
        {"1e-50", 0},            // underflow stores the rounded value, zero
        {"-1e-50", 0x80000000u}, // with its sign
        {"inf", bits(INFINITY)},
        {"-infinity", bits(-INFINITY)},
        {"nan", 0x7FC00000u},
        {"-nan", 0xFFC00000u},
    };
    expectParses(TypeCode::F4, bits(123.0f), cases);
}

TEST(ValueText, WholeReadingTakesOneDecimalNumberAndNothingElse) {
    using enum TextRefusal;
    const struct {
        TypeCode code;
        std::string_view text;
        TextRefusal refusal;
        std::size_t numberLength = 0;
    } cases[] = {
        {TypeCode::I4, "-5", None},
        {TypeCode::I4, "1,000", MoreThanANumber, 1},
        {TypeCode::I4, "25.9", MoreThanANumber, 2},
        {TypeCode::I4, "1e3", MoreThanANumber, 1},
        {TypeCode::I4, "5 ", MoreThanANumber, 1},
        {TypeCode::I4, " 5", NoNumber},
        {TypeCode::I4, "", NoNumber},
        {TypeCode::I4, "4294967296", OutOfRange},
        {TypeCode::F4, "10.000010", None},
        {TypeCode::F4, "-.5e-3", None},
        {TypeCode::F4, "-nan", None},
        {TypeCode::F4, "Infinity", None},
        {TypeCode::F4, "9,5", MoreThanANumber, 1},
        {TypeCode::F4, "0x10", MoreThanANumber, 1},
        {TypeCode::F4, "1e", MoreThanANumber, 1},
        {TypeCode::F4, ".", NoNumber},
        {TypeCode::F4, "1e39", OutOfRange},
        {TypeCode::S16, "sixteen bytes ok", None},
        {TypeCode::S16, "seventeen bytes!!", LongerThanField},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        PropertyValue whole = valueOf(c.code);
        PropertyValue leading = valueOf(c.code);
        whole.setIntValue(123);
        leading.setIntValue(123);
        const WholeTextReading reading = parseWholeValueText(whole, c.text);
        EXPECT_EQ(reading.refusal, c.refusal);
        EXPECT_EQ(reading.numberLength, c.numberLength);
        if (c.refusal == None)
            parseValueText(leading, c.text); // what it stores, it stores as Apply does
        EXPECT_TRUE(std::ranges::equal(whole.field(), leading.field()));
    }
}

TEST(ValueText, SaysWhyANumberTypeRefusesAText) {
    const struct {
        TypeCode code;
        std::string_view text;
        ValueTextProblem problem;
    } cases[] = {
        {TypeCode::F4, "", ValueTextProblem::Empty},
        {TypeCode::I4, "", ValueTextProblem::Empty},
        {TypeCode::F4, "-", ValueTextProblem::NotANumber},
        {TypeCode::I4, " x", ValueTextProblem::NotANumber},
        {TypeCode::F4, "1e39", ValueTextProblem::OutOfRange},
        {TypeCode::I4, "4294967296", ValueTextProblem::OutOfRange},
        {TypeCode::S16, "", ValueTextProblem::None},
    };
    for (const auto& c : cases) {
        PropertyValue value = valueOf(c.code);
        EXPECT_EQ(storeValueText(value, c.text), c.problem) << c.text;
    }
}

// Restores the process locale a test changed.
class LocaleGuard {
public:
    LocaleGuard() : saved_(std::setlocale(LC_ALL, nullptr)) {}
    ~LocaleGuard() { std::setlocale(LC_ALL, saved_.c_str()); }

private:
    std::string saved_;
};

TEST(ValueText, CommaDecimalLocaleChangesNothing) {
    LocaleGuard guard;
    bool commaLocale = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) && *std::localeconv()->decimal_point == ',') {
            commaLocale = true;
            break;
        }
    }
    if (!commaLocale)
        GTEST_SKIP() << "no locale with a comma decimal point is installed (see locale -a)";
    EXPECT_EQ(formatValueText(floatValue(40.0f)), u"40.000000");
    EXPECT_EQ(formatValueText(floatValue(1e30f)), u"1.00000002e+30");
    PropertyValue value = floatValue(0.0f);
    ASSERT_TRUE(parseValueText(value, "1.5"));
    EXPECT_EQ(value.floatValue(), 1.5f);
    ASSERT_TRUE(parseValueText(value, "2,5"));
    EXPECT_EQ(value.floatValue(), 2.0f);
}

// Field contents before and after storing a text; '.' stands for a zero byte.
TEST(ValueText, StringStoreTable) {
    const struct {
        TypeCode code;
        std::string_view before, text, after;
    } cases[] = {
        {TypeCode::S16, "Longer12345.....", "Abc", "Abc.er12345....."},
        {TypeCode::S16, "ABCDEFGH........", "XY", "XY.DEFGH........"},
        {TypeCode::S16, "ABC.............", "", ".BC............."},
        {TypeCode::S16, "................", "0123456789ABCDEF", "0123456789ABCDEF"},
        {TypeCode::S16, "................", "0123456789ABCDEFGHIJ", "0123456789ABCDEF"},
        {TypeCode::S16, "ABCDEFGHIJKLMNOP", "0123456789abcde", "0123456789abcde."},
        {TypeCode::S32, "Longer12345.....................", "Abc",
         "Abc.er12345....................."},
        {TypeCode::S32, "................................", "0123456789ABCDEF0123456789abcdef",
         "0123456789ABCDEF0123456789abcdef"},
        {TypeCode::S32, "................................", "0123456789ABCDEF0123456789abcdefXYZ",
         "0123456789ABCDEF0123456789abcdef"},
    };
    const auto zeros = [](std::string_view text) {
        std::string bytes(text);
        std::replace(bytes.begin(), bytes.end(), '.', '\0');
        return bytes;
    };
    for (const auto& c : cases) {
        PropertyValue value = valueOf(c.code);
        value.store.fill(0xEE); // bytes past an s16 field must stay as they are
        const std::string before = zeros(c.before);
        std::copy(before.begin(), before.end(), value.store.begin());
        EXPECT_TRUE(parseValueText(value, c.text));
        const std::string after = zeros(c.after);
        EXPECT_TRUE(std::equal(after.begin(), after.end(), value.store.begin())) << c.text;
        EXPECT_TRUE(std::all_of(value.store.begin() + after.size(), value.store.end(),
                                [](std::uint8_t b) { return b == 0xEE; }))
            << c.text;
    }
}

// Each character of `accepted` may be typed into a field holding `current`, none of `refused`.
// 8 is Backspace, 13 Enter; 1, 3, 22 and 24 come with Ctrl+A, Ctrl+C, Ctrl+V and Ctrl+X.
TEST(ValueText, InputRuleTable) {
    const struct {
        TypeCode code;
        std::u16string_view current, accepted, refused;
    } cases[] = {
        {TypeCode::F4, u"", u"0123456789.-\b\r", u",e+ x\x01\x03\x16\x18\uff10"},
        {TypeCode::F4, u"40.000000", u"7-\b\r", u"."}, // wherever the caret stands
        {TypeCode::F4, u"4-", u"7.\b\r", u"-"},
        {TypeCode::F4, u"-4.", u"9\b\r", u".-"},
        {TypeCode::I4, u"12", u"0123456789\b\r", u"-.+ a\x01\x03\x16\x18"},
        {TypeCode::S16, u"a.-", u"-.a \x16\u20ac", u""},
        {TypeCode::S32, u"a.-", u"-.a \x16\u20ac", u""},
    };
    for (const auto& c : cases) {
        for (const char16_t typed : c.accepted)
            EXPECT_TRUE(mayTypeCharacter(c.code, c.current, typed))
                << typeCodeText(c.code) << " '" << narrowText(c.current) << "' " << int(typed);
        for (const char16_t typed : c.refused)
            EXPECT_FALSE(mayTypeCharacter(c.code, c.current, typed))
                << typeCodeText(c.code) << " '" << narrowText(c.current) << "' " << int(typed);
    }
}

} // namespace
} // namespace kestra
