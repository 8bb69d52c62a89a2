// The driver update against the stand-in service, whose answers the machine
// description fixes: every row of the answer table, with the flags left as
// the caller relies on.
#include <filesystem>

#include "inf/inf_test_fixture.h"
#include "platform/machine/machine.h"

namespace {

using Lines = std::vector<std::string>;

enum class Case { Updated, Restart, NotBetter, NoDevice, Wow64, InfGone, OtherError };

TEST(InstallDriver, TurnsEachServiceAnswerIntoStatusAndFlags) {
    const struct {
        Case setup;
        InfStatus status;
        int32_t deviceFound;
        int32_t rebootRequired;
        int32_t notBetter;  // 7 means left untouched
        bool installedTrace;
    } cases[] = {
        {Case::Updated, INF_OK, 1, 0, 0, true},
        {Case::Restart, INF_OK, 1, 1, 0, true},
        {Case::NotBetter, INF_OK, 1, 0, 1, false},
        {Case::NoDevice, INF_OK, 0, 0, 7, false},
        {Case::Wow64, INF_WOW64, 0, 0, 7, false},
        {Case::InfGone, INF_UNEXPECTED, 0, 0, 7, false},
        {Case::OtherError, INF_UNEXPECTED, 0, 0, 7, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.setup));
        standin::resetMachine();
        standin::Device device;
        device.instance = u"USB\\VID_F055&PID_71A0\\0001";
        device.hardwareIds = {u"USB\\VID_F055&PID_71A0"};
        switch (c.setup) {
        case Case::Updated: device.answer = standin::ServiceAnswer::Updated; break;
        case Case::Restart: device.answer = standin::ServiceAnswer::Restart; break;
        case Case::NotBetter: device.answer = standin::ServiceAnswer::NotBetter; break;
        case Case::NoDevice: device.hardwareIds = {u"PCI\\VEN_0000&DEV_0000"}; break;
        case Case::Wow64: standin::machine().wow64 = standin::Wow64Answer::Yes; break;
        case Case::InfGone: break;
        case Case::OtherError:
            device.answer = standin::ServiceAnswer::Error;
            device.answerError = ERROR_ACCESS_DENIED;
            break;
        }
        standin::machine().devices.push_back(device);

        ScratchDirectory scratch;
        std::u16string path = scratch.write("velk.inf", std::string(kVersion) + "DriverVer = 01/02/2024,1.0.0.0\r\n");
        DebugOutputCapture capture;
        CInfFile inf;
        inf.verbose = 1;
        ASSERT_EQ(inf.open(path.c_str()), INF_OK);
        if (c.setup == Case::InfGone) std::filesystem::remove(scratch.hostPath() / "velk.inf");
        capture.clear();

        int32_t deviceFound = 9, rebootRequired = 9, notBetter = 7;
        EXPECT_EQ(inf.installDriver(CWString(u"usb\\vid_f055&pid_71a0"), deviceFound, rebootRequired, notBetter),
                  c.status);
        EXPECT_EQ(deviceFound, c.deviceFound);
        EXPECT_EQ(rebootRequired, c.rebootRequired);
        EXPECT_EQ(notBetter, c.notBetter);
        Lines expected = {"Installing driver for hardware ID usb\\vid_f055&pid_71a0:\n"};
        if (c.installedTrace) expected.push_back("  Installed driver for 'usb\\vid_f055&pid_71a0'.\n");
        EXPECT_EQ(traceLines(capture), expected);
    }
    standin::resetMachine();
}

TEST(InstallDriver, HandsTheServiceTheFullPathNotTheBareName) {
    // Started from another directory, a bare "velk.inf" would not be found
    // (or would be another package's file).
    standin::resetMachine();
    standin::Device device;
    device.instance = u"ROOT\\VELK\\0000";
    device.hardwareIds = {u"ROOT\\VELK"};
    device.hasDriver = false;
    standin::machine().devices.push_back(device);

    ScratchDirectory scratch;
    std::u16string path = scratch.write("pkg/velk.inf", std::string(kVersion) + "DriverVer = 01/02/2024,1.0.0.0\r\n");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(scratch.hostPath());
    CInfFile inf;
    inf.verbose = 0;
    ASSERT_EQ(inf.open(path.c_str()), INF_OK);
    int32_t deviceFound = 0, rebootRequired = 0, notBetter = 0;
    EXPECT_EQ(inf.installDriver(CWString(u"ROOT\\VELK"), deviceFound, rebootRequired, notBetter), INF_OK);
    EXPECT_EQ(deviceFound, 1);
    std::filesystem::current_path(previous);
    standin::resetMachine();
}

}  // namespace
