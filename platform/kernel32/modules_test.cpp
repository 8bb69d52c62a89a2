#include <gtest/gtest.h>

#include "platform/kernel32/kernel32.h"
#include "platform/machine/machine.h"
#include "platform/platform.h"

namespace {

typedef void(WINAPI* GetNativeSystemInfoFn)(LPSYSTEM_INFO);
typedef BOOL(WINAPI* IsWow64ProcessFn)(HANDLE, PBOOL);

template <typename F>
F as(FARPROC proc) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(proc));
}

class Modules : public ::testing::Test {
protected:
    void SetUp() override { standin::resetMachine(); }
    void TearDown() override { standin::resetMachine(); }
    HMODULE kernel32() { return GetModuleHandleW(wstr(u"kernel32.dll")); }
};

TEST_F(Modules, ModuleHandles) {
    EXPECT_EQ(GetModuleHandleW(nullptr), standin::executableModule());
    for (const char16_t* name : {u"kernel32.dll", u"KERNEL32.DLL", u"Kernel32.Dll", u"kernel32"})
        EXPECT_EQ(GetModuleHandleW(wstr(name)), standin::kernel32Module());
    EXPECT_NE(standin::kernel32Module(), standin::executableModule());
    for (const char16_t* name : {u"user32.dll", u"kernel32.dl", u"kernel32.dll ", u""}) {
        SetLastError(0);
        EXPECT_EQ(GetModuleHandleW(wstr(name)), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    }
}

TEST_F(Modules, LookUpsFollowTheMachine) {
    EXPECT_NE(GetProcAddress(kernel32(), "GetNativeSystemInfo"), nullptr);
    EXPECT_NE(GetProcAddress(kernel32(), "IsWow64Process"), nullptr);

    standin::machine().nativeSystemInfo = false;
    standin::machine().wow64 = standin::Wow64Answer::Missing;
    for (const char* name : {"GetNativeSystemInfo", "IsWow64Process", "getnativesysteminfo", "Nothing"}) {
        SetLastError(0);
        EXPECT_EQ(GetProcAddress(kernel32(), name), nullptr) << name;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND)) << name;
    }
    standin::resetMachine();
    EXPECT_EQ(GetProcAddress(GetModuleHandleW(nullptr), "IsWow64Process"), nullptr);
    EXPECT_EQ(GetProcAddress(nullptr, "IsWow64Process"), nullptr);
    EXPECT_EQ(GetProcAddress(kernel32(), reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(5))), nullptr);
}

TEST_F(Modules, Wow64Answers) {
    struct Case {
        standin::Wow64Answer answer;
        BOOL expected;
    } cases[] = {{standin::Wow64Answer::No, FALSE}, {standin::Wow64Answer::Yes, TRUE}};
    for (const Case& c : cases) {
        standin::machine().wow64 = c.answer;
        auto isWow64 = as<IsWow64ProcessFn>(GetProcAddress(kernel32(), "IsWow64Process"));
        ASSERT_NE(isWow64, nullptr);
        BOOL result = 7;
        EXPECT_TRUE(isWow64(GetCurrentProcess(), &result));
        EXPECT_EQ(result, c.expected);
        EXPECT_FALSE(isWow64(GetCurrentProcess(), nullptr));
        EXPECT_FALSE(isWow64(nullptr, &result));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }
}

TEST_F(Modules, ProcessorArchitectureOfProcessAndMachine) {
    struct Case {
        WORD arch;
        standin::Wow64Answer wow64;
        WORD process;
    } cases[] = {
        {PROCESSOR_ARCHITECTURE_INTEL, standin::Wow64Answer::No, PROCESSOR_ARCHITECTURE_INTEL},
        {PROCESSOR_ARCHITECTURE_AMD64, standin::Wow64Answer::Yes, PROCESSOR_ARCHITECTURE_INTEL},
        {PROCESSOR_ARCHITECTURE_IA64, standin::Wow64Answer::Yes, PROCESSOR_ARCHITECTURE_INTEL},
        {PROCESSOR_ARCHITECTURE_AMD64, standin::Wow64Answer::No, PROCESSOR_ARCHITECTURE_AMD64},  // a 64-bit process
        {PROCESSOR_ARCHITECTURE_INTEL, standin::Wow64Answer::Missing, PROCESSOR_ARCHITECTURE_INTEL},
    };
    for (const Case& c : cases) {
        standin::machine().processorArchitecture = c.arch;
        standin::machine().wow64 = c.wow64;
        SYSTEM_INFO process{}, native{};
        GetSystemInfo(&process);
        as<GetNativeSystemInfoFn>(GetProcAddress(kernel32(), "GetNativeSystemInfo"))(&native);
        EXPECT_EQ(process.wProcessorArchitecture, c.process) << c.arch;
        EXPECT_EQ(native.wProcessorArchitecture, c.arch);
        EXPECT_EQ(native.dwPageSize, 4096u);
        EXPECT_GE(native.dwNumberOfProcessors, 1u);
    }
}

}  // namespace
