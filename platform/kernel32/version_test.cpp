#include <gtest/gtest.h>

#include <cstring>

#include "platform/machine/machine.h"
#include "platform/platform.h"

namespace {

class Version : public ::testing::Test {
protected:
    void SetUp() override {
        standin::resetMachine();
        auto& m = standin::machine();
        m.majorVersion = 5;
        m.minorVersion = 2;
        m.buildNumber = 3790;
        m.csdVersion = u"Service Pack 2";
        m.servicePackMajor = 2;
        m.productType = VER_NT_SERVER;
        m.suiteMask = 0x0110;
    }
    void TearDown() override { standin::resetMachine(); }
};

TEST_F(Version, ExtendedRecordGetsEveryField) {
    OSVERSIONINFOEXW info;
    std::memset(&info, 0xAB, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&info)));
    EXPECT_EQ(info.dwOSVersionInfoSize, 284u);
    EXPECT_EQ(info.dwMajorVersion, 5u);
    EXPECT_EQ(info.dwMinorVersion, 2u);
    EXPECT_EQ(info.dwBuildNumber, 3790u);
    EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    EXPECT_EQ(std::u16string(ustr(info.szCSDVersion)), u"Service Pack 2");
    EXPECT_EQ(info.szCSDVersion[127], 0);
    EXPECT_EQ(info.wServicePackMajor, 2);
    EXPECT_EQ(info.wServicePackMinor, 0);
    EXPECT_EQ(info.wSuiteMask, 0x0110);
    EXPECT_EQ(info.wProductType, VER_NT_SERVER);
    EXPECT_EQ(info.wReserved, 0);
}

TEST_F(Version, ShortRecordIsNotWrittenPastItsEnd) {
    OSVERSIONINFOEXW info;
    std::memset(&info, 0xAB, sizeof info);
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    ASSERT_TRUE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&info)));
    EXPECT_EQ(info.dwMajorVersion, 5u);
    EXPECT_EQ(std::u16string(ustr(info.szCSDVersion)), u"Service Pack 2");
    const auto* bytes = reinterpret_cast<const unsigned char*>(&info);
    for (size_t i = sizeof(OSVERSIONINFOW); i < sizeof info; ++i) EXPECT_EQ(bytes[i], 0xAB) << i;
}

TEST_F(Version, OtherSizesFail) {
    for (DWORD size : {0u, 4u, 275u, 277u, 280u, 283u, 285u, 1000u}) {
        OSVERSIONINFOEXW info{};
        info.dwOSVersionInfoSize = size;
        SetLastError(0);
        EXPECT_FALSE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&info))) << size;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER)) << size;
        EXPECT_EQ(info.dwMajorVersion, 0u) << size;
    }
    SetLastError(0);
    EXPECT_FALSE(GetVersionExW(nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(Version, FailingQueryLeavesTheRecord) {
    standin::machine().versionFails = true;
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    EXPECT_FALSE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&info)));
    EXPECT_NE(GetLastError(), 0u);
    EXPECT_EQ(info.dwMajorVersion, 0u);
}

}  // namespace
