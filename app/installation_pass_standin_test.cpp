// The pieces of the installation pass that a whole run cannot pin down: the
// module path at every length, the progress position at every count, and the
// failures before the INF is opened, scripted through the stand-ins.
#include <gtest/gtest.h>

#include <string>

#include "app/installation_pass.h"
#include "platform/debug_capture.h"
#include "platform/faults/faults.h"
#include "platform/machine/machine.h"
#include "platform/testing/scratch_dir.h"
#include "platform/testing/standin_fixture.h"
#include "ui/setup_wnd.h"

namespace {

// The longest path Windows hands out: 32,767 units and the terminator.
constexpr size_t kLongestPath = 32767;

TEST(ModulePath, ComesBackWholeAtEveryLengthThatFits) {
    // 511 fits the first buffer; 512 fills it exactly, as does anything longer,
    // and a path that was cut could name another folder. One that still fills
    // the largest buffer cannot be trusted at all.
    for (size_t length : {20u, 511u, 512u, 513u, 1500u, 32767u, 32768u, 40000u}) {
        std::u16string path = u"Z:\\" + std::u16string(length - 15, u'd') + u"\\install.exe";
        ASSERT_EQ(path.size(), length);
        standin::resetMachine();
        standin::machine().modulePath = path;
        CWString got = getModulePath();
        EXPECT_EQ(std::u16string(got.data, got.length), length <= kLongestPath ? path : u"") << length;
    }
    standin::resetMachine();
}

TEST(ProgressPosition, TruncatesAndNeverOverflows) {
    const struct {
        uint32_t done, count;
        int position;
    } cases[] = {
        {1, 3, 3333},         {2, 3, 6666},           {3, 3, 10000},          {1, 4, 2500},
        {1, 1, 10000},        {1, 20000, 0},          {2, 20000, 1},          {214749, 214749, 10000},
        {214748, 300000, 7158}, {4000000000u, 4000000000u, 10000}, {1, 4000000000u, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(progressPosition(c.done, c.count), c.position) << c.done << "/" << c.count;
    }
}

// The pass over a package whose velk.inf parses and yields one ID that no
// present device carries, with the installer reported beside it.
class InstallationPass : public StandinTest {
protected:
    void SetUp() override {
        StandinTest::SetUp();
        standin::clearFailures();
        scratch.write("pkg/velk.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\n"
                                      "[Manufacturer]\r\nM = Models\r\n[Models]\r\nDev = Inst, USB\\VID_F055\r\n");
        standin::machine().modulePath = scratch.windowsPath("pkg/install.exe");
    }
    void TearDown() override {
        standin::clearFailures();
        StandinTest::TearDown();
    }

    ScratchDirectory scratch;
};

TEST_F(InstallationPass, PackageIsOpenedOnlyFromTheInstallersOwnFolder) {
    const struct {
        const char* name;
        const char* failing;  // a stand-in call scripted to fail once, or null
        size_t modulePathLength;  // 0: the installer beside the package
        InstallOutcome outcome;
        const char* status;
    } cases[] = {
        {"beside the package", nullptr, 0, OUTCOME_NO_HARDWARE, "Searching for hardware... Done"},
        // Without its own folder the installer has no package: never a
        // velk.inf in the root of the current drive.
        {"own path unreadable", "GetModuleFileNameW", 0, OUTCOME_OPEN_FAILED, "Failed to open 'velk.inf'"},
        {"own path too long", nullptr, kLongestPath + 1, OUTCOME_OPEN_FAILED, "Failed to open 'velk.inf'"},
        // The reader's version record cannot be filled: the INF is not opened.
        {"version query fails", "GetVersionExW", 0, OUTCOME_OPEN_FAILED, "Failed to open 'velk.inf'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        standin::resetWindows();
        standin::clearFailures();
        if (c.modulePathLength != 0) {
            const std::u16string folder = scratch.windowsPath("pkg") + u"\\";
            standin::machine().modulePath = folder + std::u16string(c.modulePathLength - folder.size(), u'd');
        } else {
            standin::machine().modulePath = scratch.windowsPath("pkg/install.exe");
        }
        if (c.failing != nullptr) standin::injectFailure(c.failing, ERROR_NOT_ENOUGH_MEMORY);

        DebugOutputCapture capture;
        CSetupWnd window;
        InstallOutcome outcome = OUTCOME_SUCCESS;
        runInstallationPass(window, outcome);

        EXPECT_EQ(outcome, c.outcome);
        const standin::WindowInfo frame = topWindow();
        ASSERT_EQ(frame.children.size(), 5u);
        const standin::WindowInfo& status = frame.children[0];
        EXPECT_TRUE(status.visible);
        EXPECT_EQ(std::string(status.text.begin(), status.text.end()), c.status);
        const bool opened = c.outcome != OUTCOME_OPEN_FAILED;
        EXPECT_EQ(standin::callCount("SetupOpenInfFileW") != 0, opened);
        EXPECT_EQ(frame.children[1].visible, opened);  // the progress bar
        EXPECT_EQ(capture.lines().empty(), !opened);   // no path traced, not even the drive root's
    }
}

}  // namespace
