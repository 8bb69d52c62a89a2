#include <fstream>
#include <iterator>

#include "platform/testing/scratch_dir.h"
#include "platform/user32/test_window.h"

namespace standin_test {
namespace {

TEST_F(WindowTest, DumpOfTheInstallerWindow) {
    INITCOMMONCONTROLSEX init{8, 0xFF};
    InitCommonControlsEx(&init);
    HWND frame = createFrame();
    const Controls c = createControls(frame);
    ShowWindow(frame, SW_SHOW);
    UpdateWindow(frame);
    ShowWindow(c.progress, SW_SHOW);
    SendMessageW(c.progress, PBM_SETPOS, 5000, 0);
    UpdateWindow(frame);
    SendMessageW(c.progress, PBM_SETPOS, 10000, 0);
    SetWindowTextW(c.status, wstr(u"Searching for hardware... Done"));
    ShowWindow(c.status, SW_SHOW);
    SetWindowTextW(c.result, wstr(u"Say \"hi\"\\\n\x01"));
    UpdateWindow(frame);
    ShowWindow(c.finish, SW_SHOW);
    SetFocus(c.finish);

    const std::string expected =
        "updates=3\n"
        "focus=1\n"
        "common-controls=8,0x000000ff\n"
        "window class=\"TestFrame\" id=0 visible=yes rect=312,279,712,489 client=396,187 style=0x00080000 "
        "exstyle=0x00020000 font=none class-style=0x00000000 brush=syscolor:15 icon=icon:module:102 "
        "cursor=cursor:system:32512 painted=yes text=\"VELK Driver Installer\"\n"
        "  window class=\"STATIC\" id=2 visible=yes rect=10,10,386,40 client=376,30 style=0x40000000 "
        "exstyle=0x00000000 font=DEFAULT_GUI_FONT redraw=yes painted=yes text=\"Searching for hardware... Done\"\n"
        "  window class=\"msctls_progress32\" id=3 visible=yes rect=10,50,386,70 client=376,20 style=0x40000001 "
        "exstyle=0x00000000 font=none painted=yes range=0,10000 pos=10000 history=5000,10000 painted-pos=5000,10000 "
        "text=\"\"\n"
        "  window class=\"STATIC\" id=4 visible=no rect=10,80,386,100 client=376,20 style=0x40000000 "
        "exstyle=0x00000000 font=DEFAULT_GUI_FONT redraw=yes painted=yes text=\"Say \\\"hi\\\"\\\\\\n\\x01\"\n"
        "  window class=\"STATIC\" id=5 visible=no rect=10,110,386,160 client=376,50 style=0x40000000 "
        "exstyle=0x00000000 font=DEFAULT_GUI_FONT redraw=yes painted=yes "
        "text=\"NOTE: The driver will not be fully updated until you restart your computer.\"\n"
        "  window class=\"BUTTON\" id=1 visible=yes rect=306,152,386,177 client=80,25 style=0x40000f00 "
        "exstyle=0x00000000 font=DEFAULT_GUI_FONT redraw=yes painted=no text=\"&Finish\"\n";
    EXPECT_EQ(standin::dumpText(), expected);
}

TEST_F(WindowTest, DumpFileHoldsTheTreeBeforeDestruction) {
    ScratchDirectory scratch;
    const std::string name = (scratch.hostPath() / "dump.txt").string();
    standin::machine().dumpPath = name;

    HWND frame = createFrame();
    createControls(frame);
    ShowWindow(frame, SW_SHOW);
    const std::string before = standin::dumpText();
    ASSERT_NE(before.find("id=1"), std::string::npos);
    EXPECT_TRUE(standin::lastDump().empty());
    DestroyWindow(frame);

    std::ifstream file(name, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), before);
    EXPECT_EQ(standin::lastDump(), before);
    EXPECT_EQ(standin::dumpText(), "updates=0\nfocus=none\n");
}

}  // namespace
}  // namespace standin_test
