#include "platform/kernel32/paths.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace {

// Runs in a known current directory, restored afterwards.
class Paths : public ::testing::Test {
protected:
    void SetUp() override {
        char saved[PATH_MAX];
        ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
        saved_ = saved;
        ASSERT_EQ(chdir("/tmp"), 0);
    }
    void TearDown() override { EXPECT_EQ(chdir(saved_.c_str()), 0); }
    std::string saved_;
};

TEST_F(Paths, WindowsToHost) {
    struct Case {
        std::u16string windows;
        const char* host;
    } cases[] = {
        {u"Z:\\opt\\drv\\velk.inf", "/opt/drv/velk.inf"},
        {u"z:\\opt\\drv\\", "/opt/drv"},
        {u"Z:\\", "/"},
        {u"Z:/opt//drv/./x/../velk.inf", "/opt/drv/velk.inf"},
        {u"Z:\\..\\..\\etc", "/etc"},
        {u"Z:\\my drivers\\v\u00e9lk.inf", "/my drivers/v\xC3\xA9lk.inf"},
        {u"\\opt\\velk.inf", "/opt/velk.inf"},
        {u"\\", "/"},
        {u"velk.inf", "/tmp/velk.inf"},
        {u"sub dir\\velk.inf", "/tmp/sub dir/velk.inf"},
        {u"..\\velk.inf", "/velk.inf"},
        {u".", "/tmp"},
        {u"Z:velk.inf", "/tmp/velk.inf"},
        {u"Z:", "/tmp"},
    };
    for (const Case& c : cases) {
        std::string host;
        DWORD error = 12345;
        EXPECT_TRUE(standin::toHostPath(c.windows, &host, &error)) << c.host;
        EXPECT_EQ(host, c.host);
        EXPECT_EQ(error, 12345u);
    }
}

TEST_F(Paths, UnusableWindowsPaths) {
    struct Case {
        std::u16string windows;
        DWORD error;
    } cases[] = {
        {u"C:\\pkg\\velk.inf", ERROR_PATH_NOT_FOUND},
        {u"c:velk.inf", ERROR_PATH_NOT_FOUND},
        {u"\\\\server\\share\\velk.inf", ERROR_PATH_NOT_FOUND},
        {u"", ERROR_PATH_NOT_FOUND},
        {u"Z:\\a\\b:c", ERROR_INVALID_NAME},
        {u"Z:\\a*.inf", ERROR_INVALID_NAME},
        {u"a?.inf", ERROR_INVALID_NAME},
        {u"Z:\\a\"b", ERROR_INVALID_NAME},
        {std::u16string(u"a\0b", 3), ERROR_INVALID_NAME},
        {std::u16string{u'a', char16_t(0xDC00)}, ERROR_INVALID_NAME},
    };
    for (const Case& c : cases) {
        std::string host = "unchanged";
        DWORD error = 0;
        EXPECT_FALSE(standin::toHostPath(c.windows, &host, &error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(host, "unchanged");
    }
}

TEST_F(Paths, HostToWindows) {
    struct Case {
        const char* host;
        std::u16string windows;
    } cases[] = {
        {"/opt/drv/install", u"Z:\\opt\\drv\\install"},
        {"/", u"Z:\\"},
        {"/srv/a b/install", u"Z:\\srv\\a b\\install"},
        {"/a//b/./c/../d", u"Z:\\a\\b\\d"},
        {"/v\xC3\xA9lk", u"Z:\\v\u00e9lk"},
        {"rel/x", u"Z:\\tmp\\rel\\x"},
        {"../x", u"Z:\\x"},
    };
    for (const Case& c : cases) EXPECT_EQ(standin::toWindowsPath(c.host), c.windows) << c.host;
}

TEST_F(Paths, RoundTrip) {
    for (const char* host : {"/opt/drv/velk.inf", "/", "/a b/c d", "/t\xE2\x82\xACst"}) {
        std::string back;
        DWORD error = 0;
        ASSERT_TRUE(standin::toHostPath(standin::toWindowsPath(host), &back, &error)) << host;
        EXPECT_EQ(back, host);
    }
}

}  // namespace
