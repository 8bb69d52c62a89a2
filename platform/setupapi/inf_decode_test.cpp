// Encodings, line ends and untrusted bytes: what a whole file reads as.
#include <gtest/gtest.h>

#include "platform/setupapi/inf_test_support.h"

namespace infengine {
namespace {

using testing::describe;
using testing::openBytes;
using testing::utf8;

std::string utf16le(const std::u16string& text, bool bom) {
    std::string out = bom ? "\xFF\xFE" : "";
    for (char16_t c : text) {
        out += char(c & 0xFF);
        out += char(c >> 8);
    }
    return out;
}

std::string utf16be(const std::u16string& text) {
    std::string out = "\xFE\xFF";
    for (char16_t c : text) {
        out += char(c >> 8);
        out += char(c & 0xFF);
    }
    return out;
}

const std::u16string kWide = u"[Version]\r\nSignature=$Chicago$\r\n[S]\r\nk = caf\u00E9 \U0001F600, \u20AC\r\n";
const char kWideExpected[] = "k : caf\xC3\xA9 \xF0\x9F\x98\x80|\xE2\x82\xAC";

struct Case {
    const char* name;
    std::string bytes;
    std::string expected;  // [S] described
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Encodings : public ::testing::TestWithParam<Case> {};
TEST_P(Encodings, Read) {
    testing::Opened o = openBytes(GetParam().bytes);
    ASSERT_TRUE(o.inf) << o.result.error;
    EXPECT_EQ(describe(*o.inf, "S"), GetParam().expected);
}
const std::string kAnsiHead = "[Version]\r\nSignature=$Chicago$\r\n[S]\r\n";
INSTANTIATE_TEST_SUITE_P(Table, Encodings, ::testing::Values(
    Case{"utf16le_bom", utf16le(kWide, true), kWideExpected},
    Case{"utf16le_no_bom", utf16le(kWide, false), kWideExpected},
    // Documented as accepted; Wine refuses it.
    Case{"utf16be_bom", utf16be(kWide), kWideExpected},
    Case{"utf8_bom", "\xEF\xBB\xBF" + kAnsiHead + "k = caf\xC3\xA9 \xF0\x9F\x98\x80, \xE2\x82\xAC\r\n", kWideExpected},
    Case{"utf8_no_bom_is_1252", kAnsiHead + "k = caf\xC3\xA9\r\n", "k : caf\xC3\x83\xC2\xA9"},
    Case{"cp1252", kAnsiHead + "k = \xE9\x80\x81\x9F\r\n", "k : \xC3\xA9\xE2\x82\xAC\xC2\x81\xC5\xB8"},
    Case{"utf8_nbsp_trimmed", "\xEF\xBB\xBF" + kAnsiHead + "k = \xC2\xA0x\xC2\xA0y\xE3\x80\x80, z\r\n",
         "k : x\xC2\xA0y|z"},
    Case{"utf8_invalid", "\xEF\xBB\xBF" + kAnsiHead + "k = a\xFF" "b\xC3(\xE0\x80\x80\xED\xA0\x80\xF4\x90\x80\x80\xC3\r\n",
         // One U+FFFD per byte that starts no valid sequence: FF; C3 before '('; the
         // overlong E0 80 80, the surrogate ED A0 80 and F4 90 80 80 byte by byte; a final C3.
         "k : a\xEF\xBF\xBD" "b\xEF\xBF\xBD(" + [] { std::string r; for (int i = 0; i < 11; ++i) r += "\xEF\xBF\xBD"; return r; }()},
    Case{"unpaired_surrogates_kept", utf16le(u"[Version]\nSignature=$Chicago$\n[S]\nk = a\xD800" u"b, \xDC00\n", true),
         "k : a<D800>b|<DC00>"},
    Case{"lf", "[Version]\nSignature=$Chicago$\n[S]\nk = v\nj = w", "k : v / j : w"},
    // Only LF ends a line; CR is a blank, kept inside a value.
    Case{"cr_inside_crlf_file", kAnsiHead + "a = 1\rb = 2\r\n", "a : 1<CR>b = 2"},
    // A NUL reads as a blank, in UTF-16 as in ANSI.
    Case{"nul_ansi", kAnsiHead + "k = before" + std::string(1, '\0') + "after\r\n", "k : before after"},
    Case{"nul_utf16", utf16le(u"[Version]\r\nSignature=$Chicago$\r\n[S]\r\nk = a" + std::u16string(1, 0) + u"b\r\n", true),
         "k : a b"},
    Case{"mixed", "[Version]\r\nSignature=$Chicago$\n[S]\r\n\r\nk = v\n\n\rj = w", "k : v / j : w"},
    Case{"ctrl_z_ends_file", kAnsiHead + "k = a\x1A" "b\r\nj = 2\r\n", "k : a"},
    Case{"continuation_at_end", kAnsiHead + "k = a, \\", "k : a|"},
    Case{"unterminated_quote_at_end", kAnsiHead + "k = \"open", "k : open"}));

// Bad and oversized input: a status, no crash, and bounded results.
TEST(BadInput, BinaryGarbageGetsAStatus) {
    std::string bytes;
    uint32_t seed = 12345;
    for (int i = 0; i < 100000; ++i) {
        seed = seed * 1103515245 + 12345;
        bytes += char(seed >> 16);
    }
    testing::Opened o = openBytes(bytes);
    EXPECT_EQ(o.inf, nullptr);
    EXPECT_NE(o.result.error, 0u);
}

TEST(BadInput, OddLengthUtf16IsNoUtf16) {
    testing::Opened o = openBytes(utf16le(kWide, true) + "x");
    EXPECT_EQ(o.result.error, kErrorExpectedSectionName);
    EXPECT_EQ(o.result.line, 1u);
}

TEST(BadInput, OversizedFileRefusedBeforeReading) {
    OpenResult result;
    // The size alone decides; the data pointer is never read.
    static const uint8_t one = '[';
    EXPECT_EQ(Inf::open(&one, kMaxFileBytes + 1, Options(), &result), nullptr);
    EXPECT_EQ(result.error, kErrorNotEnoughMemory);
}

TEST(BadInput, LongLineAndFieldAreCut) {
    std::string head = "[Version]\r\nSignature=$Chicago$\r\n[S]\r\n";
    // A field of 100,000 characters, then a 1 MB line of many fields.
    std::string line(1 << 20, 'x');
    for (size_t i = 5000; i < line.size(); i += 5000) line[i] = ',';
    testing::Opened o = openBytes(head + "k = " + std::string(100000, 'f') + "\\\r\n, end\r\nj = " + line + "\r\n");
    ASSERT_TRUE(o.inf);
    uint32_t s;
    std::u16string text;
    ASSERT_TRUE(o.inf->findSection(u"S", &s));
    ASSERT_TRUE(o.inf->field(s, 0, 1, &text));
    EXPECT_EQ(text.size(), kMaxFieldChars);
    ASSERT_TRUE(o.inf->field(s, 0, 2, &text));
    EXPECT_EQ(text, u"end");
    EXPECT_EQ(o.inf->valueCount(s, 1), (line.size() + 4999) / 5000);
    ASSERT_TRUE(o.inf->field(s, 1, 1, &text));
    EXPECT_EQ(text.size(), kMaxFieldChars);
    EXPECT_LT(o.inf->memoryBytes(), 8u * (1u << 20));
}

TEST(BadInput, CutKeepsSurrogatePairsWhole) {
    std::u16string field = std::u16string(kMaxFieldChars - 1, u'a') + u"\U0001F600";
    testing::Opened o = openBytes(utf16le(u"[Version]\nSignature=$Chicago$\n[S]\nk = " + field + u"\n", true));
    ASSERT_TRUE(o.inf);
    uint32_t s;
    std::u16string text;
    ASSERT_TRUE(o.inf->findSection(u"S", &s));
    ASSERT_TRUE(o.inf->field(s, 0, 1, &text));
    EXPECT_TRUE(text == std::u16string(kMaxFieldChars - 1, u'a')) << text.size();
}

TEST(BadInput, HundredThousandSections) {
    std::string bytes = "[Version]\nSignature=$Chicago$\n";
    for (int i = 0; i < 100000; ++i) bytes += "[S" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
    testing::Opened o = openBytes(bytes);
    ASSERT_TRUE(o.inf);
    EXPECT_EQ(o.inf->sectionCount(), 100001u);
    EXPECT_EQ(describe(*o.inf, "s99999"), "k : 99999");
}

TEST(BadInput, SelfReferenceIsNotExpandedAgain) {
    testing::Opened o = openBytes("[Version]\nSignature=$Chicago$\n[S]\nk=%A%%A%\n[Strings]\nA=%A%%A%%A%\n");
    ASSERT_TRUE(o.inf);
    EXPECT_EQ(describe(*o.inf, "S"), "k : %A%%A%%A%%A%%A%%A%");
}

}  // namespace
}  // namespace infengine
