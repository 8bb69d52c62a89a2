#include "text/cwstring_array.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/allocation_failure.h"

namespace {

using Pieces = std::vector<std::u16string>;

std::u16string text(const CWString& value) {
    EXPECT_EQ(value.data[value.length], 0);
    return std::u16string(value.data, value.length);
}

Pieces piecesOf(const CWStringArray& array) {
    Pieces pieces;
    for (uint32_t i = 0; i < array.itemCount; ++i) pieces.push_back(text(array.items[i]));
    return pieces;
}

CWString valueOf(const std::u16string& units) {
    CWString value(static_cast<uint32_t>(units.size()));
    units.copy(value.data, units.size());
    return value;
}

CWStringArray arrayOf(const Pieces& pieces) {
    CWStringArray array;
    for (const std::u16string& piece : pieces) array.append(valueOf(piece));
    return array;
}

// No two elements of the arrays share a buffer.
void expectOwnBuffers(const CWStringArray& a, const CWStringArray& b) {
    for (uint32_t i = 0; i < a.itemCount; ++i) {
        for (uint32_t j = 0; j < b.itemCount; ++j) {
            if (&a != &b || i != j) {
                EXPECT_NE(a.items[i].data, b.items[j].data) << i << "," << j;
            }
        }
    }
}

const std::u16string kEmpty;

TEST(CWStringArrayTest, SplitCutsAtEveryDot) {
    struct Case {
        std::u16string text;
        Pieces pieces;
    };
    const Case cases[] = {
        {u"", {}},
        {u"abc", {u"abc"}},
        {u"NTx86.5.1", {u"NTx86", u"5", u"1"}},
        {u"a.b", {u"a", u"b"}},
        {u".a", {kEmpty, u"a"}},
        {u"a..b", {u"a", kEmpty, u"b"}},
        {u"a.", {u"a"}},
        {u".", {kEmpty}},
        {u"a..", {u"a", kEmpty}},
        {u"..", {kEmpty, kEmpty}},
        // A 0 unit stops the search for dots: the rest is the last piece.
        {std::u16string(u"a\0b.c", 5), {std::u16string(u"a\0b.c", 5)}},
        {std::u16string(u"a.b\0.c", 6), {u"a", std::u16string(u"b\0.c", 4)}},
        {std::u16string(u"a.\0", 3), {u"a", std::u16string(u"\0", 1)}},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        const CWString source = valueOf(cases[i].text);
        const CWStringArray pieces = CWStringArray::split(source);
        EXPECT_EQ(piecesOf(pieces), cases[i].pieces) << "case " << i;
        expectOwnBuffers(pieces, pieces);
    }
}

TEST(CWStringArrayTest, JoinPutsDotsBetweenElements) {
    struct Case {
        Pieces pieces;
        std::u16string text;
    };
    const Case cases[] = {
        {{}, u""},
        {{u"NTx86", u"5", u"1"}, u"NTx86.5.1"},
        {{kEmpty}, u""},
        {{kEmpty, kEmpty}, u"."},
        {{u"a", kEmpty, u"b"}, u"a..b"},
        {{std::u16string(u"a\0b", 3), u"c"}, std::u16string(u"a\0b.c", 5)},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        EXPECT_EQ(text(arrayOf(cases[i].pieces).join()), cases[i].text) << "case " << i;
    }
}

TEST(CWStringArrayTest, JoinOfSplitLosesOnlyOneTrailingDot) {
    struct Case {
        std::u16string text;
        std::u16string joined;
    };
    const Case cases[] = {
        {u"", u""},
        {u"abc", u"abc"},
        {u"NTx86.5.1.1.0x0100", u"NTx86.5.1.1.0x0100"},
        {u".a", u".a"},
        {u"a..b", u"a..b"},
        {u"..a", u"..a"},
        {u"a.", u"a"},
        {u"a..", u"a."},
        {u".", u""},
        {u"..", u"."},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        EXPECT_EQ(text(CWStringArray::split(valueOf(cases[i].text)).join()), cases[i].joined) << "case " << i;
    }
}

TEST(CWStringArrayTest, NewArrayIsEmptyWithoutBlock) {
    const CWStringArray array;
    EXPECT_EQ(array.itemCount, 0u);
    EXPECT_EQ(array.items, nullptr);
}

TEST(CWStringArrayTest, AppendStoresADeepCopy) {
    CWStringArray array;
    CWString id(u"PCI\\VEN_1234&DEV_5678");
    array.append(id);
    ASSERT_EQ(array.itemCount, 1u);
    EXPECT_NE(array.items[0].data, id.data);
    id.data[0] = u'X';
    id.append(u"more");
    EXPECT_EQ(text(array.items[0]), u"PCI\\VEN_1234&DEV_5678");

    // Duplicates are kept, order is INF order.
    array.append(CWString(u"ACPI\\PNP0A03"));
    array.append(CWString(u"PCI\\VEN_1234&DEV_5678"));
    EXPECT_EQ(piecesOf(array), (Pieces{u"PCI\\VEN_1234&DEV_5678", u"ACPI\\PNP0A03", u"PCI\\VEN_1234&DEV_5678"}));
    expectOwnBuffers(array, array);
}

TEST(CWStringArrayTest, AppendOfOwnElementCopiesIt) {
    CWStringArray array = arrayOf({u"a", u"bc"});
    array.append(array.items[1]);
    array.append(array.items[0]);
    EXPECT_EQ(piecesOf(array), (Pieces{u"a", u"bc", u"bc", u"a"}));
    expectOwnBuffers(array, array);
}

TEST(CWStringArrayTest, EveryChangeOfSizeBuildsANewBlock) {
    CWStringArray array = arrayOf({u"a", u"b", u"c"});

    const CWString* block = array.items;
    array.setSize(3);
    EXPECT_NE(array.items, block);
    EXPECT_EQ(piecesOf(array), (Pieces{u"a", u"b", u"c"}));

    block = array.items;
    array.append(CWString(u"d"));
    EXPECT_NE(array.items, block);

    array.setSize(6);
    EXPECT_EQ(piecesOf(array), (Pieces{u"a", u"b", u"c", u"d", kEmpty, kEmpty}));
    EXPECT_NE(array.items[4].data, nullptr);
    expectOwnBuffers(array, array);

    array.setSize(2);
    EXPECT_EQ(piecesOf(array), (Pieces{u"a", u"b"}));

    array.setSize(0);
    EXPECT_EQ(array.itemCount, 0u);
    EXPECT_EQ(array.join().length, 0u);

    CWStringArray fresh;
    fresh.setSize(2);
    EXPECT_EQ(piecesOf(fresh), (Pieces{kEmpty, kEmpty}));
}

TEST(CWStringArrayTest, ElementsAreAssignedInPlace) {
    // The decoration reader replaces a "0x" piece by its text after the prefix.
    CWStringArray pieces = CWStringArray::split(CWString(u"NTx86.5.1.1.0x0100"));
    pieces.items[4] = pieces.items[4].mid(2, pieces.items[4].length - 2);
    EXPECT_EQ(piecesOf(pieces), (Pieces{u"NTx86", u"5", u"1", u"1", u"0100"}));
}

TEST(CWStringArrayTest, CopiesAreDeep) {
    const CWStringArray three = arrayOf({u"x", u"y", u"z"});
    CWStringArray five = arrayOf({u"1", u"2", u"3", u"4", u"5"});
    five = three;
    EXPECT_EQ(piecesOf(five), (Pieces{u"x", u"y", u"z"}));
    expectOwnBuffers(five, three);

    const CWStringArray copy(three);
    EXPECT_EQ(piecesOf(copy), (Pieces{u"x", u"y", u"z"}));
    expectOwnBuffers(copy, three);

    CWStringArray& alias = five;
    five = alias;
    EXPECT_EQ(piecesOf(five), (Pieces{u"x", u"y", u"z"}));

    five = CWStringArray();
    EXPECT_EQ(five.itemCount, 0u);
    EXPECT_EQ(five.join().length, 0u);
}

TEST(CWStringArrayTest, ZeroUnitInsideKeepsItsLengthThroughAppend) {
    const std::u16string units(u"a\0b", 3);
    CWStringArray array;
    array.append(valueOf(units));
    array.append(array.items[0]);
    EXPECT_EQ(piecesOf(array), (Pieces{units, units}));
}

TEST(CWStringArrayTest, OversizedBlocksFailLikeFailedAllocations) {
    CWStringArray array = arrayOf({u"kept"});
    const CWString* block = array.items;
    // Element counts whose block needs more than 32 bits of bytes on every build.
    const uint32_t counts[] = {UINT32_MAX, 0x80000000u};
    for (uint32_t count : counts) {
        EXPECT_ALLOCATION_FAILURE(array.setSize(count)) << count;
        // Where the failure is an exception, the array is left as it was.
        if (VELK_BUILD_HAS_EXCEPTIONS) {
            EXPECT_EQ(array.items, block);
            EXPECT_EQ(piecesOf(array), (Pieces{u"kept"}));
        }
    }
}

}  // namespace
