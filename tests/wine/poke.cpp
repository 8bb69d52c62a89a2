// Acts on the installer's window from a second process in the same Wine
// prefix, in place of a user (the tests have no input device):
//
//   poke.exe wait     waits until the window shows its Finish button
//   poke.exe finish   waits, then presses Finish (BM_CLICK)
//   poke.exe close    waits, then closes the window (WM_CLOSE, as the close box)
//
// Exit code 0 when done, 1 when the window or its button did not appear within
// 60 seconds, 2 on a bad argument.
#include "platform.h"

#include <cwchar>

namespace {

const wchar_t title[] = L"VELK Driver Installer";
const int finishId = 1;

HWND waitForFinish() {
    for (int i = 0; i < 600; ++i) {
        HWND frame = FindWindowW(nullptr, title);
        HWND finish = frame != nullptr ? GetDlgItem(frame, finishId) : nullptr;
        if (finish != nullptr && IsWindowVisible(finish)) return frame;
        Sleep(100);
    }
    return nullptr;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    bool wait = std::wcscmp(commandLine, L"wait") == 0;
    bool finish = std::wcscmp(commandLine, L"finish") == 0;
    bool close = std::wcscmp(commandLine, L"close") == 0;
    if (!wait && !finish && !close) return 2;
    HWND frame = waitForFinish();
    if (frame == nullptr) return 1;
    // Let the window finish painting before a picture is taken of it.
    Sleep(500);
    if (finish) PostMessageW(GetDlgItem(frame, finishId), BM_CLICK, 0, 0);
    if (close) PostMessageW(frame, WM_CLOSE, 0, 0);
    return 0;
}
