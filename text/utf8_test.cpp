#include "text/utf8.h"

#include <cstdint>

#include <gtest/gtest.h>

namespace {

TEST(Utf8, RoundTripsEveryPlane) {
    const std::u16string text = u"a\u00e9\u20ac\U0001F600z";
    const std::string utf8 = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";
    EXPECT_EQ(toUtf8(text), utf8);
    EXPECT_EQ(fromUtf8(utf8), text);
}

TEST(Utf8, MalformedInputBecomesReplacement) {
    struct Case {
        std::string utf8;
        std::u16string expected;
    } cases[] = {
        {"\xFF", u"\uFFFD"},
        {"a\xC3", u"a\uFFFD"},              // cut short at the end
        {"\xC0\xAF", u"\uFFFD\uFFFD"},      // overlong
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
        {"\xE2\x82x", u"\uFFFD\uFFFDx"},
    };
    for (const Case& c : cases) EXPECT_EQ(fromUtf8(c.utf8), c.expected) << c.utf8;

    const std::u16string lone = {u'a', char16_t(0xD800), u'b'};
    EXPECT_EQ(toUtf8(lone), "a\xEF\xBF\xBD" "b");
    std::string out;
    EXPECT_FALSE(toUtf8Strict(lone, &out));
    EXPECT_TRUE(toUtf8Strict(u"ok", &out));
    EXPECT_EQ(toUtf8(static_cast<const char16_t*>(nullptr)), "");
}

// Each length boundary, and what is not a character.
TEST(Utf8, AppendsOneCharacter) {
    struct Case {
        char32_t codePoint;
        std::string expected;
    } cases[] = {
        {0x00, std::string(1, '\0')},
        {0x7F, "\x7F"},
        {0x80, "\xC2\x80"},
        {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},
        {0xFFFF, "\xEF\xBF\xBF"},
        {0x10000, "\xF0\x90\x80\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
        {0xD800, "\xEF\xBF\xBD"},
        {0xDFFF, "\xEF\xBF\xBD"},
        {0x110000, "\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        std::string out = "x";
        appendUtf8(out, c.codePoint);
        EXPECT_EQ(out, "x" + c.expected) << uint32_t(c.codePoint);
    }
}

TEST(Utf8, ReadsPairsAndLeavesLoneSurrogates) {
    struct Case {
        std::u16string text;
        char32_t expected;
        size_t next;
    } cases[] = {
        {u"a", u'a', 1},
        {u"\U0001F600", 0x1F600, 2},
        {{char16_t(0xD800)}, 0xD800, 1},                    // high at the end
        {{char16_t(0xD800), u'b'}, 0xD800, 1},              // high, then no low
        {{char16_t(0xDC00), char16_t(0xD800)}, 0xDC00, 1},  // low first
        {{char16_t(0xD800), char16_t(0xD800), char16_t(0xDC00)}, 0xD800, 1},
    };
    for (const Case& c : cases) {
        size_t index = 0;
        EXPECT_EQ(nextCodePoint(c.text, &index), c.expected) << toUtf8(c.text);
        EXPECT_EQ(index, c.next);
    }
}

}  // namespace
