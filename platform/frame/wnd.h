// CWnd: the window base of the frame. A CWnd object wraps one window handle.
// Windows of the classes registered through AfxRegisterWndClass (wnd_class.h)
// deliver their messages to the object through AfxWndProc and a message map:
// each class may declare its own table, chained to its base's; WM_COMMAND
// entries match the notification code and control ID, WM_CLOSE entries the
// message. Everything without an entry gets DefWindowProcW.
#pragma once

#include "platform/platform.h"

class CWnd;

// Run-time class information: the class name and the base's information.
struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
};

typedef void (CWnd::*AFX_PMSG)();

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // 0 ends the table
    UINT nCode;     // WM_COMMAND: notification code
    UINT nID;       // WM_COMMAND: control ID
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* pBaseMap;
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_DYNAMIC(theClass)                      \
public:                                                \
    static const CRuntimeClass class##theClass;        \
    const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(theClass, baseClass)                                                 \
    const CRuntimeClass theClass::class##theClass = {#theClass, &baseClass::class##baseClass}; \
    const CRuntimeClass* theClass::GetRuntimeClass() const { return &theClass::class##theClass; }

#define DECLARE_MESSAGE_MAP()                                  \
protected:                                                     \
    static const AFX_MSGMAP messageMap;                        \
    static const AFX_MSGMAP_ENTRY messageEntries[];            \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return &theClass::messageMap; } \
    const AFX_MSGMAP theClass::messageMap = {&baseClass::messageMap, &theClass::messageEntries[0]}; \
    const AFX_MSGMAP_ENTRY theClass::messageEntries[] = {
#define END_MESSAGE_MAP() \
    {0, 0, 0, nullptr}    \
    }                     \
    ;

// A WM_COMMAND notification from the control with the given ID.
#define ON_COMMAND_NOTIFY(code, id, memberFn) {WM_COMMAND, (code), (id), static_cast<AFX_PMSG>(memberFn)},
#define ON_BN_CLICKED(id, memberFn) ON_COMMAND_NOTIFY(BN_CLICKED, id, memberFn)
// A message whose handler needs none of its arguments (WM_CLOSE).
#define ON_MESSAGE_VOID(message, memberFn) {(message), 0, 0, static_cast<AFX_PMSG>(memberFn)},

class CWnd {
public:
    CWnd();
    // Destroys a window that still exists, so that no message can reach a
    // deleted object.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    virtual const CRuntimeClass* GetRuntimeClass() const;
    static const CRuntimeClass classCWnd;

    // Creates the window with CreateWindowExW, the instance being the
    // executable's module. Windows of our own classes are attached to this
    // object before their first message is handled. The menu argument of a
    // child window is its control ID.
    BOOL CreateEx(DWORD exStyle, const char16_t* className, const char16_t* windowName, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU menu);

    virtual BOOL DestroyWindow();
    BOOL ShowWindow(int command);
    void UpdateWindow();
    void SetWindowText(const char16_t* text);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    HWND SetFocus();  // returns the window that had the focus
    void GetClientRect(LPRECT rect) const;

    // Message handling of an attached window: the message map, else
    // DefWindowProcW.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd;

protected:
    virtual const AFX_MSGMAP* GetMessageMap() const;
    static const AFX_MSGMAP messageMap;
    static const AFX_MSGMAP_ENTRY messageEntries[];

    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // The last message of the window: the main window ends the message loop;
    // the object lets go of the handle.
    virtual void OnNcDestroy();

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    void attach(HWND window);
    bool isAttachedTo(HWND window) const;
};

// The window procedure of every class registered through AfxRegisterWndClass.
LRESULT CALLBACK AfxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
