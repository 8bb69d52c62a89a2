// Acts on the installer's window from a second process in the same Wine
// prefix, in place of a user (the tests have no input device):
//
//   poke.exe [--exe PATH] ACTION...
//     waits until the window shows its Finish button, then does each ACTION
//     in turn:
//     wait     nothing more
//     dump     writes the frame and its controls to standard output
//     finish   presses Finish (BM_CLICK)
//     close    closes the window (WM_CLOSE, as the close box does)
//   --exe PATH takes only a window of a process started from PATH (Windows
//   form), so that tests running side by side in one prefix each find their
//   own installer.
//
// Exit code 0 when done, 1 when the window or its button did not appear within
// 60 seconds, 2 on a bad argument.
#include "platform/platform.h"

#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const wchar_t title[] = L"VELK Driver Installer";
const int finishId = 1;

std::wstring wantedExe;

bool startedFrom(HWND window, const std::wstring& path) {
    if (path.empty()) return true;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (process == nullptr) return false;
    wchar_t image[1024] = {};
    DWORD length = GetModuleFileNameExW(process, nullptr, image, 1024);
    CloseHandle(process);
    // The image may carry a \\?\ prefix; compare the tail.
    return length >= path.size() && _wcsicmp(image + length - path.size(), path.c_str()) == 0;
}

BOOL CALLBACK findFrame(HWND window, LPARAM result) {
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    if (std::wcscmp(text, title) != 0 || !startedFrom(window, wantedExe)) return TRUE;
    HWND finish = GetDlgItem(window, finishId);
    if (finish == nullptr || !IsWindowVisible(finish)) return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

HWND waitForFinish() {
    for (int i = 0; i < 600; ++i) {
        HWND frame = nullptr;
        EnumWindows(findFrame, reinterpret_cast<LPARAM>(&frame));
        if (frame != nullptr) return frame;
        Sleep(100);
    }
    return nullptr;
}

// UTF-8 with control characters C-escaped, in double quotes.
std::string quoted(const wchar_t* text) {
    std::string out = "\"";
    char buffer[8];
    for (const wchar_t* p = text; *p; ++p) {
        if (*p == L'\n') {
            out += "\\n";
        } else if (*p == L'"' || *p == L'\\') {
            out += '\\';
            out += static_cast<char>(*p);
        } else if (*p < 0x20) {
            std::snprintf(buffer, sizeof buffer, "\\x%02x", static_cast<unsigned>(*p));
            out += buffer;
        } else {
            int n = WideCharToMultiByte(CP_UTF8, 0, p, 1, buffer, sizeof buffer, nullptr, nullptr);
            out.append(buffer, n > 0 ? n : 0);
        }
    }
    return out + "\"";
}

std::string windowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return quoted(text);
}

std::string className(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return quoted(name);
}

// The frame: title, styles, outer and client size, and whether it sits where
// the installer centres it; then each control in creation order with its
// rectangle in client coordinates.
void dump(HWND frame) {
    RECT outer, client;
    GetWindowRect(frame, &outer);
    GetClientRect(frame, &client);
    int x = (GetSystemMetrics(SM_CXMAXIMIZED) - 400) / 2;
    int y = (GetSystemMetrics(SM_CYMAXIMIZED) - 210) / 2;
    std::printf("frame %s style=%08lx exstyle=%08lx size=%ldx%ld client=%ldx%ld %s\n", windowText(frame).c_str(),
                static_cast<unsigned long>(GetWindowLongW(frame, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongW(frame, GWL_EXSTYLE)), outer.right - outer.left,
                outer.bottom - outer.top, client.right, client.bottom,
                outer.left == x && outer.top == y ? "centred" : "not-centred");
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(frame, nullptr), &gui);
    // Children created without a z-order position follow each other from
    // the top in the order of creation.
    for (HWND c = GetWindow(frame, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&r), 2);
        std::printf("control %d %s %s%s rect=%ld,%ld,%ld,%ld style=%08lx text=%s", GetDlgCtrlID(c),
                    className(c).c_str(), IsWindowVisible(c) ? "visible" : "hidden",
                    gui.hwndFocus == c ? " focused" : "", r.left, r.top, r.right, r.bottom,
                    static_cast<unsigned long>(GetWindowLongW(c, GWL_STYLE)), windowText(c).c_str());
        wchar_t name[64] = {};
        GetClassNameW(c, name, 64);
        if (_wcsicmp(name, L"msctls_progress32") == 0)
            std::printf(" position=%ld", static_cast<long>(SendMessageW(c, PBM_GETPOS, 0, 0)));
        std::printf("\n");
    }
    std::fflush(stdout);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> actions;
    for (int i = 1; argv != nullptr && i < count; ++i) {
        std::wstring arg = argv[i];
        if (arg == L"--exe" && i + 1 < count) {
            wantedExe = argv[++i];
        } else if (arg == L"wait" || arg == L"dump" || arg == L"finish" || arg == L"close") {
            actions.push_back(arg);
        } else {
            return 2;
        }
    }
    LocalFree(argv);
    if (actions.empty()) return 2;
    HWND frame = waitForFinish();
    if (frame == nullptr) return 1;
    // Let the window finish painting before it is looked at.
    Sleep(500);
    for (const std::wstring& action : actions) {
        if (action == L"dump") dump(frame);
        if (action == L"finish") PostMessageW(GetDlgItem(frame, finishId), BM_CLICK, 0, 0);
        if (action == L"close") PostMessageW(frame, WM_CLOSE, 0, 0);
    }
    return 0;
}
