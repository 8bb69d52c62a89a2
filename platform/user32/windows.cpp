// Windows in memory: classes, creation, destruction, visibility, text,
// focus, geometry and the user data slot.
#include <algorithm>
#include <cstdio>

#include "platform/faults/faults.h"
#include "platform/machine/machine.h"
#include "platform/platform.h"
#include "platform/user32/user32.h"
#include "platform/user32/window_table.h"

namespace standin {
namespace {

// Frame metrics as Wine draws them: a 400x210 frame with a caption and a
// static edge has a 396x187 client area.
constexpr int kCaptionHeight = 19;
constexpr int kBorderWidth = 1;
constexpr int kStaticEdgeWidth = 1;
constexpr DWORD kClientEdge = 0x00000200L;  // WS_EX_CLIENTEDGE
constexpr int kClientEdgeWidth = 2;

char16_t fold(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool sameName(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

bool isAtom(LPCWSTR name) { return reinterpret_cast<ULONG_PTR>(name) < 0x10000; }

bool failWindow() {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
}

void writeDump() {
    WindowSystem& ws = windowSystem();
    ws.lastDump = dumpText();
    const std::string& path = machine().dumpPath;
    if (path.empty()) return;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "window dump: cannot write %s\n", path.c_str());
        return;
    }
    std::fwrite(ws.lastDump.data(), 1, ws.lastDump.size(), file);
    std::fclose(file);
}

// WM_DESTROY goes to the window first and then down to its children, while
// the whole tree still exists.
void sendDestroy(HWND handle) {
    Window* window = findWindow(handle);
    if (window == nullptr) return;
    window->style &= ~static_cast<DWORD>(WS_VISIBLE);
    callWindow(handle, WM_DESTROY, 0, 0);
    window = findWindow(handle);
    if (window == nullptr) return;
    const std::vector<HWND> children = window->children;
    for (HWND child : children) sendDestroy(child);
}

// Children are freed before their parent; WM_NCDESTROY is the last message
// a window receives.
void freeWindow(HWND handle) {
    WindowSystem& ws = windowSystem();
    Window* window = findWindow(handle);
    if (window == nullptr) return;
    const std::vector<HWND> children = window->children;
    for (HWND child : children) freeWindow(child);
    callWindow(handle, WM_NCDESTROY, 0, 0);
    window = findWindow(handle);
    if (window == nullptr) return;
    if (ws.focus == handle) ws.focus = nullptr;
    if (Window* parent = findWindow(window->parent)) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
    }
    ws.queue.erase(std::remove_if(ws.queue.begin(), ws.queue.end(), [handle](const MSG& m) { return m.hwnd == handle; }),
                   ws.queue.end());
    ws.windows.erase(handle);
}

const WindowClass* findClass(LPCWSTR name) {
    for (const WindowClass& c : windowSystem().classes) {
        if (standin::isAtom(name) ? c.atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name))
                         : sameName(c.name, ustr(name)))
            return &c;
    }
    return nullptr;
}

}  // namespace

WindowSystem& windowSystem() {
    static WindowSystem system;
    return system;
}

Window* findWindow(HWND handle) {
    if (handle == nullptr) return nullptr;
    auto& windows = windowSystem().windows;
    auto it = windows.find(handle);
    return it == windows.end() ? nullptr : it->second.get();
}

RECT clientRect(const Window& window) {
    int width = window.width;
    int height = window.height;
    if (window.parent == nullptr || (window.style & WS_CHILD) == 0) {
        // Overlapped windows always get a caption and a thin border.
        int edge = kBorderWidth;
        if (window.exStyle & WS_EX_STATICEDGE) edge += kStaticEdgeWidth;
        if (window.exStyle & kClientEdge) edge += kClientEdgeWidth;
        width -= 2 * edge;
        height -= 2 * edge + kCaptionHeight;
    }
    return RECT{0, 0, std::max(width, 0), std::max(height, 0)};
}

void markChanged(Window& window) {
    window.changed = true;
    windowSystem().dirty = true;
}

void paint(Window& window) {
    if (window.changed && window.kind == WindowKind::Progress && (window.style & WS_VISIBLE) != 0)
        window.paintedPositions.push_back(window.position);
    window.changed = false;
    for (HWND child : window.children)
        if (Window* c = findWindow(child)) paint(*c);
}

HWND topLevelWindow() {
    for (auto& entry : windowSystem().windows)
        if (entry.second->parent == nullptr && !entry.second->destroying) return entry.first;
    return nullptr;
}

void resetWindows() { windowSystem() = WindowSystem(); }

}  // namespace standin

using standin::findWindow;
using standin::Window;
using standin::windowSystem;

ATOM RegisterClassW(const WNDCLASSW* windowClass) {
    if (standin::failureInjected("RegisterClassW")) return 0;
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr || standin::isAtom(windowClass->lpszClassName) ||
        windowClass->lpszClassName[0] == 0 || windowClass->lpfnWndProc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::u16string name(ustr(windowClass->lpszClassName));
    for (const char16_t* builtin : {u"STATIC", u"BUTTON", u"msctls_progress32"})
        if (standin::sameName(name, builtin)) {
            SetLastError(ERROR_CLASS_ALREADY_EXISTS);
            return 0;
        }
    if (standin::findClass(windowClass->lpszClassName) != nullptr) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    standin::WindowSystem& ws = windowSystem();
    standin::WindowClass entry;
    entry.name = name;
    entry.atom = ws.nextAtom++;
    entry.info = *windowClass;
    entry.info.lpszClassName = nullptr;  // the caller's text need not outlive the call
    entry.info.lpszMenuName = nullptr;
    ws.classes.push_back(entry);
    return entry.atom;
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    if (standin::failureInjected("CreateWindowExW")) return nullptr;
    standin::WindowSystem& ws = windowSystem();
    if (className == nullptr) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    auto window = std::make_unique<Window>();
    if (const standin::WindowClass* registered = standin::findClass(className)) {
        window->kind = standin::WindowKind::Frame;
        window->className = registered->name;
        window->proc = registered->info.lpfnWndProc;
        window->classStyle = registered->info.style;
        window->background = registered->info.hbrBackground;
        window->icon = registered->info.hIcon;
        window->cursor = registered->info.hCursor;
    } else if (!standin::isAtom(className) && standin::sameName(ustr(className), u"STATIC")) {
        window->kind = standin::WindowKind::Static, window->className = u"STATIC";
    } else if (!standin::isAtom(className) && standin::sameName(ustr(className), u"msctls_progress32")) {
        window->kind = standin::WindowKind::Progress, window->className = u"msctls_progress32";
    } else if (!standin::isAtom(className) && standin::sameName(ustr(className), u"BUTTON")) {
        window->kind = standin::WindowKind::Button, window->className = u"BUTTON";
    } else {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (parent != nullptr && findWindow(parent) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if ((style & WS_CHILD) && parent == nullptr) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }
    HWND handle = reinterpret_cast<HWND>(ws.nextHandle);
    ws.nextHandle += 4;
    window->handle = handle;
    window->style = style & ~static_cast<DWORD>(WS_VISIBLE);  // shown once created
    window->exStyle = exStyle;
    window->x = x, window->y = y, window->width = std::max(width, 0), window->height = std::max(height, 0);
    // A top-level window's "parent" is its owner; only children hang below it.
    window->parent = (style & WS_CHILD) ? parent : nullptr;
    window->owner = (style & WS_CHILD) ? nullptr : parent;
    window->id = (style & WS_CHILD) ? reinterpret_cast<UINT_PTR>(menu) : 0;
    ws.windows[handle] = std::move(window);
    if (Window* p = findWindow((style & WS_CHILD) ? parent : nullptr)) p->children.push_back(handle);

    CREATESTRUCTW create{param,  instance, menu,      parent,    height,    width,
                         y,      x,        static_cast<LONG>(style), windowName, className, exStyle};
    if (standin::callWindow(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) == 0) {
        if (findWindow(handle) != nullptr) standin::freeWindow(handle);
        return nullptr;
    }
    if (findWindow(handle) == nullptr ||
        standin::callWindow(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        if (findWindow(handle) != nullptr) DestroyWindow(handle);
        return nullptr;
    }
    Window* created = findWindow(handle);
    if (created == nullptr) return nullptr;
    if (style & WS_VISIBLE) created->style |= WS_VISIBLE;
    standin::markChanged(*created);
    return handle;
}

BOOL DestroyWindow(HWND handle) {
    if (standin::failureInjected("DestroyWindow")) return FALSE;
    Window* window = findWindow(handle);
    if (window == nullptr) return standin::failWindow();
    if (window->destroying) return TRUE;  // already on its way
    // The tree as it stood, with the owned windows, when the installer's
    // frame (an unowned top-level window) goes.
    if (window->parent == nullptr && window->owner == nullptr) standin::writeDump();
    // Owned windows go before their owner.
    std::vector<HWND> owned;
    for (auto& entry : windowSystem().windows)
        if (entry.second->owner == handle) owned.push_back(entry.first);
    for (HWND w : owned) DestroyWindow(w);
    window = findWindow(handle);
    if (window == nullptr || window->destroying) return TRUE;
    // Mark the whole tree first, so that nested calls from the procedures
    // do not start a second destruction.
    std::vector<HWND> pending{handle};
    while (!pending.empty()) {
        Window* w = findWindow(pending.back());
        pending.pop_back();
        if (w == nullptr) continue;
        w->destroying = true;
        pending.insert(pending.end(), w->children.begin(), w->children.end());
    }
    standin::sendDestroy(handle);
    standin::freeWindow(handle);
    windowSystem().dirty = true;
    return TRUE;
}

BOOL IsWindow(HWND handle) {
    standin::failureInjected("IsWindow");  // counted only: its answer is no success or failure
    return findWindow(handle) != nullptr ? TRUE : FALSE;
}

BOOL ShowWindow(HWND handle, int command) {
    if (standin::failureInjected("ShowWindow")) return FALSE;
    Window* window = findWindow(handle);
    if (window == nullptr) return standin::failWindow();
    const bool wasVisible = (window->style & WS_VISIBLE) != 0;
    if (command == SW_HIDE) window->style &= ~static_cast<DWORD>(WS_VISIBLE);
    else window->style |= WS_VISIBLE;
    standin::markChanged(*window);
    return wasVisible ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND handle) {
    if (standin::failureInjected("UpdateWindow")) return FALSE;
    Window* window = findWindow(handle);
    if (window == nullptr) return standin::failWindow();
    standin::paint(*window);
    ++windowSystem().updates;
    standin::redrawTerminal();
    return TRUE;
}

BOOL SetWindowTextW(HWND handle, LPCWSTR text) {
    if (standin::failureInjected("SetWindowTextW")) return FALSE;
    if (findWindow(handle) == nullptr) return standin::failWindow();
    return SendMessageW(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0 ? TRUE : FALSE;
}

HWND SetFocus(HWND handle) {
    if (standin::failureInjected("SetFocus")) return nullptr;
    standin::WindowSystem& ws = windowSystem();
    if (handle != nullptr && findWindow(handle) == nullptr) {
        standin::failWindow();
        return nullptr;
    }
    const HWND previous = ws.focus;
    ws.focus = handle;
    ws.dirty = true;
    return previous;
}

HWND GetFocus() {
    standin::failureInjected("GetFocus");  // counted only: its answer is no success or failure
    return windowSystem().focus;
}

BOOL GetClientRect(HWND handle, LPRECT rect) {
    if (standin::failureInjected("GetClientRect")) return FALSE;
    Window* window = findWindow(handle);
    if (window == nullptr) return standin::failWindow();
    if (rect == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *rect = standin::clientRect(*window);
    return TRUE;
}

LONG_PTR GetWindowLongPtrW(HWND handle, int index) {
    if (standin::failureInjected("GetWindowLongPtrW")) return 0;
    Window* window = findWindow(handle);
    if (window == nullptr) return standin::failWindow();
    if (index != GWLP_USERDATA) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return window->userData;
}

LONG_PTR SetWindowLongPtrW(HWND handle, int index, LONG_PTR value) {
    if (standin::failureInjected("SetWindowLongPtrW")) return 0;
    Window* window = findWindow(handle);
    if (window == nullptr) return standin::failWindow();
    if (index != GWLP_USERDATA) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    const LONG_PTR previous = window->userData;
    window->userData = value;
    return previous;
}
