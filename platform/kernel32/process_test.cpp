#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "platform/kernel32/kernel32.h"
#include "platform/machine/machine.h"
#include "platform/platform.h"
#include "platform/testing/scratch_dir.h"

namespace {

class StartProcess : public ::testing::Test {
protected:
    void SetUp() override { standin::resetMachine(); }
    void TearDown() override {
        unsetenv("VELK_MACHINE");
        standin::resetMachine();
    }
    void start(std::vector<const char*> args) {
        std::vector<char*> argv;
        for (const char* a : args) argv.push_back(const_cast<char*>(a));
        standin::startProcess(static_cast<int>(argv.size()), argv.data());
    }
    ScratchDirectory scratch_;
    const std::string path_ = (scratch_.hostPath() / "machine.txt").string();
};

TEST_F(StartProcess, RecordsArgvAndLoadsTheMachine) {
    std::ofstream(path_) << "os = 6.1\n";
    setenv("VELK_MACHINE", path_.c_str(), 1);
    start({"/opt/drv/install", "-nopause"});
    EXPECT_EQ(std::u16string(ustr(GetCommandLineW())), u"Z:\\opt\\drv\\install -nopause");
    EXPECT_EQ(standin::machine().majorVersion, 6u);
}

TEST_F(StartProcess, WithoutTheVariableTheDefaultMachine) {
    standin::machine().majorVersion = 9;
    setenv("VELK_MACHINE", "", 1);
    start({"install"});
    EXPECT_EQ(standin::machine().majorVersion, 9u);  // untouched
}

TEST_F(StartProcess, BadDescriptionEndsTheProcess) {
    std::ofstream(path_) << "os = 5.1\nwow64 = perhaps\n";
    setenv("VELK_MACHINE", path_.c_str(), 1);
    EXPECT_EXIT(start({"/opt/install"}), ::testing::ExitedWithCode(standin::kExitBadMachine),
                "install: machine description " + path_ + ":2: wow64:");
    setenv("VELK_MACHINE", (path_ + ".none").c_str(), 1);
    EXPECT_EXIT(start({"/opt/install"}), ::testing::ExitedWithCode(standin::kExitBadMachine),
                path_ + ".none: cannot read");
}

}  // namespace
