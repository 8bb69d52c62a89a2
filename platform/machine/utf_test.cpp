#include "machine/utf.h"

#include <gtest/gtest.h>

namespace standin {
namespace {

TEST(Utf, RoundTripsEveryPlane) {
    const std::u16string text = u"a\u00e9\u20ac\U0001F600z";
    const std::string utf8 = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";
    EXPECT_EQ(toUtf8(text), utf8);
    EXPECT_EQ(fromUtf8(utf8), text);
}

TEST(Utf, MalformedInputBecomesReplacement) {
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

}  // namespace
}  // namespace standin
