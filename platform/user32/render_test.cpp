#include "platform/user32/test_window.h"

namespace standin_test {
namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0, end;
    while ((end = text.find('\n', start)) != std::string::npos) out.push_back(text.substr(start, end - start)), start = end + 1;
    return out;
}

TEST_F(WindowTest, RenderShowsTheVisibleControls) {
    HWND frame = createFrame();
    const Controls c = createControls(frame);
    EXPECT_EQ(standin::renderText(80, 24), "");  // the frame is not shown yet
    ShowWindow(frame, SW_SHOW);
    ShowWindow(c.status, SW_SHOW);
    ShowWindow(c.progress, SW_SHOW);
    SendMessageW(c.progress, PBM_SETPOS, 4200, 0);
    ShowWindow(c.finish, SW_SHOW);

    const std::string text = standin::renderText(80, 24);
    const auto rows = lines(text);
    ASSERT_EQ(rows.size(), 24u);
    for (const std::string& row : rows) EXPECT_EQ(row.size(), 80u) << row;
    EXPECT_NE(rows[0].find(" VELK Driver Installer "), std::string::npos);
    EXPECT_NE(text.find("Searching for hardware..."), std::string::npos);
    EXPECT_NE(text.find("] 42%"), std::string::npos);
    EXPECT_NE(text.find("[ Finish ]"), std::string::npos);
    EXPECT_EQ(text.find("No hardware found"), std::string::npos);  // hidden
    EXPECT_EQ(text.find("NOTE"), std::string::npos);

    // The status line sits above the bar, the button below both.
    size_t status = 0, bar = 0, button = 0;
    for (size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].find("Searching") != std::string::npos) status = r;
        if (rows[r].find("42%") != std::string::npos) bar = r;
        if (rows[r].find("Finish") != std::string::npos) button = r;
    }
    EXPECT_LT(status, bar);
    EXPECT_LT(bar, button);

    // Long texts wrap inside their control; tiny terminals still draw.
    ShowWindow(c.reboot, SW_SHOW);
    EXPECT_NE(standin::renderText(40, 24).find("restart your"), std::string::npos);
    EXPECT_EQ(lines(standin::renderText(3, 2)).size(), 8u);
}

}  // namespace
}  // namespace standin_test
