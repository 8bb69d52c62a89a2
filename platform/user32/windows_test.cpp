#include "platform/user32/test_window.h"

namespace standin_test {
namespace {

using Lines = std::vector<std::string>;

TEST_F(WindowTest, CreationSendsNcCreateThenCreate) {
    HWND frame = createFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(log().lines, (Lines{"? WM_NCCREATE", "? WM_CREATE"}));
    EXPECT_TRUE(IsWindow(frame));
    ASSERT_EQ(standin::windowTree().size(), 1u);
    const standin::WindowInfo info = standin::windowTree()[0];
    EXPECT_EQ(info.text, u"VELK Driver Installer");  // set by DefWindowProcW's WM_NCCREATE
    EXPECT_FALSE(info.visible);
    EXPECT_EQ(info.className, u"TestFrame");
    EXPECT_EQ(info.rect.left, 312);
    EXPECT_EQ(info.rect.bottom, 279 + 210);
}

TEST_F(WindowTest, ClassNamesAreCaseInsensitive) {
    HWND frame = CreateWindowExW(0, wstr(u"testFRAME"), nullptr, 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    for (const char16_t* name : {u"static", u"Button", u"MSCTLS_PROGRESS32"})
        EXPECT_NE(CreateWindowExW(0, wstr(name), nullptr, WS_CHILD, 0, 0, 1, 1, frame, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(standin::windowTree()[0].children[0].className, u"STATIC");

    SetLastError(0);
    EXPECT_EQ(CreateWindowExW(0, wstr(u"Nope"), nullptr, 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
    EXPECT_EQ(CreateWindowExW(0, wstr(u"STATIC"), nullptr, WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TLW_WITH_WSCHILD));

    WNDCLASSW again{};
    again.lpfnWndProc = loggingProc;
    again.lpszClassName = wstr(u"TESTFRAME");
    EXPECT_EQ(RegisterClassW(&again), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
}

LRESULT CALLBACK refuseCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    log().lines.push_back(messageName(message));
    if (message == WM_CREATE) return -1;
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(WindowTest, RefusedCreateDestroysTheWindow) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = refuseCreate;
    wc.lpszClassName = wstr(u"Refuse");
    ASSERT_NE(RegisterClassW(&wc), 0);
    EXPECT_EQ(CreateWindowExW(0, wstr(u"Refuse"), nullptr, 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(log().lines, (Lines{"WM_NCCREATE", "WM_CREATE", "WM_DESTROY", "WM_NCDESTROY"}));
    EXPECT_TRUE(standin::windowTree().empty());
}

TEST_F(WindowTest, DestroyWindowOrder) {
    // WM_DESTROY goes down the tree while all of it exists; WM_NCDESTROY
    // comes back up, children before their parent.
    HWND frame = createFrame("frame");
    HWND inner = createFrame("inner", frame, WS_CHILD);
    HWND innermost = createFrame("innermost", inner, WS_CHILD);
    HWND second = createFrame("second", frame, WS_CHILD);
    HWND button = CreateWindowExW(0, wstr(u"BUTTON"), nullptr, WS_CHILD, 0, 0, 1, 1, frame, nullptr, nullptr, nullptr);
    SetFocus(button);
    log().lines.clear();
    EXPECT_TRUE(DestroyWindow(frame));
    EXPECT_EQ(log().lines, (Lines{"frame WM_DESTROY", "inner WM_DESTROY", "innermost WM_DESTROY", "second WM_DESTROY",
                                  "innermost WM_NCDESTROY", "inner WM_NCDESTROY", "second WM_NCDESTROY",
                                  "frame WM_NCDESTROY"}));
    for (HWND w : {frame, inner, innermost, second, button}) EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_FALSE(DestroyWindow(frame));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(WindowTest, DestroyingAChildLeavesTheParent) {
    HWND frame = createFrame("frame");
    HWND inner = createFrame("inner", frame, WS_CHILD);
    log().lines.clear();
    EXPECT_TRUE(DestroyWindow(inner));
    EXPECT_EQ(log().lines, (Lines{"inner WM_DESTROY", "inner WM_NCDESTROY"}));
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_TRUE(standin::windowTree()[0].children.empty());
}

TEST_F(WindowTest, ClientRectangles) {
    struct Case {
        DWORD exStyle;
        int width, height;
        LONG clientWidth, clientHeight;
    } cases[] = {
        {WS_EX_STATICEDGE, 400, 210, 396, 187},
        {0, 400, 210, 398, 189},
        {WS_EX_STATICEDGE, 2, 2, 0, 0},
    };
    for (const Case& c : cases) {
        HWND frame = CreateWindowExW(c.exStyle, wstr(u"TestFrame"), nullptr, WS_SYSMENU, 0, 0, c.width, c.height,
                                     nullptr, nullptr, nullptr, nullptr);
        RECT rc{-1, -1, -1, -1};
        ASSERT_TRUE(GetClientRect(frame, &rc));
        EXPECT_EQ(rc.left, 0);
        EXPECT_EQ(rc.top, 0);
        EXPECT_EQ(rc.right, c.clientWidth);
        EXPECT_EQ(rc.bottom, c.clientHeight);
    }
    HWND frame = createFrame();
    const Controls controls = createControls(frame);
    RECT rc;
    ASSERT_TRUE(GetClientRect(controls.finish, &rc));
    EXPECT_EQ(rc.right, 80);
    EXPECT_EQ(rc.bottom, 25);
    EXPECT_FALSE(GetClientRect(reinterpret_cast<HWND>(&rc), &rc));
}

TEST_F(WindowTest, VisibilityTextFocusUserData) {
    HWND frame = createFrame();
    const Controls c = createControls(frame);
    EXPECT_FALSE(ShowWindow(c.status, SW_SHOW));  // was hidden
    EXPECT_TRUE(ShowWindow(c.status, SW_SHOW));
    EXPECT_TRUE(SetWindowTextW(c.status, wstr(u"Searching for hardware... Done")));
    EXPECT_TRUE(SetWindowTextW(frame, wstr(u"Title")));
    EXPECT_EQ(log().lines.back(), "frame WM_SETTEXT");  // frames get the message
    const auto tree = standin::windowTree();
    EXPECT_EQ(tree[0].text, u"Title");
    EXPECT_TRUE(tree[0].children[0].visible);
    EXPECT_EQ(tree[0].children[0].text, u"Searching for hardware... Done");
    EXPECT_FALSE(tree[0].children[1].visible);

    EXPECT_EQ(SetFocus(c.finish), nullptr);
    EXPECT_EQ(SetFocus(frame), c.finish);
    EXPECT_EQ(GetFocus(), frame);

    EXPECT_EQ(SetWindowLongPtrW(c.status, GWLP_USERDATA, 42), 0);
    EXPECT_EQ(GetWindowLongPtrW(c.status, GWLP_USERDATA), 42);
    EXPECT_EQ(GetWindowLongPtrW(c.status, -4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));

    HWND gone = c.status;
    DestroyWindow(frame);
    EXPECT_FALSE(ShowWindow(gone, SW_SHOW));
    EXPECT_FALSE(SetWindowTextW(gone, wstr(u"x")));
    EXPECT_EQ(SendMessageW(gone, PBM_GETPOS, 0, 0), 0);
    EXPECT_FALSE(UpdateWindow(gone));
}

}  // namespace
}  // namespace standin_test

namespace standin_test {
namespace {

TEST_F(WindowTest, OwnedWindowsGoBeforeTheirOwner) {
    HWND frame = createFrame("frame");
    HWND owned = createFrame("owned", frame, WS_SYSMENU);
    EXPECT_EQ(standin::windowTree().size(), 2u);  // owned windows are top-level
    log().lines.clear();
    DestroyWindow(frame);
    EXPECT_EQ(log().lines, (std::vector<std::string>{"owned WM_DESTROY", "owned WM_NCDESTROY", "frame WM_DESTROY",
                                                     "frame WM_NCDESTROY"}));
    EXPECT_FALSE(IsWindow(owned));
    // The dump was taken before anything went: both frames are in it.
    const std::string dump = standin::lastDump();
    const std::string top = "\nwindow class=\"TestFrame\"";
    const size_t first = dump.find(top);
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(dump.find(top, first + 1), std::string::npos);
}

}  // namespace
}  // namespace standin_test
