// The window base over the platform's window system: attaching during
// creation, message-map dispatch along the chain, the end of a main window.
#include "platform/frame/frame.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class ProbeWnd : public CWnd {
public:
    std::vector<const char*> calls;
    void onFirst() { calls.push_back("first"); }
    void onClose() { calls.push_back("close"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProbeWnd, CWnd)
ON_BN_CLICKED(7, &ProbeWnd::onFirst)
ON_MESSAGE_VOID(WM_CLOSE, &ProbeWnd::onClose)
END_MESSAGE_MAP()

// A derived class with its own table, chained to ProbeWnd's.
class DerivedWnd : public ProbeWnd {
public:
    void onSecond() { calls.push_back("second"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWnd, ProbeWnd)
ON_BN_CLICKED(8, &DerivedWnd::onSecond)
END_MESSAGE_MAP()

class RecordingWnd : public CWnd {
public:
    std::vector<UINT> seen;
    bool handleKnownDuringCreate = false;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        seen.push_back(message);
        if (message == WM_CREATE) handleKnownDuringCreate = m_hWnd != nullptr;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

const char16_t* frameClass() {
    return AfxRegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW), GetSysColorBrush(COLOR_BTNFACE), nullptr);
}

BOOL createFrame(CWnd& wnd) {
    return wnd.CreateEx(0, frameClass(), u"probe", WS_SYSMENU, 0, 0, 200, 100, nullptr, nullptr);
}

TEST(Wnd, HandleIsKnownToTheObjectFromTheFirstMessage) {
    RecordingWnd wnd;
    ASSERT_TRUE(createFrame(wnd));
    ASSERT_NE(wnd.m_hWnd, nullptr);
    // Whether messages arrive during creation is the window system's
    // choice; those that do must already find the handle.
    bool sawCreate = false;
    for (UINT m : wnd.seen) sawCreate = sawCreate || m == WM_CREATE;
    EXPECT_EQ(wnd.handleKnownDuringCreate, sawCreate);
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.m_hWnd, nullptr);
}

TEST(Wnd, MessageMapDispatchesByMessageCodeAndId) {
    struct Case {
        UINT message;
        WPARAM wParam;
        std::vector<const char*> expected;
    };
    const Case cases[] = {
        {WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), {"first"}},   // base table, reached through the chain
        {WM_COMMAND, MAKEWPARAM(8, BN_CLICKED), {"second"}},  // own table
        {WM_COMMAND, MAKEWPARAM(9, BN_CLICKED), {}},          // unknown ID
        {WM_COMMAND, MAKEWPARAM(7, 1), {}},                   // other notification of the same control
        {WM_CLOSE, 0, {"close"}},                             // handled: the window stays
    };
    for (const Case& c : cases) {
        DerivedWnd wnd;
        ASSERT_TRUE(createFrame(wnd));
        wnd.SendMessage(c.message, c.wParam, 0);
        EXPECT_EQ(wnd.calls, c.expected) << "message " << c.message << " wParam " << c.wParam;
        EXPECT_TRUE(IsWindow(wnd.m_hWnd));
    }
}

TEST(Wnd, UnhandledCloseGetsTheDefaultAndDestroysTheWindow) {
    CWnd wnd;
    ASSERT_TRUE(createFrame(wnd));
    HWND window = wnd.m_hWnd;
    wnd.SendMessage(WM_CLOSE);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(wnd.m_hWnd, nullptr);
}

TEST(Wnd, DestroyingTheObjectDestroysItsWindow) {
    HWND window;
    {
        ProbeWnd wnd;
        ASSERT_TRUE(createFrame(wnd));
        window = wnd.m_hWnd;
    }
    EXPECT_FALSE(IsWindow(window));
}

TEST(Wnd, ControlsAreChildrenWithTheirIdAndRectangle) {
    CWnd frame;
    ASSERT_TRUE(createFrame(frame));
    CStatic label;
    CButton button;
    CProgressCtrl bar;
    ASSERT_TRUE(label.Create(u"text", WS_CHILD, RECT{10, 10, 110, 30}, &frame, 2));
    ASSERT_TRUE(button.Create(u"&Finish", WS_CHILD, RECT{10, 40, 90, 65}, &frame, 1));
    ASSERT_TRUE(bar.Create(WS_CHILD | PBS_SMOOTH, RECT{10, 70, 110, 90}, &frame, 3));
    bar.SetRange32(0, 10000);
    bar.SetPos(10000);
    EXPECT_EQ(bar.SetPos(0), 10000);

    RECT rc;
    button.GetClientRect(&rc);
    EXPECT_EQ(rc.right - rc.left, 80);
    EXPECT_EQ(rc.bottom - rc.top, 25);

    // Destroying the parent takes the controls along; their objects then
    // leave the handles alone.
    HWND labelWindow = label.m_hWnd;
    frame.DestroyWindow();
    EXPECT_FALSE(IsWindow(labelWindow));
}

}  // namespace
