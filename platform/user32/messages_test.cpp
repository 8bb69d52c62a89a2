#include <unistd.h>

#include "platform/user32/test_window.h"

namespace standin_test {
namespace {

using Lines = std::vector<std::string>;

TEST_F(WindowTest, ProgressRangeAndPositions) {
    HWND frame = createFrame();
    const Controls c = createControls(frame);
    EXPECT_EQ(SendMessageW(c.progress, PBM_GETPOS, 0, 0), 0);
    struct Step {
        WPARAM sent;
        LRESULT previous;
        LRESULT now;
    } steps[] = {{2500, 0, 2500}, {10000, 2500, 10000}, {12000, 10000, 10000}, {0, 10000, 0}};
    for (const Step& s : steps) {
        EXPECT_EQ(SendMessageW(c.progress, PBM_SETPOS, s.sent, 0), s.previous) << s.sent;
        EXPECT_EQ(SendMessageW(c.progress, PBM_GETPOS, 0, 0), s.now) << s.sent;
    }
    // The previous range comes back packed: minimum low, maximum high.
    EXPECT_EQ(SendMessageW(c.progress, PBM_SETRANGE32, 0, 100), 10000 << 16);
    const standin::WindowInfo info = standin::windowTree()[0].children[1];
    EXPECT_EQ(info.rangeMin, 0);
    EXPECT_EQ(info.rangeMax, 100);
    EXPECT_EQ(info.positions, (std::vector<int>{2500, 10000, 12000, 0}));
}

TEST_F(WindowTest, ChangesArePaintedByUpdateWindowOrByTheWaitingLoop) {
    HWND frame = createFrame();
    const Controls c = createControls(frame);
    ShowWindow(frame, SW_SHOW);
    ShowWindow(c.progress, SW_SHOW);
    SendMessageW(c.progress, PBM_SETPOS, 10, 0);
    UpdateWindow(c.status);                       // another window's paint leaves the bar alone
    SendMessageW(c.progress, PBM_SETPOS, 20, 0);  // so 10 never reached the screen
    UpdateWindow(frame);                          // the frame's paint covers its children
    SendMessageW(c.progress, PBM_SETPOS, 30, 0);
    SetWindowTextW(c.status, wstr(u"changed"));
    auto control = [](size_t index) { return standin::windowTree()[0].children[index]; };
    EXPECT_EQ(control(1).paintedPositions, (std::vector<int>{20}));
    EXPECT_FALSE(control(1).painted);
    EXPECT_FALSE(control(0).painted);

    // No forced paint: the loop paints what changed before it waits for the user.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(write(fds[1], "q\n", 2), 2);
    standin::setInputDescriptor(fds[0]);
    MSG msg;
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(control(1).paintedPositions, (std::vector<int>{20, 30}));
    EXPECT_TRUE(control(0).painted);
    standin::setInputDescriptor(0);
    close(fds[0]);
    close(fds[1]);
}

TEST_F(WindowTest, FontIsRecordedPerControl) {
    HWND frame = createFrame();
    createControls(frame);
    const auto children = standin::windowTree()[0].children;
    for (const auto& child : children) {
        EXPECT_EQ(child.fontSent, child.id != 3) << child.id;
        if (child.fontSent) {
            EXPECT_EQ(child.font, GetStockObject(DEFAULT_GUI_FONT));
            EXPECT_TRUE(child.fontRedraw);
        }
    }
}

TEST_F(WindowTest, CloseGoesThroughDefWindowProcToDestroy) {
    HWND frame = createFrame();
    log().lines.clear();
    SendMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(log().lines, (Lines{"frame WM_CLOSE", "frame WM_DESTROY", "frame WM_NCDESTROY"}));
    EXPECT_FALSE(IsWindow(frame));
}

TEST_F(WindowTest, PostedMessagesThenQuit) {
    log().quitOnDestroy = false;  // keeps the quit code below
    HWND frame = createFrame();
    EXPECT_TRUE(PostMessageW(frame, WM_COMMAND, MAKEWPARAM(7, 0), 0));
    EXPECT_TRUE(PostMessageW(nullptr, WM_USER, 1, 2));
    EXPECT_FALSE(PostMessageW(reinterpret_cast<HWND>(&frame), WM_USER, 0, 0));
    PostQuitMessage(3);
    EXPECT_TRUE(PostMessageW(frame, WM_CLOSE, 0, 0));  // still before the quit message

    MSG msg;
    log().lines.clear();
    std::vector<UINT> seen;
    BOOL result;
    while ((result = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        ASSERT_NE(result, -1);
        seen.push_back(msg.message);
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(seen, (std::vector<UINT>{WM_COMMAND, WM_USER, WM_CLOSE}));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(log().lines[0], "frame WM_COMMAND id=7 code=0");
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(GetMessageW(nullptr, nullptr, 0, 0), -1);
}

TEST_F(WindowTest, DestroyedWindowsLoseTheirQueuedMessages) {
    HWND frame = createFrame();
    PostMessageW(frame, WM_USER, 0, 0);
    log().quitOnDestroy = false;
    DestroyWindow(frame);
    PostQuitMessage(0);
    MSG msg;
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
}

}  // namespace
}  // namespace standin_test
