#include "platform/frame/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TailCase {
    const char16_t* commandLine;
    const char16_t* tail;
};

class CommandLineTail : public ::testing::TestWithParam<TailCase> {};

TEST_P(CommandLineTail, FollowsTheProgramName) {
    const TailCase& c = GetParam();
    EXPECT_EQ(std::u16string(commandLineTail(c.commandLine)), std::u16string(c.tail));
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLineTail,
    ::testing::Values(
        TailCase{u"", u""},
        TailCase{u"install.exe", u""},
        TailCase{u"install.exe ", u""},
        TailCase{u"install.exe -nopause", u"-nopause"},
        TailCase{u"install.exe -NoPause", u"-NoPause"},
        // Blanks after the name go, blanks at the end stay.
        TailCase{u"install.exe    -nopause  ", u"-nopause  "},
        TailCase{u"install.exe\t-nopause", u"-nopause"},
        TailCase{u"install.exe \t \t-nopause", u"-nopause"},
        TailCase{u"install.exe -nopause more", u"-nopause more"},
        TailCase{u"install.exe /nopause", u"/nopause"},
        // A quoted name may hold blanks and ends at its closing quote.
        TailCase{u"\"C:\\Program Files\\drv\\install.exe\" -nopause", u"-nopause"},
        TailCase{u"\"C:\\Program Files\\drv\\install.exe\"", u""},
        // Only a leading quote opens a quoted name.
        TailCase{u"C:\\\"Program Files\"\\install.exe -nopause", u"Files\"\\install.exe -nopause"},
        TailCase{u"\"install.exe\"-nopause", u"-nopause"},
        // An unterminated quote swallows the rest of the line.
        TailCase{u"\"C:\\drv\\install.exe -nopause", u""},
        // Quotes in the tail belong to the tail.
        TailCase{u"install.exe \"-nopause\"", u"\"-nopause\""},
        // No name at all: the tail starts after the leading blanks.
        TailCase{u"  -nopause", u"-nopause"}));

TEST(CommandLineTailNull, IsEmpty) { EXPECT_EQ(std::u16string(commandLineTail(nullptr)), u""); }

}  // namespace
