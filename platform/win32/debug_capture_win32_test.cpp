// The debug-output capture over Windows (run under Wine by the Windows
// builds): every OutputDebugStringW call is one captured line, exactly once,
// and nothing is captured outside a capture object's life.
#include "platform/debug_capture.h"

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace {

TEST(DebugOutputCaptureWin32, OneLinePerCall) {
    DebugOutputCapture capture;
    OutputDebugStringW(L"first line\n");
    OutputDebugStringW(L"  second\n");
    OutputDebugStringW(L"");
    EXPECT_EQ(capture.lines(), (std::vector<std::u16string>{u"first line\n", u"  second\n", u""}));
    capture.clear();
    EXPECT_TRUE(capture.lines().empty());
    OutputDebugStringW(L"after clear");
    EXPECT_EQ(capture.lines(), (std::vector<std::u16string>{u"after clear"}));
}

TEST(DebugOutputCaptureWin32, LongLineArrivesWhole) {
    DebugOutputCapture capture;
    std::wstring text(255, L'x');
    OutputDebugStringW(text.c_str());
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_EQ(capture.lines()[0].size(), 255u);
}

TEST(DebugOutputCaptureWin32, NothingOutsideACapture) {
    OutputDebugStringW(L"not captured\n");
    DebugOutputCapture capture;
    EXPECT_TRUE(capture.lines().empty());
}

}  // namespace
