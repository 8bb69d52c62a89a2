// A stand-in for the installer that the Wine tests run until the real one is
// built, and that checks the harness itself: the same gate (Windows 2000 or
// later, no 32-bit process on 64-bit Windows), the same window title and a
// Finish button with ID 1, the same -nopause switch.
//
//   probe.exe [-nopause]   gate, window, exit code 0 or 1 (as the installer)
//   probe.exe exit N       exits at once with N
//   probe.exe crash        writes through a null pointer
#include "platform/platform.h"

#include <cwchar>
#include <cwctype>

namespace {

int outcome = 0;

BOOL runsOnWow64() {
    using Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    if (fn != nullptr) fn(GetCurrentProcess(), &wow64);
    return wow64;
}

const wchar_t* gateMessage() {
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version)) || version.dwMajorVersion < 5)
        return L"This installer is incompatible with version of Windows before Windows 2000.";
    if (runsOnWow64()) return L"This installer is incompatible with 64-bit editions of Windows. Please use install64.exe.";
    return nullptr;
}

LRESULT CALLBACK frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == 1 && HIWORD(wParam) == BN_CLICKED) DestroyWindow(window);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

int runWindow(HINSTANCE instance, bool noPause) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = frameProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(102));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = L"VelkProbe";
    RegisterClassW(&windowClass);
    int x = (GetSystemMetrics(SM_CXMAXIMIZED) - 400) / 2;
    int y = (GetSystemMetrics(SM_CYMAXIMIZED) - 210) / 2;
    HWND frame = CreateWindowExW(WS_EX_STATICEDGE, L"VelkProbe", L"VELK Driver Installer", WS_SYSMENU, x, y, 400, 210,
                                 nullptr, nullptr, instance, nullptr);
    RECT rc;
    GetClientRect(frame, &rc);
    auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    const wchar_t* message = gateMessage();
    outcome = message != nullptr ? 1 : 0;
    HWND status = CreateWindowExW(0, L"STATIC", message != nullptr ? message : L"Searching for hardware... Done",
                                  WS_CHILD | WS_VISIBLE, rc.left + 10, rc.top + 10, rc.right - rc.left - 20, 30, frame,
                                  reinterpret_cast<HMENU>(2), instance, nullptr);
    SendMessageW(status, WM_SETFONT, font, TRUE);
    HWND finish = CreateWindowExW(0, L"BUTTON", L"&Finish", WS_CHILD | BS_CENTER | BS_VCENTER, rc.right - 90,
                                  rc.bottom - 35, 80, 25, frame, reinterpret_cast<HMENU>(1), instance, nullptr);
    SendMessageW(finish, WM_SETFONT, font, TRUE);
    ShowWindow(frame, SW_SHOW);
    UpdateWindow(frame);
    if (noPause) {
        DestroyWindow(frame);
        return outcome;
    }
    ShowWindow(finish, SW_SHOW);
    SetFocus(finish);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return outcome;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    if (std::wcsncmp(commandLine, L"exit ", 5) == 0) return static_cast<int>(std::wcstol(commandLine + 5, nullptr, 10));
    if (std::wcscmp(commandLine, L"crash") == 0) {
        *static_cast<volatile int*>(nullptr) = 1;
        return 0;
    }
    return runWindow(instance, _wcsicmp(commandLine, L"-nopause") == 0);
}
