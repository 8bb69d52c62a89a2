#include "platform/frame/wnd.h"

#include "platform/frame/win_app.h"

namespace {

// The object whose CreateEx is running: on Windows a window receives
// messages inside CreateWindowExW, before its handle is returned.
CWnd* creatingWnd = nullptr;

CWnd* attachedWnd(HWND window) { return reinterpret_cast<CWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

}  // namespace

const CRuntimeClass CWnd::classCWnd = {"CWnd", nullptr};
const AFX_MSGMAP_ENTRY CWnd::messageEntries[] = {{0, 0, 0, nullptr}};
const AFX_MSGMAP CWnd::messageMap = {nullptr, &CWnd::messageEntries[0]};

CWnd::CWnd() : m_hWnd(nullptr) {}

CWnd::~CWnd() {
    // Only a window that still names this object: a stale handle may by now
    // belong to another window.
    if (m_hWnd != nullptr && IsWindow(m_hWnd) && isAttachedTo(m_hWnd)) {
        ::DestroyWindow(m_hWnd);  // windows of our classes detach in OnNcDestroy
        if (m_hWnd != nullptr && IsWindow(m_hWnd)) SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
    }
}

const CRuntimeClass* CWnd::GetRuntimeClass() const { return &classCWnd; }

const AFX_MSGMAP* CWnd::GetMessageMap() const { return &messageMap; }

void CWnd::attach(HWND window) {
    m_hWnd = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

bool CWnd::isAttachedTo(HWND window) const { return attachedWnd(window) == this; }

BOOL CWnd::CreateEx(DWORD exStyle, const char16_t* className, const char16_t* windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu) {
    CWnd* outer = creatingWnd;
    creatingWnd = this;
    HWND window = CreateWindowExW(exStyle, wstr(className), wstr(windowName), style, x, y, width, height, parent,
                                  menu, GetModuleHandleW(nullptr), nullptr);
    // Controls of the system's classes never reach AfxWndProc; they are
    // attached here so that the object knows its handle all the same.
    if (creatingWnd == this && window != nullptr) attach(window);
    creatingWnd = outer;
    return window != nullptr ? TRUE : FALSE;
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) return FALSE;
    BOOL destroyed = ::DestroyWindow(m_hWnd);
    // Windows of our classes let go in OnNcDestroy; controls send us nothing.
    if (destroyed) m_hWnd = nullptr;
    return destroyed;
}

BOOL CWnd::ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }

void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }

void CWnd::SetWindowText(const char16_t* text) { ::SetWindowTextW(m_hWnd, wstr(text)); }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

HWND CWnd::SetFocus() { return ::SetFocus(m_hWnd); }

void CWnd::GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }

LRESULT CWnd::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const UINT code = message == WM_COMMAND ? HIWORD(wParam) : 0;
    const UINT id = message == WM_COMMAND ? LOWORD(wParam) : 0;
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr; map = map->pBaseMap) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nMessage != 0; ++entry) {
            if (entry->nMessage == message && entry->nCode == code && entry->nID == id) {
                (this->*entry->pfn)();
                return 0;
            }
        }
    }
    return Default(message, wParam, lParam);
}

void CWnd::OnNcDestroy() {
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == this) {
        PostQuitMessage(0);
        app->m_pMainWnd = nullptr;
    }
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
    m_hWnd = nullptr;
}

LRESULT CALLBACK AfxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = attachedWnd(window);
    if (wnd == nullptr && creatingWnd != nullptr) {
        wnd = creatingWnd;
        creatingWnd = nullptr;
        wnd->attach(window);
    }
    if (wnd == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        wnd->OnNcDestroy();
        return result;
    }
    return wnd->WindowProc(message, wParam, lParam);
}
