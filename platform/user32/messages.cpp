// Messages: synchronous sends to window procedures, the posted queue with
// its loop functions, the default procedure and the built-in controls.
#include <algorithm>
#include <cstdio>

#include "platform/faults/faults.h"
#include "platform/platform.h"
#include "platform/user32/window_table.h"

namespace standin {
namespace {

int clampPosition(const Window& w, int position) {
    if (w.rangeMin <= w.rangeMax) return std::min(std::max(position, w.rangeMin), w.rangeMax);
    return position;
}

bool matches(const MSG& m, HWND filter, UINT low, UINT high) {
    if (filter != nullptr && m.hwnd != filter) return false;
    if (low == 0 && high == 0) return true;
    return m.message >= low && m.message <= high;
}

}  // namespace

LRESULT callWindow(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = findWindow(handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (window->kind == WindowKind::Frame) {
        WNDPROC proc = window->proc;
        return proc != nullptr ? proc(handle, message, wParam, lParam) : DefWindowProcW(handle, message, wParam, lParam);
    }
    return controlProcedure(*window, message, wParam, lParam);
}

LRESULT controlProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFONT:
        window.fontSent = true;
        window.font = reinterpret_cast<HFONT>(wParam);
        window.fontRedraw = LOWORD(lParam) != 0;
        markChanged(window);
        return 0;
    case WM_KEYDOWN:
        // A push button with the focus is pressed by Enter or the space bar.
        if (window.kind == WindowKind::Button && (wParam == VK_RETURN || wParam == ' ') &&
            (window.style & WS_VISIBLE) != 0 && window.parent != nullptr) {
            const HWND self = window.handle;
            SendMessageW(window.parent, WM_COMMAND, MAKEWPARAM(window.id, BN_CLICKED), reinterpret_cast<LPARAM>(self));
        }
        return 0;
    default:
        break;
    }
    if (window.kind == WindowKind::Progress) {
        switch (message) {
        case PBM_SETRANGE32: {
            const LRESULT previous = static_cast<LRESULT>((window.rangeMin & 0xFFFF) | ((window.rangeMax & 0xFFFF) << 16));
            window.rangeMin = static_cast<int>(wParam);
            window.rangeMax = static_cast<int>(lParam);
            window.position = clampPosition(window, window.position);
            markChanged(window);
            return previous;
        }
        case PBM_SETPOS: {
            const int previous = window.position;
            window.positions.push_back(static_cast<int>(wParam));
            window.position = clampPosition(window, static_cast<int>(wParam));
            markChanged(window);
            return previous;
        }
        case PBM_GETPOS:
            return window.position;
        default:
            break;
        }
    }
    return DefWindowProcW(window.handle, message, wParam, lParam);
}

}  // namespace standin

using standin::findWindow;
using standin::Window;
using standin::windowSystem;

LRESULT DefWindowProcW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    standin::failureInjected("DefWindowProcW");  // counted only: the answer is the message's
    Window* window = findWindow(handle);
    if (window == nullptr) return 0;
    switch (message) {
    case WM_NCCREATE: {
        // The window's text comes from the creation record here, as on Windows.
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (create != nullptr && create->lpszName != nullptr &&
            reinterpret_cast<ULONG_PTR>(create->lpszName) >= 0x10000)
            window->text = ustr(create->lpszName);
        return TRUE;
    }
    case WM_SETTEXT:
        window->text = lParam != 0 ? std::u16string(ustr(reinterpret_cast<LPCWSTR>(lParam))) : std::u16string();
        standin::markChanged(*window);
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(handle);
        return 0;
    default:
        return 0;
    }
}

LRESULT SendMessageW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    standin::failureInjected("SendMessageW");  // counted only: the answer is the message's
    return standin::callWindow(handle, message, wParam, lParam);
}

BOOL PostMessageW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (standin::failureInjected("PostMessageW")) return FALSE;
    if (handle != nullptr && findWindow(handle) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    windowSystem().queue.push_back(MSG{handle, message, wParam, lParam, 0, POINT{0, 0}});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    standin::failureInjected("PostQuitMessage");  // counted only: it cannot fail
    windowSystem().quitPosted = true;
    windowSystem().quitCode = exitCode;
}

BOOL GetMessageW(LPMSG msg, HWND handle, UINT filterMin, UINT filterMax) {
    if (standin::failureInjected("GetMessageW")) return -1;
    standin::WindowSystem& ws = windowSystem();
    if (msg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (handle != nullptr && findWindow(handle) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    for (;;) {
        auto it = std::find_if(ws.queue.begin(), ws.queue.end(), [&](const MSG& m) {
            return standin::matches(m, handle, filterMin, filterMax);
        });
        if (it != ws.queue.end()) {
            *msg = *it;
            ws.queue.erase(it);
            return msg->message == WM_QUIT ? FALSE : TRUE;
        }
        // The quit message comes once nothing else is waiting.
        if (ws.quitPosted) {
            ws.quitPosted = false;
            *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(ws.quitCode), 0, 0, POINT{0, 0}};
            return FALSE;
        }
        // What Windows paints from WM_PAINT while the loop waits.
        if (ws.dirty) {
            for (auto& entry : ws.windows)
                if (entry.second->parent == nullptr) standin::paint(*entry.second);
            standin::redrawTerminal();
        }

        const HWND frame = standin::topLevelWindow();
        switch (standin::readInput()) {
        case standin::InputEvent::Enter:
            if (ws.focus != nullptr) PostMessageW(ws.focus, WM_KEYDOWN, VK_RETURN, 0);
            break;
        case standin::InputEvent::Close:
            if (frame != nullptr) PostMessageW(frame, WM_CLOSE, 0, 0);
            break;
        case standin::InputEvent::End:
            // The user is gone: close the window once. Were it still there
            // the next time, Windows would wait for ever; say so and quit.
            if (frame != nullptr && ws.closesAtEnd == 0) {
                ++ws.closesAtEnd;
                PostMessageW(frame, WM_CLOSE, 0, 0);
            } else {
                std::fprintf(stderr, frame != nullptr ? "input ended and the window did not close\n"
                                                      : "input ended with no window left to close\n");
                PostQuitMessage(0);
            }
            break;
        }
    }
}

BOOL TranslateMessage(const MSG* msg) {
    standin::failureInjected("TranslateMessage");  // counted only: no key is ever translated
    return FALSE;
}

LRESULT DispatchMessageW(const MSG* msg) {
    standin::failureInjected("DispatchMessageW");  // counted only: the answer is the procedure's
    if (msg == nullptr || msg->hwnd == nullptr) return 0;
    return SendMessageW(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL IsDialogMessageW(HWND dialog, LPMSG msg) {
    standin::failureInjected("IsDialogMessageW");  // counted only: no dialog here
    return FALSE;
}
