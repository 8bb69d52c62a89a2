// The application object through the frame's run: the -nopause switch, the
// two ways of ending the wait, and the outcome as exit code.
#include "app/setup_app.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/machine/machine.h"
#include "ui/setup_wnd.h"

namespace {

enum class Ending { None, Finish, Close };

// CSetupApp with a chosen command-line tail; after start-up it posts what
// the user would do, so that the message loop has something to end it.
class TestApp : public CSetupApp {
public:
    std::u16string tail;
    Ending ending = Ending::None;
    bool windowShownAtStartUp = false;
    // Start-up left the window up, Finish shown and focused, for the message
    // loop: the run waits for the user. The posted ending below cannot tell,
    // since it ends a waiting run and is never needed by one that does not wait.
    bool waitsAfterStartUp = false;

    BOOL InitInstance() override {
        m_lpCmdLine = tail.c_str();
        BOOL result = CSetupApp::InitInstance();
        HWND frame = setupWnd->m_hWnd;
        windowShownAtStartUp = IsWindow(frame) != FALSE;
        waitsAfterStartUp = result != FALSE && windowShownAtStartUp &&
                            GetFocus() == setupWnd->finishButton.m_hWnd;
        if (ending == Ending::Finish) {
            PostMessageW(frame, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED),
                         reinterpret_cast<LPARAM>(setupWnd->finishButton.m_hWnd));
        } else if (ending == Ending::Close) {
            PostMessageW(frame, WM_CLOSE, 0, 0);
        }
        return result;
    }
};

// The quit message that the end of a main window posts stays queued when
// no loop runs; take it out so that the next test's loop is not ended by it.
void drainQueue() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
}

class SetupApp : public ::testing::Test {
protected:
    void SetUp() override {
        standin::resetMachine();
        standin::machine().majorVersion = 4;  // refused: the run's outcome is 1 whatever the pass does
    }
    void TearDown() override { standin::resetMachine(); }
};

TEST_F(SetupApp, NoPauseEndsRightAfterTheRun) {
    for (const char16_t* tail : {u"-nopause", u"-NoPause", u"-NOPAUSE", u"-nOpAuSe"}) {
        TestApp app;
        app.tail = tail;
        // The posted close would end the wait; it must never be needed here.
        app.ending = Ending::Close;
        EXPECT_EQ(runApplication(), OUTCOME_UNSUPPORTED_SYSTEM) << std::string(tail, tail + 8);
        EXPECT_TRUE(app.windowShownAtStartUp);
        EXPECT_FALSE(app.waitsAfterStartUp);
        EXPECT_EQ(app.setupWnd, nullptr);
        EXPECT_EQ(app.m_pMainWnd, nullptr);
        drainQueue();
    }
}

TEST_F(SetupApp, OtherTailsWaitForTheUser) {
    const char16_t* tails[] = {u"", u"-nopause ", u" -nopause", u"/nopause", u"-nopause now", u"nopause",
                               u"-nopause\t", u"\"-nopause\""};
    for (const char16_t* tail : tails) {
        for (Ending ending : {Ending::Finish, Ending::Close}) {
            TestApp app;
            app.tail = tail;
            app.ending = ending;
            // Finish and close end the process alike, with the outcome.
            const std::string shown(tail, tail + std::char_traits<char16_t>::length(tail));
            EXPECT_EQ(runApplication(), OUTCOME_UNSUPPORTED_SYSTEM) << "tail [" << shown << "]";
            EXPECT_TRUE(app.waitsAfterStartUp) << "tail [" << shown << "]";
            EXPECT_EQ(app.setupWnd, nullptr);
            EXPECT_EQ(app.m_pMainWnd, nullptr);
        }
    }
}

TEST_F(SetupApp, ExitCodeIsTheOutcome) {
    // Whatever the installation pass makes of the default machine, the exit
    // code is the run's outcome, for both endings.
    standin::resetMachine();
    for (Ending ending : {Ending::Finish, Ending::Close}) {
        TestApp app;
        app.ending = ending;
        EXPECT_EQ(runApplication(), app.installer.outcome);
    }
}

}  // namespace
