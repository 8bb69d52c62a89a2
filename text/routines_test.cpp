#include "text/routines.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

int sign(int value) { return (value > 0) - (value < 0); }

TEST(RoutinesTest, CompareNoCaseFoldsOnlyAToZ) {
    struct Case {
        const char16_t* left;
        const char16_t* right;
        int sign;
    };
    const Case cases[] = {
        {u"-nopause", u"-NOPAUSE", 0},
        {u"-NoPause", u"-nopause", 0},
        {u"NTx86", u"ntx86", 0},
        {u"", u"", 0},
        {u"abc", u"abd", -1},
        {u"ABC", u"abd", -1},
        {u"abd", u"ABC", 1},
        {u"a", u"", 1},
        {u"", u"a", -1},
        {u"-nopause ", u"-nopause", 1},
        {u"/nopause", u"-nopause", 1},
        // Letters fold to lower case, so '_' (between 'Z' and 'a') sorts before them.
        {u"_", u"A", -1},
        {u"[", u"a", -1},
        // Nothing outside A-Z is folded.
        {u"\u00e9", u"\u00c9", 1},
        {u"\u0131", u"I", 1},
        {u"\uffff", u"a", 1},
        {nullptr, u"", 0},
        {u"a", nullptr, 1},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        EXPECT_EQ(sign(compareNoCase(cases[i].left, cases[i].right)), cases[i].sign) << "case " << i;
    }
}

struct ScanCase {
    const char16_t* text;
    bool read;
    uint32_t value;  // when read
};

void checkScan(bool (*scan)(const char16_t*, uint32_t*), const std::vector<ScanCase>& cases) {
    for (size_t i = 0; i < cases.size(); ++i) {
        const uint32_t untouched = 0xDEADBEEFu;
        uint32_t value = untouched;
        EXPECT_EQ(scan(cases[i].text, &value), cases[i].read) << "case " << i;
        EXPECT_EQ(value, cases[i].read ? cases[i].value : untouched) << "case " << i;
    }
}

TEST(RoutinesTest, ScanUnsignedReadsLikePercentLu) {
    checkScan(scanUnsigned, {
        {u"5", true, 5},
        {u"0", true, 0},
        {u"  \t\r\n\v\f12", true, 12},
        {u"+7", true, 7},
        {u"-1", true, 0xFFFFFFFFu},
        {u"-0", true, 0},
        {u"-4294967295", true, 1},
        {u"05", true, 5},
        {u"000000000000000000000042", true, 42},
        {u"5abc", true, 5},
        {u"5 6", true, 5},
        {u"0x0100", true, 0},
        {u"0X0100", true, 0},
        {u"4294967295", true, 0xFFFFFFFFu},
        // Out of range: the largest value, whatever the sign.
        {u"4294967296", true, 0xFFFFFFFFu},
        {u"99999999999999999999999999", true, 0xFFFFFFFFu},
        {u"-4294967296", true, 0xFFFFFFFFu},
        {u"", false, 0},
        {u"   ", false, 0},
        {u"abc", false, 0},
        {u"+", false, 0},
        {u"-", false, 0},
        {u"+-5", false, 0},
        {u"- 5", false, 0},
        {u"\u00a05", false, 0},
        {u"\u0665", false, 0},
        {nullptr, false, 0},
    });
}

TEST(RoutinesTest, ScanHexadecimalReadsLikePercentLx) {
    checkScan(scanHexadecimal, {
        {u"ff", true, 0xFF},
        {u"FF", true, 0xFF},
        {u"0100", true, 0x100},
        {u" \t0100", true, 0x100},
        {u"0x1f", true, 0x1F},
        {u"0X1F", true, 0x1F},
        {u"+0x10", true, 0x10},
        {u"-0x5", true, 0xFFFFFFFBu},
        {u"-1", true, 0xFFFFFFFFu},
        {u"1fz", true, 0x1F},
        {u"ffffffff", true, 0xFFFFFFFFu},
        {u"00000000000000000000ffffffff", true, 0xFFFFFFFFu},
        {u"100000000", true, 0xFFFFFFFFu},
        {u"-100000000", true, 0xFFFFFFFFu},
        // A prefix without a digit after it: the "0" is the number.
        {u"0x", true, 0},
        {u"0xg", true, 0},
        {u"0x0x5", true, 0},
        {u"", false, 0},
        {u"  ", false, 0},
        {u"x5", false, 0},
        {u"g", false, 0},
        {u"-", false, 0},
        {u"-x5", false, 0},
        {nullptr, false, 0},
    });
}

// A formatting call into a buffer of the given capacity.
using Call = std::function<size_t(char16_t*, size_t)>;

struct Formatted {
    std::u16string text;
    size_t returned;
};

// Runs the call into an exactly sized buffer (so the sanitizer sees any
// overrun) and checks that the terminator follows the returned length.
Formatted run(const Call& call, size_t capacity = 256) {
    std::vector<char16_t> buffer(capacity + 1, u'#');
    const size_t returned = call(buffer.data(), capacity);
    EXPECT_EQ(buffer[capacity], u'#') << "wrote past the capacity";
    Formatted result{std::u16string(), returned};
    if (capacity == 0) return result;
    EXPECT_LT(returned, capacity);
    EXPECT_EQ(buffer[returned], 0);
    result.text.assign(buffer.data(), returned);
    return result;
}

TEST(RoutinesTest, FormatWritesEachConversion) {
    struct Case {
        std::u16string expected;
        Call call;
    };
    const Case cases[] = {
        {u"plain\n", [](char16_t* b, size_t n) { return formatText(b, n, u"plain\n"); }},
        {u"'abc'", [](char16_t* b, size_t n) { return formatText(b, n, u"'%s'", u"abc"); }},
        {u"''", [](char16_t* b, size_t n) { return formatText(b, n, u"'%s'", u""); }},
        {u"(null)", [](char16_t* b, size_t n) { return formatText(b, n, u"%s", static_cast<const char16_t*>(nullptr)); }},
        {u"0 4294967295", [](char16_t* b, size_t n) { return formatText(b, n, u"%lu %lu", uint32_t{0}, UINT32_MAX); }},
        {u"0 1f00 ffffffff", [](char16_t* b, size_t n) { return formatText(b, n, u"%lx %lx %lx", uint32_t{0}, uint32_t{0x1F00}, UINT32_MAX); }},
        {u"100%", [](char16_t* b, size_t n) { return formatText(b, n, u"100%%"); }},
        {u"%%", [](char16_t* b, size_t n) { return formatText(b, n, u"%%%%"); }},
        // Unknown conversions stand as written and take no argument.
        {u"%d x", [](char16_t* b, size_t n) { return formatText(b, n, u"%d %s", u"x"); }},
        {u"%u %ls 7", [](char16_t* b, size_t n) { return formatText(b, n, u"%u %ls %lu", uint32_t{7}); }},
        {u"%l", [](char16_t* b, size_t n) { return formatText(b, n, u"%l"); }},
        {u"50%", [](char16_t* b, size_t n) { return formatText(b, n, u"50%"); }},
        {u"CInfFile::open: opened .INF file. Architecture=0 OS=5.1 ProductType=1 SuiteMask=0x100\n",
         [](char16_t* b, size_t n) {
             return formatText(b, n,
                               u"CInfFile::open: opened .INF file. Architecture=%lu OS=%lu.%lu ProductType=%lu "
                               u"SuiteMask=0x%lx\n",
                               uint32_t{0}, uint32_t{5}, uint32_t{1}, uint32_t{1}, uint32_t{0x100});
         }},
        {u"*** Failed to get original filename, error=Unexpected error\n",
         [](char16_t* b, size_t n) {
             return formatText(b, n, u"*** Failed to get original filename, error=%s\n", u"Unexpected error");
         }},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        const Formatted out = run(cases[i].call);
        EXPECT_EQ(out.text, cases[i].expected) << "case " << i;
        EXPECT_EQ(out.returned, cases[i].expected.size()) << "case " << i;
    }
}

TEST(RoutinesTest, FormatCutsAt255UnitsBetweenSurrogatePairs) {
    const std::u16string a300(300, u'a');
    const std::u16string a254(254, u'a');
    const std::u16string a253(253, u'a');
    const std::u16string pair(u"\U0001F600");  // D83D DE00
    const std::u16string line255 = std::u16string(254, u'b') + u"\n";

    const std::u16string pairAtCut = a254 + pair + u"tail";
    const std::u16string pairBeforeCut = a253 + pair + u"tail";
    const std::u16string loneHighAtCut = a254 + u"\xD83Dz";

    struct Case {
        std::u16string argument;
        const char16_t* format;
        std::u16string expected;
    };
    const Case cases[] = {
        {a300, u"%s", std::u16string(255, u'a')},
        {a300, u"ab%s\n", u"ab" + std::u16string(253, u'a')},
        {line255, u"%s", line255},
        {line255, u"%s%%", line255},
        {std::u16string(255, u'c'), u"%s\n", std::u16string(255, u'c')},
        // The pair would take units 254 and 255: both go.
        {pairAtCut, u"%s", a254},
        {a254, u"%s\U0001F600", a254},
        // The pair fits exactly.
        {pairBeforeCut, u"%s", a253 + pair},
        // A lone first half is not a pair: it stays.
        {loneHighAtCut, u"%s", a254 + u"\xD83D"},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        const Case& c = cases[i];
        const Formatted out = run([&c](char16_t* b, size_t n) { return formatText(b, n, c.format, c.argument.c_str()); });
        EXPECT_EQ(out.text, c.expected) << "case " << i;
        EXPECT_EQ(out.returned, c.expected.size()) << "case " << i;
    }

    // A cut number keeps its leading digits.
    const std::u16string cutNumber = run([&a254](char16_t* b, size_t n) {
        return formatText(b, n, u"%s%lu", a254.c_str(), uint32_t{987});
    }).text;
    EXPECT_EQ(cutNumber, a254 + u"9");
}

TEST(RoutinesTest, FormatHonoursSmallCapacities) {
    const Call call = [](char16_t* b, size_t n) { return formatText(b, n, u"%s-%lu", u"abc", uint32_t{42}); };
    struct Case {
        size_t capacity;
        std::u16string expected;
    };
    const Case cases[] = {
        {0, u""}, {1, u""}, {2, u"a"}, {4, u"abc"}, {6, u"abc-4"}, {7, u"abc-42"}, {8, u"abc-42"},
    };
    for (const Case& c : cases) {
        const Formatted out = run(call, c.capacity);
        EXPECT_EQ(out.text, c.expected) << c.capacity;
        EXPECT_EQ(out.returned, c.expected.size()) << c.capacity;
    }
}

}  // namespace
