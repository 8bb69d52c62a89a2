#include <gtest/gtest.h>

#include <vector>

#include "platform/kernel32/kernel32.h"
#include "platform/machine/machine.h"
#include "platform/platform.h"

namespace {

class ModuleFile : public ::testing::Test {
protected:
    void SetUp() override { standin::resetMachine(); }
    void TearDown() override { standin::resetMachine(); }
};

TEST_F(ModuleFile, RealExecutableInWindowsForm) {
    WCHAR buffer[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
    const std::u16string path(ustr(buffer));
    EXPECT_EQ(length, path.size());
    EXPECT_EQ(path.rfind(u"Z:\\", 0), 0u);
    EXPECT_NE(path.find(u"kernel32"), std::u16string::npos);
    EXPECT_EQ(path.find(u'/'), std::u16string::npos);
    EXPECT_EQ(GetModuleFileNameW(GetModuleHandleW(nullptr), buffer, MAX_PATH * 4), length);
}

TEST_F(ModuleFile, SmallBuffersAreTruncatedAndTerminated) {
    standin::machine().modulePath = u"C:\\Program Files\\VELK\\install.exe";  // 33 units
    const DWORD full = 33;
    struct Case {
        DWORD size;
        DWORD result;
        DWORD error;  // 0: left as it was
        const char16_t* text;
    } cases[] = {
        {100, full, 0, u"C:\\Program Files\\VELK\\install.exe"},
        {full + 1, full, 0, u"C:\\Program Files\\VELK\\install.exe"},
        {full, full, ERROR_INSUFFICIENT_BUFFER, u"C:\\Program Files\\VELK\\install.ex"},
        {4, 4, ERROR_INSUFFICIENT_BUFFER, u"C:\\"},
        {1, 1, ERROR_INSUFFICIENT_BUFFER, u""},
        {0, 0, ERROR_INSUFFICIENT_BUFFER, nullptr},
    };
    for (const Case& c : cases) {
        std::vector<WCHAR> buffer(c.size + 4, u'#');
        SetLastError(0);
        EXPECT_EQ(GetModuleFileNameW(nullptr, buffer.data(), c.size), c.result) << c.size;
        EXPECT_EQ(GetLastError(), c.error) << c.size;
        if (c.text != nullptr) {
            EXPECT_EQ(std::u16string(ustr(buffer.data())), c.text) << c.size;
        }
        EXPECT_EQ(buffer[c.size], u'#') << "written past the buffer, size " << c.size;
    }
}

TEST_F(ModuleFile, OtherModules) {
    WCHAR buffer[MAX_PATH];
    EXPECT_GT(GetModuleFileNameW(standin::kernel32Module(), buffer, MAX_PATH), 0u);
    EXPECT_NE(std::u16string(ustr(buffer)).find(u"kernel32.dll"), std::u16string::npos);
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(reinterpret_cast<HMODULE>(buffer), buffer, MAX_PATH), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

}  // namespace
