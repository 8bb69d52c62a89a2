// The application sequence of runApplication: start-up hook, the message
// loop only after TRUE, the main window's end, and the exit code.
#include "platform/frame/command_line.h"
#include "platform/frame/frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> events;

class EventWnd : public CWnd {
public:
    ~EventWnd() override { events.push_back("window object deleted"); }
    void OnNcDestroy() override {
        events.push_back("window destroyed");
        CWnd::OnNcDestroy();
    }
};

// Start-up creates the main window, optionally posts one message to it, and
// returns the chosen result; ExitInstance deletes the window object.
class TestApp : public CWinApp {
public:
    BOOL initResult = TRUE;
    UINT postMessage = 0;
    WPARAM postWParam = 0;
    bool createWindow = true;
    int exitCode = 42;
    EventWnd* wnd = nullptr;
    bool mainWndClearedAtExit = false;

    BOOL InitInstance() override {
        events.push_back("InitInstance");
        if (createWindow) {
            wnd = new EventWnd;
            const char16_t* cls = AfxRegisterWndClass(0, nullptr, nullptr, nullptr);
            wnd->CreateEx(0, cls, u"app", WS_SYSMENU, 0, 0, 200, 100, nullptr, nullptr);
            m_pMainWnd = wnd;
            if (postMessage != 0) PostMessageW(wnd->m_hWnd, postMessage, postWParam, 0);
        }
        return initResult;
    }
    int ExitInstance() override {
        events.push_back("ExitInstance");
        mainWndClearedAtExit = m_pMainWnd == nullptr;
        delete wnd;
        wnd = nullptr;
        return exitCode;
    }
};

TEST(RunApplication, FalseDestroysTheMainWindowWithoutALoop) {
    events.clear();
    TestApp app;
    app.initResult = FALSE;
    app.exitCode = 3;
    // Posted before start-up returns: without a loop it is never handled,
    // so the window is destroyed by the frame, not by this message.
    app.postMessage = WM_USER + 1;
    EXPECT_EQ(runApplication(), 3);
    EXPECT_EQ(events, (std::vector<std::string>{"InitInstance", "window destroyed", "ExitInstance",
                                                "window object deleted"}));
    EXPECT_TRUE(app.mainWndClearedAtExit);
    // Drain what the sequence left in the queue (our message and the quit).
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    }
}

TEST(RunApplication, FalseWithoutAMainWindowGoesStraightToExit) {
    events.clear();
    TestApp app;
    app.initResult = FALSE;
    app.createWindow = false;
    app.exitCode = 5;
    EXPECT_EQ(runApplication(), 5);
    EXPECT_EQ(events, (std::vector<std::string>{"InitInstance", "ExitInstance"}));
}

TEST(RunApplication, TrueLoopsUntilTheMainWindowIsDestroyed) {
    // Closing the window (default handling destroys it) ends the loop; the
    // exit code is ExitInstance's, not the quit message's 0.
    for (int exitCode : {0, 1, 4}) {
        events.clear();
        TestApp app;
        app.postMessage = WM_CLOSE;
        app.exitCode = exitCode;
        EXPECT_EQ(runApplication(), exitCode);
        EXPECT_EQ(events, (std::vector<std::string>{"InitInstance", "window destroyed", "ExitInstance",
                                                    "window object deleted"}));
        EXPECT_TRUE(app.mainWndClearedAtExit);
    }
}

TEST(RunApplication, TrueWithoutAWorkingMainWindowDoesNotWait) {
    // A main window whose creation failed could never end the loop.
    class BrokenApp : public CWinApp {
    public:
        CWnd wnd;
        BOOL InitInstance() override {
            wnd.CreateEx(0, u"no such class", u"", WS_SYSMENU, 0, 0, 10, 10, nullptr, nullptr);
            m_pMainWnd = &wnd;
            return TRUE;
        }
        int ExitInstance() override { return 7; }
    } app;
    ASSERT_EQ(app.wnd.m_hWnd, nullptr);
    EXPECT_EQ(runApplication(), 7);
}

TEST(RunApplication, CommandLineTailIsSetBeforeStartUp) {
    class TailApp : public CWinApp {
    public:
        std::u16string seen;
        BOOL InitInstance() override {
            seen = m_lpCmdLine;
            return FALSE;
        }
    } app;
    app.m_lpCmdLine = nullptr;
    runApplication();
    EXPECT_EQ(app.seen, std::u16string(commandLineTail(ustr(GetCommandLineW()))));
}

TEST(RunApplication, WithoutAnApplicationObject) { EXPECT_EQ(runApplication(), -1); }

}  // namespace
