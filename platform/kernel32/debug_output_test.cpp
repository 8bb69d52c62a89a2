#include "platform/debug_capture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/machine/machine.h"
#include "platform/platform.h"
#include "platform/testing/scratch_dir.h"

namespace {

class DebugOutput : public ::testing::Test {
protected:
    void SetUp() override { standin::resetMachine(); }
    void TearDown() override { standin::resetMachine(); }
};

TEST_F(DebugOutput, CapturesSeeEveryCallWhileTheyLive) {
    OutputDebugStringW(wstr(u"before\n"));
    DebugOutputCapture outer;
    OutputDebugStringW(wstr(u"one\n"));
    {
        DebugOutputCapture inner;
        OutputDebugStringW(wstr(u"two"));
        OutputDebugStringW(wstr(u""));
        EXPECT_EQ(inner.lines(), (std::vector<std::u16string>{u"two", u""}));
    }
    OutputDebugStringW(nullptr);
    OutputDebugStringW(wstr(u"three\n"));
    EXPECT_EQ(outer.lines(), (std::vector<std::u16string>{u"one\n", u"two", u"", u"three\n"}));
    outer.clear();
    EXPECT_TRUE(outer.lines().empty());
    OutputDebugStringW(wstr(u"four"));
    EXPECT_EQ(outer.lines(), (std::vector<std::u16string>{u"four"}));
}

TEST_F(DebugOutput, WrittenAsUtf8ToTheChosenTarget) {
    const std::u16string text = u"CInfFile::open: dir='Z:\\caf\u00e9'\n";
    const std::string utf8 = "CInfFile::open: dir='Z:\\caf\xC3\xA9'\n";

    testing::internal::CaptureStderr();
    OutputDebugStringW(wstr(text.c_str()));  // debug = none
    standin::machine().debug = standin::DebugTarget::Stderr;
    OutputDebugStringW(wstr(text.c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), utf8);

    ScratchDirectory scratch;
    const std::string name = (scratch.hostPath() / "debug.txt").string();
    standin::machine().debug = standin::DebugTarget::File;
    standin::machine().debugPath = name;
    OutputDebugStringW(wstr(text.c_str()));
    OutputDebugStringW(wstr(u"next"));
    std::ifstream file(name, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), utf8 + "next");
}

}  // namespace
