#include "values/text_insertion.h"

#include <gtest/gtest.h>

#include "values/value_text.h"

namespace kestra {
namespace {

// A field's text with its cursor written as '|'.
struct MarkedText {
    std::u16string text;
    std::size_t cursor;
};

MarkedText marked(std::u16string_view withCursor) {
    const std::size_t cursor = withCursor.find(u'|');
    std::u16string text(withCursor);
    text.erase(cursor, 1);
    return {text, cursor};
}

TEST(TextInsertion, AnEditKeepsAtMostTheLimitBesideWhatItKept) {
    const struct {
        std::u16string_view before, after; // `after` with its cursor
        std::size_t limit;
        std::u16string_view expected; // with its cursor; empty when the edit stands
    } cases[] = {
        {u"Kestrel", u"Kestrel123456789012345678|", 15, u"Kestrel12345678|"},
        {u"", u"123456789012345678901234567890|", 10, u"1234567890|"},
        {u"abcdef", u"abXYZW|ef", 6, u"abXY|ef"}, // the selection "cd" was replaced
        {u"a", u"ab|a", 2, u"a|a"},               // inserted before an equal letter
        {u"123456792.000000", u"123456792.0000001|", 15, u"123456792.000000|"},
        {u"123456792.000000", u"12345679|.000000", 15, u""}, // deleting always stands
        {u"123456792.000000", u"1234567X|2.000000", 15, u"1234567|2.000000"},
        {u"x", u"xab\ncd|", 31, u"xab|"}, // one line only
        {u"x", u"\r\nyz|x", 31, u"|x"},
        {u"12", u"12345|", 10, u""},
        {u"", u"|", 15, u""},
    };
    for (const auto& c : cases) {
        const MarkedText after = marked(c.after);
        const std::optional<FieldEdit> edit =
            limitInsertion(c.before, after.text, after.cursor, c.limit);
        const std::string context = narrowText(c.before) + " -> " + narrowText(c.after);
        if (c.expected.empty()) {
            EXPECT_FALSE(edit) << context;
            continue;
        }
        const MarkedText expected = marked(c.expected);
        ASSERT_TRUE(edit) << context;
        EXPECT_EQ(*edit, (FieldEdit{expected.text, expected.cursor})) << context;
    }
}

TEST(TextInsertion, CommittedCharactersPassTheTypingRulesOneAfterAnother) {
    const struct {
        TypeCode code;
        std::u16string_view current, typed, taken;
    } cases[] = {
        {TypeCode::F4, u"", u"-1.5.-2e", u"-1.52"},
        {TypeCode::F4, u"40.000000", u"1.-2", u"1-2"},
        {TypeCode::I4, u"7", u"12a-3.", u"123"},
        {TypeCode::S16, u"", u"a\u00e9\u20ac.-", u"a\u00e9\u20ac.-"},
        {TypeCode::S32, u"", u"a\b\rb\x7f", u"ab"},
        {TypeCode::I4, u"", u"1\b2\r", u"12"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(typedCharactersTaken(c.code, c.current, c.typed), c.taken) << narrowText(c.typed);
}

} // namespace
} // namespace kestra
