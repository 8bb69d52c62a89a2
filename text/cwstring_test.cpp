#include "text/cwstring.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/testing/allocation_failure.h"

namespace {

// The value holds exactly `expected` and is terminated at its length.
::testing::AssertionResult holds(const CWString& value, const std::u16string& expected) {
    if (value.data == nullptr) return ::testing::AssertionFailure() << "null buffer";
    const std::u16string actual(value.data, value.length);
    if (actual != expected) {
        return ::testing::AssertionFailure() << "length " << value.length << ", expected length " << expected.size();
    }
    if (value.data[value.length] != 0) return ::testing::AssertionFailure() << "no terminator at length";
    return ::testing::AssertionSuccess();
}

// A text with a 0 unit inside: "a\0b.c", five units.
CWString textWithZero() {
    CWString value(5u);
    value.data[0] = u'a';
    value.data[2] = u'b';
    value.data[3] = u'.';
    value.data[4] = u'c';
    return value;
}

const std::u16string kWithZero(u"a\0b.c", 5);

TEST(CWStringTest, ConstructionMeasuresUpToTheFirstZeroUnit) {
    struct Case {
        const char16_t* literal;
        std::u16string expected;
    };
    const Case cases[] = {
        {u"", u""},
        {u"abc", u"abc"},
        {u"ab\0cd", u"ab"},
        {nullptr, u""},
        {u"C:\\dir\\file.inf", u"C:\\dir\\file.inf"},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        EXPECT_TRUE(holds(CWString(cases[i].literal), cases[i].expected)) << "case " << i;
    }
    EXPECT_TRUE(holds(CWString(), u""));
}

TEST(CWStringTest, SizedBufferKeepsItsLengthAndMidTakesTheText) {
    CWString buffer(513u);
    ASSERT_EQ(buffer.length, 513u);
    for (uint32_t i = 0; i <= 513; ++i) ASSERT_EQ(buffer.data[i], 0) << i;

    const std::u16string path(u"C:\\Program Files\\Velk\\driver\\install.exe");
    ASSERT_EQ(path.size(), 40u);
    path.copy(buffer.data, path.size());
    EXPECT_EQ(buffer.length, 513u);

    const CWString taken = buffer.mid(0, 40);
    EXPECT_TRUE(holds(taken, path));
    EXPECT_NE(taken.data, buffer.data);
}

TEST(CWStringTest, CopiesOwnFreshBuffers) {
    CWString source(u"device");
    const char16_t* const before = source.data;

    CWString copy(source);
    EXPECT_NE(copy.data, source.data);

    CWString assigned(u"old text");
    const char16_t* const oldBuffer = assigned.data;
    assigned = source;
    EXPECT_NE(assigned.data, oldBuffer);
    EXPECT_NE(assigned.data, source.data);

    source.data[0] = u'X';
    EXPECT_TRUE(holds(copy, u"device"));
    EXPECT_TRUE(holds(assigned, u"device"));
    EXPECT_EQ(source.data, before);
}

TEST(CWStringTest, SelfAssignmentKeepsTheText) {
    CWString value(u"NTx86.5.1");
    CWString& alias = value;
    value = alias;
    EXPECT_TRUE(holds(value, u"NTx86.5.1"));

    CWString empty;
    CWString& emptyAlias = empty;
    empty = emptyAlias;
    EXPECT_TRUE(holds(empty, u""));
}

TEST(CWStringTest, MoveLeavesTheSourceEmptyWithABufferOfItsOwn) {
    CWString source(u"abc");
    const char16_t* const buffer = source.data;
    CWString moved(static_cast<CWString&&>(source));
    EXPECT_EQ(moved.data, buffer);
    EXPECT_TRUE(holds(moved, u"abc"));
    EXPECT_TRUE(holds(source, u""));
    EXPECT_NE(source.data, buffer);

    CWString target(u"xy");
    target = static_cast<CWString&&>(moved);
    EXPECT_TRUE(holds(target, u"abc"));
    EXPECT_TRUE(holds(moved, u"xy"));
}

TEST(CWStringTest, MidCopiesTheRangeIntoItsOwnBuffer) {
    const CWString path(u"C:\\dir\\file.inf");
    struct Case {
        uint32_t start;
        uint32_t count;
        std::u16string expected;
    };
    const Case cases[] = {
        {0, 0, u""},
        {15, 0, u""},
        {0, 15, u"C:\\dir\\file.inf"},
        {3, 3, u"dir"},
        {7, 8, u"file.inf"},
        // Past the end: cut at the length, never read beyond the buffer.
        {7, 100, u"file.inf"},
        {100, 2, u""},
        {15, UINT32_MAX, u""},
    };
    for (const Case& c : cases) {
        const CWString part = path.mid(c.start, c.count);
        EXPECT_TRUE(holds(part, c.expected)) << c.start << "," << c.count;
        EXPECT_NE(part.data, path.data);
    }
}

TEST(CWStringTest, ConcatenationMakesANewValue) {
    const CWString empty1;
    const CWString empty2;
    const CWString sum = empty1 + empty2;
    EXPECT_TRUE(holds(sum, u""));
    EXPECT_NE(sum.data, empty1.data);
    EXPECT_NE(sum.data, empty2.data);

    const CWString left(u"C:\\dir");
    EXPECT_TRUE(holds(left + CWString(u"\\velk.inf"), u"C:\\dir\\velk.inf"));
    EXPECT_TRUE(holds(left + u"\\velk.inf", u"C:\\dir\\velk.inf"));
    EXPECT_TRUE(holds(left + u"", u"C:\\dir"));
    EXPECT_TRUE(holds(left + static_cast<const char16_t*>(nullptr), u"C:\\dir"));
    EXPECT_TRUE(holds(left + left, u"C:\\dirC:\\dir"));
    EXPECT_TRUE(holds(left, u"C:\\dir"));
}

TEST(CWStringTest, AppendReplacesTheBuffer) {
    CWString value(u"Models");
    const char16_t* previous = value.data;
    value.append(u".");
    EXPECT_NE(value.data, previous);
    previous = value.data;
    value.append(CWString(u"NTx86"));
    EXPECT_NE(value.data, previous);
    EXPECT_TRUE(holds(value, u"Models.NTx86"));

    previous = value.data;
    value.append(u"");
    EXPECT_NE(value.data, previous);
    value.append(static_cast<const char16_t*>(nullptr));
    value.append(CWString());
    EXPECT_TRUE(holds(value, u"Models.NTx86"));

    CWString twice(u"ab");
    twice.append(twice);
    EXPECT_TRUE(holds(twice, u"abab"));
}

TEST(CWStringTest, ZeroUnitInsideKeepsTheLength) {
    const CWString value = textWithZero();
    ASSERT_TRUE(holds(value, kWithZero));

    const CWString copy(value);
    EXPECT_TRUE(holds(copy, kWithZero));
    CWString assigned;
    assigned = value;
    EXPECT_TRUE(holds(assigned, kWithZero));

    EXPECT_TRUE(holds(value + value, kWithZero + kWithZero));
    EXPECT_TRUE(holds(value + u"x", kWithZero + u"x"));

    CWString appended(u"x");
    appended.append(value);
    EXPECT_TRUE(holds(appended, u"x" + kWithZero));

    EXPECT_TRUE(holds(value.mid(1, 3), std::u16string(u"\0b.", 3)));
}

TEST(CWStringTest, OversizedRequestsFailLikeFailedAllocations) {
    // Sizes whose byte count, terminator included, needs more than 32 bits.
    const uint32_t sizes[] = {UINT32_MAX, UINT32_MAX - 1, 0x80000000u, 0x7FFFFFFFu};
    for (uint32_t size : sizes) {
        EXPECT_ALLOCATION_FAILURE(CWString value(size)) << size;
    }
}

TEST(CWStringTest, EmptyIsTheEmptyText) {
    EXPECT_TRUE(CWString::emptyIsLive());
    EXPECT_TRUE(holds(CWString::Empty, u""));
    EXPECT_TRUE(CWString::Empty.isEmpty());
    const CWString copy(CWString::Empty);
    EXPECT_NE(copy.data, CWString::Empty.data);
    EXPECT_FALSE(CWString(u"a").isEmpty());
    EXPECT_FALSE(textWithZero().mid(1, 1).isEmpty());
}

}  // namespace
