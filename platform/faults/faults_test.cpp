#include "platform/faults/faults.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/testing/standin_fixture.h"

namespace {

// Which of six calls fail for a script, as a string of 'x' (failed) and '.'.
std::string pattern(int onCall, int times) {
    standin::clearFailures();
    standin::injectFailure("Call", ERROR_ACCESS_DENIED, onCall, times);
    std::string seen;
    for (int i = 0; i < 6; ++i) {
        SetLastError(0);
        bool failed = standin::failureInjected("Call");
        seen += failed ? 'x' : '.';
        if (failed) {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        }
    }
    EXPECT_EQ(standin::callCount("Call"), 6);
    return seen;
}

TEST(Faults, ScriptsFailTheChosenCalls) {
    const struct {
        int onCall, times;
        const char* calls;
    } cases[] = {
        {1, 1, "x....."}, {3, 1, "..x..."}, {2, 3, ".xxx.."}, {4, -1, "...xxx"}, {0, 1, "x....."}, {1, 0, "......"},
    };
    for (const auto& c : cases) EXPECT_EQ(pattern(c.onCall, c.times), c.calls) << c.onCall << "," << c.times;
}

TEST(Faults, OtherFunctionsAndClearedScriptsDoNotFail) {
    standin::clearFailures();
    standin::injectFailure("A", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(standin::failureInjected("B"));
    standin::clearFailures();
    EXPECT_FALSE(standin::failureInjected("A"));
    EXPECT_EQ(standin::callCount("A"), 1);
    EXPECT_EQ(standin::callCount("never"), 0);
}

// Every stand-in call that can fail on Windows fails when scripted to, with
// the scripted error and its documented failure value, before doing anything.
class EveryCall : public StandinTest {};

TEST_F(EveryCall, FailsWhenScripted) {
    constexpr DWORD kError = 0x1234;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = wstr(u"FaultsFrame");
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    HWND frame = CreateWindowExW(0, wstr(u"FaultsFrame"), wstr(u"t"), WS_SYSMENU, 0, 0, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof version;
    WCHAR path[MAX_PATH];
    RECT rect{};
    MSG msg{};
    const INITCOMMONCONTROLSEX init{8, 0xFF};
    const HMODULE kernel32 = GetModuleHandleW(wstr(u"kernel32.dll"));
    const auto isWow64 = reinterpret_cast<BOOL(WINAPI*)(HANDLE, PBOOL)>(
        reinterpret_cast<void*>(GetProcAddress(kernel32, "IsWow64Process")));
    ASSERT_NE(isWow64, nullptr);
    BOOL wow64 = FALSE;

    const struct {
        const char* function;
        std::function<bool()> callFails;
    } cases[] = {
        {"GetVersionExW", [&] { return !GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&version)); }},
        {"GetModuleFileNameW", [&] { return GetModuleFileNameW(nullptr, path, MAX_PATH) == 0; }},
        {"GetModuleHandleW", [&] { return GetModuleHandleW(nullptr) == nullptr; }},
        {"GetProcAddress", [&] { return GetProcAddress(kernel32, "IsWow64Process") == nullptr; }},
        {"IsWow64Process", [&] { return !isWow64(GetCurrentProcess(), &wow64); }},
        {"InitCommonControlsEx", [&] { return !InitCommonControlsEx(&init); }},
        {"RegisterClassW", [&] { return RegisterClassW(&windowClass) == 0; }},
        {"CreateWindowExW", [&] {
             return CreateWindowExW(0, wstr(u"STATIC"), nullptr, WS_CHILD, 0, 0, 1, 1, frame, nullptr, nullptr,
                                    nullptr) == nullptr;
         }},
        {"ShowWindow", [&] { return !ShowWindow(frame, SW_SHOW) && !topWindow().visible; }},
        {"UpdateWindow", [&] { return !UpdateWindow(frame); }},
        {"SetWindowTextW", [&] { return !SetWindowTextW(frame, wstr(u"changed")); }},
        {"SetFocus", [&] { return SetFocus(frame) == nullptr && GetFocus() == nullptr; }},
        {"GetClientRect", [&] { return !GetClientRect(frame, &rect); }},
        {"SetWindowLongPtrW", [&] { return SetWindowLongPtrW(frame, GWLP_USERDATA, 7) == 0; }},
        {"GetWindowLongPtrW", [&] { return GetWindowLongPtrW(frame, GWLP_USERDATA) == 0; }},
        {"PostMessageW", [&] { return !PostMessageW(frame, WM_USER, 0, 0); }},
        {"GetMessageW", [&] { return GetMessageW(&msg, nullptr, 0, 0) == -1; }},
        {"GetSystemMetrics", [&] { return GetSystemMetrics(SM_CXMAXIMIZED) == 0; }},
        {"GetSysColorBrush", [&] { return GetSysColorBrush(COLOR_BTNFACE) == nullptr; }},
        {"GetStockObject", [&] { return GetStockObject(DEFAULT_GUI_FONT) == nullptr; }},
        {"LoadIconW", [&] { return LoadIconW(nullptr, MAKEINTRESOURCEW(102)) == nullptr; }},
        {"LoadCursorW", [&] { return LoadCursorW(nullptr, IDC_ARROW) == nullptr; }},
        {"DestroyWindow", [&] { return !DestroyWindow(frame) && IsWindow(frame); }},
    };
    for (const auto& c : cases) {
        standin::clearFailures();
        standin::injectFailure(c.function, kError);
        SetLastError(0);
        EXPECT_TRUE(c.callFails()) << c.function;
        EXPECT_EQ(GetLastError(), kError) << c.function;
        EXPECT_EQ(standin::callCount(c.function), 1) << c.function;
    }
    standin::clearFailures();
    EXPECT_EQ(std::u16string(topWindow().text), u"t");  // nothing was changed by a failed call
}

}  // namespace
