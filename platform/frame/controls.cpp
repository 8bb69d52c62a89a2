#include "platform/frame/controls.h"

namespace {

BOOL createControl(CWnd& control, const char16_t* className, const char16_t* text, DWORD style, const RECT& rect,
                   CWnd* parent, UINT id) {
    return control.CreateEx(0, className, text, style, rect.left, rect.top, rect.right - rect.left,
                            rect.bottom - rect.top, parent != nullptr ? parent->m_hWnd : nullptr,
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

}  // namespace

BOOL CStatic::Create(const char16_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return createControl(*this, u"STATIC", text, style, rect, parent, id);
}

BOOL CButton::Create(const char16_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return createControl(*this, u"BUTTON", text, style, rect, parent, id);
}

BOOL CProgressCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return createControl(*this, u"msctls_progress32", nullptr, style, rect, parent, id);
}

void CProgressCtrl::SetRange32(int lower, int upper) {
    SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
}

int CProgressCtrl::SetPos(int position) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(position))); }
