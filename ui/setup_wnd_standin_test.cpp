// The installer window as the stand-in window system sees it: the frame's
// size and place, every control's class, ID, style, text and rectangle, the
// fonts, the progress range, the view operations and the two ways to end it.
#include "ui/setup_wnd.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/machine/machine.h"
#include "platform/testing/standin_fixture.h"
#include "text/routines.h"
#include "platform/user32/user32.h"

namespace {

using standin::WindowInfo;

class SetupWndTest : public StandinTest {
protected:
    static WindowInfo control(UINT_PTR id) {
        for (const WindowInfo& child : topWindow().children) {
            if (child.id == id) return child;
        }
        ADD_FAILURE() << "no control " << id;
        return WindowInfo{};
    }
};

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(SetupWndTest, FrameIsCentredInTheMaximisedArea) {
    struct Case {
        int width, height;
        LONG x, y;
    };
    // Signed arithmetic, the quotient truncated toward zero, also when the
    // area is smaller than the frame.
    const Case cases[] = {{1024, 768, 312, 279}, {1031, 767, 315, 278}, {1920, 1080, 760, 435}, {301, 205, -49, -2}};
    for (const Case& c : cases) {
        standin::resetWindows();
        standin::machine().screenWidth = c.width;
        standin::machine().screenHeight = c.height;
        CSetupWnd window;
        WindowInfo f = topWindow();
        EXPECT_TRUE(sameRect(f.rect, RECT{c.x, c.y, c.x + 400, c.y + 210}))
            << c.width << "x" << c.height << ": " << f.rect.left << "," << f.rect.top << "," << f.rect.right << ","
            << f.rect.bottom;
    }
}

TEST_F(SetupWndTest, FrameAsCreated) {
    CSetupWnd window;
    WindowInfo f = topWindow();
    EXPECT_EQ(f.handle, window.m_hWnd);
    EXPECT_EQ(narrow(f.text), "VELK Driver Installer");
    EXPECT_EQ(f.style, static_cast<DWORD>(WS_SYSMENU));
    EXPECT_EQ(f.exStyle, static_cast<DWORD>(WS_EX_STATICEDGE));
    EXPECT_TRUE(f.visible);
    EXPECT_GE(standin::updateCount(), 1);  // shown and painted before construction returns
    EXPECT_EQ(std::string(window.GetRuntimeClass()->m_lpszClassName), "CSetupWnd");
    EXPECT_EQ(window.background.GetSafeHandle(), GetSysColorBrush(COLOR_BTNFACE));
    // The window class: style 0, the arrow cursor, the button-face brush and
    // the executable's icon group 102.
    EXPECT_EQ(f.classStyle, 0u);
    EXPECT_EQ(standin::handleName(f.cursor), "cursor:system:32512");
    EXPECT_EQ(f.background, GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(standin::handleName(f.icon), "icon:module:102");
}

TEST_F(SetupWndTest, ControlsAsCreated) {
    CSetupWnd window;
    WindowInfo f = topWindow();
    const RECT rc = f.client;
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    struct Expected {
        UINT_PTR id;
        const char16_t* className;
        const char* text;
        DWORD style;
        RECT rect;
        bool font;
    };
    const Expected expected[] = {
        {2, u"STATIC", "Searching for hardware...", WS_CHILD, {rc.left + 10, rc.top + 10, rc.right - 10, rc.top + 40},
         true},
        {3, u"msctls_progress32", "", WS_CHILD | PBS_SMOOTH, {rc.left + 10, rc.top + 50, rc.right - 10, rc.top + 70},
         false},
        {4, u"STATIC", "No hardware found", WS_CHILD, {rc.left + 10, rc.top + 80, rc.right - 10, rc.top + 100}, true},
        {5, u"STATIC", "NOTE: The driver will not be fully updated until you restart your computer.", WS_CHILD,
         {rc.left + 10, rc.top + 110, rc.right - 10, rc.top + 160}, true},
        {1, u"BUTTON", "&Finish", WS_CHILD | BS_CENTER | BS_VCENTER,
         {rc.right - 90, rc.bottom - 35, rc.right - 10, rc.bottom - 10}, true},
    };
    ASSERT_EQ(f.children.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        const WindowInfo& c = f.children[i];  // in creation order
        const Expected& e = expected[i];
        SCOPED_TRACE(e.text);
        EXPECT_EQ(c.id, e.id);
        EXPECT_EQ(compareNoCase(c.className.c_str(), e.className), 0) << narrow(c.className);
        EXPECT_EQ(narrow(c.text), e.text);
        EXPECT_EQ(c.style, e.style);
        EXPECT_EQ(c.exStyle, 0u);
        EXPECT_TRUE(sameRect(c.rect, e.rect));
        EXPECT_FALSE(c.visible);
        EXPECT_FALSE(c.focused);
        EXPECT_EQ(c.fontSent, e.font);
        if (e.font) {
            EXPECT_EQ(c.font, font);
            EXPECT_TRUE(c.fontRedraw);
        }
    }
    // Finish: 10 pixels from the right and bottom edges, 80 by 25.
    const RECT finish = f.children[4].rect;
    EXPECT_EQ(rc.right - finish.right, 10);
    EXPECT_EQ(rc.bottom - finish.bottom, 10);
    EXPECT_EQ(finish.right - finish.left, 80);
    EXPECT_EQ(finish.bottom - finish.top, 25);

    const WindowInfo& bar = f.children[1];
    EXPECT_EQ(bar.rangeMin, 0);
    EXPECT_EQ(bar.rangeMax, 10000);
    EXPECT_EQ(bar.position, 0);
    EXPECT_TRUE(bar.positions.empty());
}

TEST_F(SetupWndTest, ViewOperationsActOnTheirControls) {
    CSetupWnd window;
    window.setStatusText(u"Searching for hardware... Done");
    window.showStatus();
    window.showProgress();
    window.setProgress(10000);
    window.setProgress(0);
    window.setProgress(3333);
    window.setResultText(u"No suitable hardware was found.\n");
    window.showResult();
    window.showRebootNote();

    EXPECT_EQ(narrow(control(2).text), "Searching for hardware... Done");
    EXPECT_EQ(narrow(control(4).text), "No suitable hardware was found.\n");
    EXPECT_EQ(narrow(control(5).text), "NOTE: The driver will not be fully updated until you restart your computer.");
    for (UINT_PTR id : {2, 3, 4, 5}) EXPECT_TRUE(control(id).visible) << id;
    EXPECT_EQ(control(3).positions, (std::vector<int>{10000, 0, 3333}));
    EXPECT_EQ(control(3).position, 3333);
    EXPECT_FALSE(control(1).visible);

    const int before = standin::updateCount();
    window.repaint();
    EXPECT_EQ(standin::updateCount(), before + 1);

    window.showFinish();
    EXPECT_TRUE(control(1).visible);
    EXPECT_TRUE(control(1).focused);
    EXPECT_EQ(GetFocus(), window.finishButton.m_hWnd);
}

TEST_F(SetupWndTest, FinishAndCloseDestroyTheWindowButNotTheObject) {
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
        bool destroys;
    };
    const Case cases[] = {
        {"Finish clicked", WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), true},
        {"close", WM_CLOSE, 0, true},
        {"other control's click", WM_COMMAND, MAKEWPARAM(2, BN_CLICKED), false},
        {"other notification of Finish", WM_COMMAND, MAKEWPARAM(1, 5), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        standin::resetWindows();
        CSetupWnd window;
        window.showFinish();
        HWND handle = window.m_hWnd;
        LPARAM from = c.message == WM_COMMAND ? reinterpret_cast<LPARAM>(window.finishButton.m_hWnd) : 0;
        SendMessageW(handle, c.message, c.wParam, from);
        EXPECT_EQ(IsWindow(handle) == FALSE, c.destroys);
        EXPECT_EQ(window.m_hWnd == nullptr, c.destroys);
        // The object outlives its window; setting a text then does no harm.
        window.setStatusText(u"after");
    }
}

TEST_F(SetupWndTest, DeletingTheObjectDestroysAWindowStillOpen) {
    {
        CSetupWnd window;
        EXPECT_EQ(standin::windowTree().size(), 1u);
    }
    EXPECT_TRUE(standin::windowTree().empty());
}

}  // namespace
