// The controls of the frame, thin CWnd wrappers over the system's classes,
// and CBrush. A control's Create takes the whole style (WS_CHILD included),
// its rectangle in the parent's client coordinates and its control ID.
#pragma once

#include "platform/frame/wnd.h"

class CStatic : public CWnd {
public:
    BOOL Create(const char16_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
};

class CButton : public CWnd {
public:
    BOOL Create(const char16_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
};

class CProgressCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetRange32(int lower, int upper);
    int SetPos(int position);  // returns the previous position
};

// Holds a brush handle. It deletes nothing: the brushes the installer uses
// are the system's own colour brushes, which must not be deleted.
class CBrush {
public:
    CBrush() : m_hObject(nullptr) {}
    void Attach(HBRUSH brush) { m_hObject = brush; }
    HBRUSH GetSafeHandle() const { return m_hObject; }
    operator HBRUSH() const { return m_hObject; }

    HBRUSH m_hObject;
};
