#include "platform/newdev/driver_version.h"

#include <gtest/gtest.h>

namespace {

using standin::compareDriverVersions;
using standin::formatDriverVersion;
using standin::parseDriverVer;

TEST(DriverVersion, ReadsDateAndVersionFields) {
    struct Case {
        const char16_t* date;
        const char16_t* version;
        const char* expected;
    } cases[] = {
        {u"06/01/2024", u"2.1.0.0", "06/01/2024,2.1.0.0"},
        {u"6/1/2024", u"2.1", "06/01/2024,2.1.0.0"},  // short forms
        {u"12/31/9999", u"65535.65535.65535.65535", "12/31/9999,65535.65535.65535.65535"},
        {u"", u"", "00/00/0000,0.0.0.0"},  // no DriverVer line
        // An unusable date counts as none; the version is still read.
        {u"13/01/2024", u"1.0.0.0", "00/00/0000,1.0.0.0"},
        {u"00/10/2024", u"1.0.0.0", "00/00/0000,1.0.0.0"},
        {u"01/32/2024", u"1.0.0.0", "00/00/0000,1.0.0.0"},
        {u"01/01/0000", u"1.0.0.0", "00/00/0000,1.0.0.0"},
        {u"2024-06-01", u"1.0.0.0", "00/00/0000,1.0.0.0"},
        {u"06/01/20245", u"1.0.0.0", "00/00/0000,1.0.0.0"},
        {u"06/01/2024x", u"1.0.0.0", "00/00/0000,1.0.0.0"},
        // An unusable version counts as 0.0.0.0; the date is still read.
        {u"06/01/2024", u"1.2.3.4.5", "06/01/2024,0.0.0.0"},
        {u"06/01/2024", u"65536.0.0.0", "06/01/2024,0.0.0.0"},
        {u"06/01/2024", u"1..2", "06/01/2024,0.0.0.0"},
        {u"06/01/2024", u"1.2.", "06/01/2024,0.0.0.0"},
        {u"06/01/2024", u"v1", "06/01/2024,0.0.0.0"},
        {u"06/01/2024", u"99999999999999999999", "06/01/2024,0.0.0.0"},
    };
    for (const auto& c : cases) {
        std::string date(c.date, c.date + std::char_traits<char16_t>::length(c.date));
        EXPECT_EQ(formatDriverVersion(parseDriverVer(c.date, c.version)), c.expected) << date;
    }
}

TEST(DriverVersion, RanksByDateThenVersion) {
    struct Case {
        const char16_t* dateA;
        const char16_t* versionA;
        const char16_t* dateB;
        const char16_t* versionB;
        int expected;
    } cases[] = {
        {u"06/01/2024", u"1.0.0.0", u"06/01/2024", u"1.0.0.0", 0},
        {u"06/01/2024", u"1.0.0.0", u"06/02/2024", u"1.0.0.0", -1},
        {u"07/01/2023", u"9.0.0.0", u"01/01/2024", u"1.0.0.0", -1},  // the date decides first
        {u"06/01/2024", u"1.0.0.10", u"06/01/2024", u"1.0.0.9", 1},  // numeric, not textual
        {u"06/01/2024", u"1.2", u"06/01/2024", u"1.2.0.0", 0},
        {u"", u"", u"01/01/1980", u"0.0.0.0", -1},  // no DriverVer is the oldest
    };
    for (const auto& c : cases) {
        const int result = compareDriverVersions(parseDriverVer(c.dateA, c.versionA), parseDriverVer(c.dateB, c.versionB));
        EXPECT_EQ((result > 0) - (result < 0), c.expected);
        const int reverse = compareDriverVersions(parseDriverVer(c.dateB, c.versionB), parseDriverVer(c.dateA, c.versionA));
        EXPECT_EQ((reverse > 0) - (reverse < 0), -c.expected);
    }
}

}  // namespace
