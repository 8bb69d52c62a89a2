#include <gtest/gtest.h>

#include "platform/kernel32/kernel32.h"
#include "platform/platform.h"

namespace {

TEST(CommandLine, BuiltFromArgv) {
    struct Case {
        std::vector<std::string> argv;
        std::u16string expected;
    } cases[] = {
        {{"/opt/drv/install"}, u"Z:\\opt\\drv\\install"},
        {{"/opt/drv/install", "-nopause"}, u"Z:\\opt\\drv\\install -nopause"},
        {{"/opt/my drv/install", "-nopause"}, u"\"Z:\\opt\\my drv\\install\" -nopause"},
        {{"./install", "a", "b"}, u".\\install a b"},
        {{"install", "-nopause "}, u"install \"-nopause \""},
        {{"install", "two words", "x"}, u"install \"two words\" x"},
        {{"install", ""}, u"install \"\""},
        {{"install", "say \"hi\""}, u"install \"say \\\"hi\\\"\""},
        {{"install", "C:\\a b\\"}, u"install \"C:\\a b\\\\\""},
        {{"install", "tab\there"}, u"install \"tab\there\""},
        {{"install", "caf\xC3\xA9"}, u"install caf\u00e9"},
        {{}, u""},
    };
    for (const Case& c : cases) EXPECT_EQ(standin::buildCommandLine(c.argv), c.expected);
}

TEST(CommandLine, GetCommandLineReturnsTheRecordedLine) {
    // Without a recorded line the process's own arguments are used.
    const std::u16string own(ustr(GetCommandLineW()));
    EXPECT_NE(own.find(u"kernel32"), std::u16string::npos);

    standin::setCommandLine({"/srv/a b/install", "-NoPause"});
    EXPECT_EQ(std::u16string(ustr(GetCommandLineW())), u"\"Z:\\srv\\a b\\install\" -NoPause");
    EXPECT_EQ(GetCommandLineW(), GetCommandLineW());
}

}  // namespace
