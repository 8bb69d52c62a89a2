#include "platform/user32/test_window.h"

namespace standin_test {
namespace {

TEST_F(WindowTest, MetricsFollowTheMachineScreen) {
    standin::machine().screenWidth = 1280;
    standin::machine().screenHeight = 1024;
    EXPECT_EQ(GetSystemMetrics(SM_CXMAXIMIZED), 1280);
    EXPECT_EQ(GetSystemMetrics(SM_CYMAXIMIZED), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(9999), 0);
}

TEST_F(WindowTest, HandlesNameWhatWasAskedFor) {
    EXPECT_EQ(standin::handleName(GetStockObject(DEFAULT_GUI_FONT)), "DEFAULT_GUI_FONT");
    EXPECT_EQ(GetStockObject(9), nullptr);
    EXPECT_EQ(GetStockObject(-1), nullptr);
    EXPECT_EQ(standin::handleName(GetSysColorBrush(COLOR_BTNFACE)), "syscolor:15");
    EXPECT_EQ(GetSysColorBrush(99), nullptr);
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(102));
    EXPECT_EQ(icon, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(102)));
    EXPECT_NE(icon, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(101)));
    EXPECT_EQ(standin::handleName(icon), "icon:module:102");
    EXPECT_EQ(standin::handleName(LoadCursorW(nullptr, IDC_ARROW)), "cursor:system:32512");
    EXPECT_EQ(standin::handleName(nullptr), "none");
}

TEST_F(WindowTest, CommonControlsCallsAreRecorded) {
    INITCOMMONCONTROLSEX init{8, 0xFF};
    EXPECT_TRUE(InitCommonControlsEx(&init));
    INITCOMMONCONTROLSEX bad{4, 0x20};
    EXPECT_FALSE(InitCommonControlsEx(&bad));
    const auto calls = standin::commonControlsCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].dwICC, 0xFFu);
    EXPECT_EQ(calls[1].dwSize, 4u);
}

}  // namespace
}  // namespace standin_test
