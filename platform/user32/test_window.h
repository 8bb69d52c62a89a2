// A small frame for the user32 tests: a registered class whose procedure
// logs every message it gets, and the installer's arrangement of controls.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/machine/machine.h"
#include "platform/platform.h"
#include "platform/testing/standin_fixture.h"
#include "platform/user32/user32.h"

namespace standin_test {

struct Log {
    std::vector<std::string> lines;
    bool closeDestroys = true;  // WM_CLOSE goes to DefWindowProcW
    bool quitOnDestroy = true;
};

inline Log& log() {
    static Log instance;
    return instance;
}

inline std::string messageName(UINT message) {
    switch (message) {
    case WM_NCCREATE: return "WM_NCCREATE";
    case WM_CREATE: return "WM_CREATE";
    case WM_DESTROY: return "WM_DESTROY";
    case WM_NCDESTROY: return "WM_NCDESTROY";
    case WM_CLOSE: return "WM_CLOSE";
    case WM_COMMAND: return "WM_COMMAND";
    case WM_SETTEXT: return "WM_SETTEXT";
    case WM_KEYDOWN: return "WM_KEYDOWN";
    default: return "0x" + std::to_string(message);
    }
}

// The frame's name in the log is its user data's text, set by the tests.
inline LRESULT CALLBACK loggingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* name = reinterpret_cast<const char*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    std::string line = std::string(name != nullptr ? name : "?") + " " + messageName(message);
    if (message == WM_COMMAND)
        line += " id=" + std::to_string(LOWORD(wParam)) + " code=" + std::to_string(HIWORD(wParam)) +
                (lParam != 0 ? " from-control" : "");
    log().lines.push_back(line);
    if (message == WM_CLOSE && !log().closeDestroys) return 0;
    if (message == WM_DESTROY && log().quitOnDestroy && GetWindowLongPtrW(window, GWLP_USERDATA) != 0 &&
        std::string(name) == "frame")
        PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

class WindowTest : public StandinTest {
protected:
    void SetUp() override {
        StandinTest::SetUp();
        log() = Log();
        WNDCLASSW wc{};
        wc.lpfnWndProc = loggingProc;
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(102));
        wc.lpszClassName = wstr(u"TestFrame");
        ASSERT_NE(RegisterClassW(&wc), 0);
    }

    HWND createFrame(const char* name = "frame", HWND parent = nullptr, DWORD style = WS_SYSMENU) {
        HWND frame = CreateWindowExW(WS_EX_STATICEDGE, wstr(u"TestFrame"), wstr(u"VELK Driver Installer"), style, 312,
                                     279, 400, 210, parent, nullptr, nullptr, nullptr);
        if (frame != nullptr) SetWindowLongPtrW(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(name));
        return frame;
    }

    // The installer's controls, as its window creates them.
    struct Controls {
        HWND status, progress, result, reboot, finish;
    };
    Controls createControls(HWND frame) {
        RECT rc;
        GetClientRect(frame, &rc);
        HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        auto make = [&](const char16_t* cls, const char16_t* text, DWORD style, int id, RECT r, bool withFont) {
            HWND w = CreateWindowExW(0, wstr(cls), text != nullptr ? wstr(text) : nullptr, WS_CHILD | style, r.left,
                                     r.top, r.right - r.left, r.bottom - r.top, frame,
                                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
            if (withFont) SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
            return w;
        };
        Controls c;
        c.status = make(u"STATIC", u"Searching for hardware...", SS_LEFT, 2,
                        {rc.left + 10, rc.top + 10, rc.right - 10, rc.top + 40}, true);
        c.progress = make(u"msctls_progress32", nullptr, PBS_SMOOTH, 3,
                          {rc.left + 10, rc.top + 50, rc.right - 10, rc.top + 70}, false);
        SendMessageW(c.progress, PBM_SETRANGE32, 0, 10000);
        c.result = make(u"STATIC", u"No hardware found", 0, 4, {rc.left + 10, rc.top + 80, rc.right - 10, rc.top + 100},
                        true);
        c.reboot = make(u"STATIC", u"NOTE: The driver will not be fully updated until you restart your computer.", 0,
                        5, {rc.left + 10, rc.top + 110, rc.right - 10, rc.top + 160}, true);
        c.finish = make(u"BUTTON", u"&Finish", BS_CENTER | BS_VCENTER, 1,
                        {rc.right - 90, rc.bottom - 35, rc.right - 10, rc.bottom - 10}, true);
        return c;
    }
};

}  // namespace standin_test
