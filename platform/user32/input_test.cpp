#include <unistd.h>

#include "platform/user32/test_window.h"

namespace standin_test {
namespace {

using Lines = std::vector<std::string>;

// Runs the message loop with `input` on a pipe as the user's keys; the
// frame shows the Finish button with the focus, as the installer leaves it.
class InputTest : public WindowTest {
protected:
    Lines run(const std::string& input, bool focusButton = true) {
        HWND frame = createFrame();
        const Controls c = createControls(frame);
        ShowWindow(frame, SW_SHOW);
        ShowWindow(c.finish, SW_SHOW);
        if (focusButton) SetFocus(c.finish);
        int fds[2];
        EXPECT_EQ(pipe(fds), 0);
        EXPECT_EQ(write(fds[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
        close(fds[1]);
        standin::setInputDescriptor(fds[0]);
        log().lines.clear();
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (IsDialogMessageW(frame, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        close(fds[0]);
        standin::setInputDescriptor(0);
        EXPECT_FALSE(IsWindow(frame));
        return log().lines;
    }
};

const Lines kFinish{"frame WM_COMMAND id=1 code=0 from-control", "frame WM_DESTROY", "frame WM_NCDESTROY"};
const Lines kClose{"frame WM_CLOSE", "frame WM_DESTROY", "frame WM_NCDESTROY"};

TEST_F(InputTest, EnterPressesTheFocusedButton) {
    // The logging frame does nothing on the click; end of input closes it.
    const Lines lines = run("\n");
    EXPECT_EQ(lines, (Lines{kFinish[0], kClose[0], kClose[1], kClose[2]}));
}

TEST_F(InputTest, LinesAndEndOfInput) {
    struct Case {
        std::string input;
        Lines expected;
    } cases[] = {
        {"q\n", kClose},
        {"  ESC \r\n", kClose},
        {"", kClose},                            // end of input
        {"nonsense\nmore\n", kClose},            // ignored, then end of input
        {"q", kClose},                           // last line without its end
        {std::string(10000, 'x') + "\nq\n", kClose},  // an overlong line is dropped whole
    };
    for (const Case& c : cases) {
        SetUp();
        EXPECT_EQ(run(c.input), c.expected) << c.input.substr(0, 20);
    }
}

LRESULT CALLBACK finishOnClick(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == 1 && HIWORD(wParam) == BN_CLICKED) {
        log().lines.push_back("finish");
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(InputTest, FinishButtonEndsTheLoop) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = finishOnClick;
    wc.lpszClassName = wstr(u"Finisher");
    ASSERT_NE(RegisterClassW(&wc), 0);
    HWND frame = CreateWindowExW(0, wstr(u"Finisher"), nullptr, WS_SYSMENU, 0, 0, 400, 210, nullptr, nullptr, nullptr,
                                 nullptr);
    HWND button = CreateWindowExW(0, wstr(u"BUTTON"), wstr(u"&Finish"), WS_CHILD | WS_VISIBLE, 0, 0, 80, 25, frame,
                                  reinterpret_cast<HMENU>(1), nullptr, nullptr);
    SetFocus(button);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(write(fds[1], "\n", 1), 1);  // the pipe stays open: only the button can end the loop
    standin::setInputDescriptor(fds[0]);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    EXPECT_EQ(log().lines, (Lines{"finish"}));
    EXPECT_FALSE(IsWindow(frame));
    close(fds[0]);
    close(fds[1]);
}

TEST_F(InputTest, EnterWithoutAFocusedButtonDoesNothing) {
    EXPECT_EQ(run("\n", false), kClose);  // then end of input closes
}

TEST_F(InputTest, WindowThatIgnoresCloseStillEndsTheLoop) {
    log().closeDestroys = false;
    testing::internal::CaptureStderr();
    HWND frame = createFrame();
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[1]);
    standin::setInputDescriptor(fds[0]);
    MSG msg;
    int closes = 0;
    BOOL result;
    while ((result = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
        closes += msg.message == WM_CLOSE;
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(result, FALSE);
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("did not close"), std::string::npos);
    close(fds[0]);
}

}  // namespace
}  // namespace standin_test
