#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/faults/faults.h"
#include "platform/machine/machine.h"
#include "platform/newdev/driver_version.h"
#include "platform/platform.h"
#include "platform/testing/scratch_dir.h"

namespace {

using standin::Device;
using standin::Machine;
using standin::ServiceAnswer;

const char kInf[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Velk\r\nDriverVer=06/01/2024,2.1.0.0\r\n";
const char kInfWithoutDriverVer[] = "[Version]\r\nSignature=\"$Windows NT$\"\r\n";
const char kNotAnInf[] = "[Version]\r\nSignature=\"$Something else$\"\r\n";
const char kPackage[] = "06/01/2024,2.1.0.0";

Device device(const char16_t* instance, const char16_t* hwid, const char16_t* compatid) {
    Device d;
    d.instance = instance;
    d.hardwareIds = {hwid};
    d.compatibleIds = {compatid};
    return d;
}

// Two present devices sharing a compatible ID: A with an older driver, B
// without a driver and in use.
Machine baseMachine() {
    Machine m;
    Device a = device(u"USB\\VID_F055&PID_71A0\\1", u"USB\\VID_F055&PID_71A0", u"USB\\Class_FF");
    a.hasDriver = true;
    a.driverMonth = 1;
    a.driverDay = 15;
    a.driverYear = 2020;
    a.driverVersion[0] = 1;
    Device b = device(u"USB\\VID_F055&PID_71A1\\2", u"USB\\VID_F055&PID_71A1", u"USB\\Class_FF");
    b.inUse = true;
    m.devices = {a, b};
    return m;
}

std::string driverOf(const Device& d) {
    if (!d.hasDriver) return "none";
    standin::DriverVersion v;
    v.year = d.driverYear;
    v.month = d.driverMonth;
    v.day = d.driverDay;
    for (int k = 0; k < 4; ++k) v.parts[k] = d.driverVersion[k];
    return standin::formatDriverVersion(v);
}

void setDriver(Device& d, int month, int day, int year, uint16_t major, uint16_t minor) {
    d.hasDriver = true;
    d.driverMonth = month;
    d.driverDay = day;
    d.driverYear = year;
    d.driverVersion[0] = major;
    d.driverVersion[1] = minor;
    d.driverVersion[2] = 0;
    d.driverVersion[3] = 0;
}

enum class InfKind { Package, NoDriverVer, NotInf, Missing, Directory, Null };

class UpdateDriverTest : public ::testing::Test {
protected:
    void SetUp() override { standin::resetMachine(); }
    void TearDown() override { standin::resetMachine(); }

    std::u16string infPath(InfKind kind) {
        switch (kind) {
        case InfKind::Package: return scratch.write("pkg/velk.inf", kInf);
        case InfKind::NoDriverVer: return scratch.write("pkg/velk.inf", kInfWithoutDriverVer);
        case InfKind::NotInf: return scratch.write("pkg/velk.inf", kNotAnInf);
        case InfKind::Missing: return scratch.windowsPath("pkg/missing.inf");
        case InfKind::Directory: scratch.write("pkg/velk.inf", kInf); return scratch.windowsPath("pkg");
        case InfKind::Null: break;
        }
        return u"";
    }

    std::vector<std::string> logLines() const {
        std::ifstream in(scratch.hostPath() / "service.log");
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    ScratchDirectory scratch;
};

TEST_F(UpdateDriverTest, DecidesEachCallByTheDocumentedRules) {
    struct Case {
        const char* name;
        std::function<void(Machine&)> change;
        const char16_t* id;
        DWORD flags;
        InfKind inf;
        BOOL result;
        DWORD error;  // with FALSE
        BOOL reboot;  // with TRUE; left as it was (7) otherwise
        const char* driverA;
        const char* driverB;
    } cases[] = {
        {"hardware ID, case ignored", nullptr, u"usb\\vid_f055&pid_71a0", 0, InfKind::Package, TRUE, 0, FALSE,
         kPackage, "none"},
        {"compatible ID reaches both; B in use", nullptr, u"USB\\CLASS_FF", 0, InfKind::Package, TRUE, 0, TRUE,
         kPackage, kPackage},
        {"no device has the ID", nullptr, u"USB\\VID_F055&PID_0000", INSTALLFLAG_FORCE, InfKind::Package, FALSE,
         ERROR_NO_SUCH_DEVINST, 0, "01/15/2020,1.0.0.0", "none"},
        {"a prefix of an ID is no match", nullptr, u"USB\\VID_F055", INSTALLFLAG_FORCE, InfKind::Package, FALSE,
         ERROR_NO_SUCH_DEVINST, 0, "01/15/2020,1.0.0.0", "none"},
        {"INF missing", nullptr, u"USB\\VID_F055&PID_71A0", INSTALLFLAG_FORCE, InfKind::Missing, FALSE,
         ERROR_FILE_NOT_FOUND, 0, "01/15/2020,1.0.0.0", "none"},
        {"INF missing comes before no device", nullptr, u"USB\\NOTHING", INSTALLFLAG_FORCE, InfKind::Missing, FALSE,
         ERROR_FILE_NOT_FOUND, 0, "01/15/2020,1.0.0.0", "none"},
        {"not an INF: the open's error", nullptr, u"USB\\VID_F055&PID_71A0", INSTALLFLAG_FORCE, InfKind::NotInf,
         FALSE, ERROR_WRONG_INF_STYLE, 0, "01/15/2020,1.0.0.0", "none"},
        {"WOW64", [](Machine& m) { m.wow64 = standin::Wow64Answer::Yes; }, u"USB\\VID_F055&PID_71A0",
         INSTALLFLAG_FORCE, InfKind::Package, FALSE, ERROR_IN_WOW64, 0, "01/15/2020,1.0.0.0", "none"},
        {"WOW64 lookup missing is no WOW64", [](Machine& m) { m.wow64 = standin::Wow64Answer::Missing; },
         u"USB\\VID_F055&PID_71A0", 0, InfKind::Package, TRUE, 0, FALSE, kPackage, "none"},
        {"same driver, no force", [](Machine& m) { setDriver(m.devices[0], 6, 1, 2024, 2, 1); },
         u"USB\\VID_F055&PID_71A0", 0, InfKind::Package, FALSE, ERROR_NO_MORE_ITEMS, 0, "06/01/2024,2.1.0.0", "none"},
        {"same driver, forced", [](Machine& m) { setDriver(m.devices[0], 6, 1, 2024, 2, 1); },
         u"USB\\VID_F055&PID_71A0", INSTALLFLAG_FORCE, InfKind::Package, TRUE, 0, FALSE, kPackage, "none"},
        {"same date, older version", [](Machine& m) { setDriver(m.devices[0], 6, 1, 2024, 2, 0); },
         u"USB\\VID_F055&PID_71A0", 0, InfKind::Package, TRUE, 0, FALSE, kPackage, "none"},
        {"same date, newer version", [](Machine& m) { setDriver(m.devices[0], 6, 1, 2024, 3, 0); },
         u"USB\\VID_F055&PID_71A0", 0, InfKind::Package, FALSE, ERROR_NO_MORE_ITEMS, 0, "06/01/2024,3.0.0.0", "none"},
        {"newer date, lower version", [](Machine& m) { setDriver(m.devices[0], 1, 1, 2025, 1, 0); },
         u"USB\\VID_F055&PID_71A0", 0, InfKind::Package, FALSE, ERROR_NO_MORE_ITEMS, 0, "01/01/2025,1.0.0.0", "none"},
        {"no DriverVer loses to a driver", nullptr, u"USB\\VID_F055&PID_71A0", 0, InfKind::NoDriverVer, FALSE,
         ERROR_NO_MORE_ITEMS, 0, "01/15/2020,1.0.0.0", "none"},
        {"no DriverVer beats no driver", nullptr, u"USB\\VID_F055&PID_71A1", 0, InfKind::NoDriverVer, TRUE, 0, TRUE,
         "01/15/2020,1.0.0.0", "00/00/0000,0.0.0.0"},
        {"one better, one not: updated", [](Machine& m) { setDriver(m.devices[1], 1, 1, 2025, 1, 0); },
         u"USB\\Class_FF", 0, InfKind::Package, TRUE, 0, FALSE, kPackage, "01/01/2025,1.0.0.0"},
        {"unknown flag bit", nullptr, u"USB\\VID_F055&PID_71A0", 0x8, InfKind::Package, FALSE, ERROR_INVALID_FLAGS, 0,
         "01/15/2020,1.0.0.0", "none"},
        {"every known flag", nullptr, u"USB\\VID_F055&PID_71A0", 0x7, InfKind::Package, TRUE, 0, FALSE, kPackage,
         "none"},
        {"null ID", nullptr, nullptr, INSTALLFLAG_FORCE, InfKind::Package, FALSE, ERROR_INVALID_PARAMETER, 0,
         "01/15/2020,1.0.0.0", "none"},
        {"null INF path", nullptr, u"USB\\VID_F055&PID_71A0", INSTALLFLAG_FORCE, InfKind::Null, FALSE,
         ERROR_INVALID_PARAMETER, 0, "01/15/2020,1.0.0.0", "none"},
        {"INF path names a folder", nullptr, u"USB\\VID_F055&PID_71A0", INSTALLFLAG_FORCE, InfKind::Directory, FALSE,
         0, 0, "01/15/2020,1.0.0.0", "none"},
        // Fixed answers override the decision for their device.
        {"answer restart", [](Machine& m) { m.devices[0].answer = ServiceAnswer::Restart; },
         u"USB\\VID_F055&PID_71A0", INSTALLFLAG_FORCE, InfKind::Package, TRUE, 0, TRUE, kPackage, "none"},
        {"answer updated on a device in use", [](Machine& m) { m.devices[1].answer = ServiceAnswer::Updated; },
         u"USB\\VID_F055&PID_71A1", INSTALLFLAG_FORCE, InfKind::Package, TRUE, 0, FALSE, "01/15/2020,1.0.0.0",
         kPackage},
        {"answer not-better despite force", [](Machine& m) { m.devices[0].answer = ServiceAnswer::NotBetter; },
         u"USB\\VID_F055&PID_71A0", INSTALLFLAG_FORCE, InfKind::Package, FALSE, ERROR_NO_MORE_ITEMS, 0,
         "01/15/2020,1.0.0.0", "none"},
        {"answer error code",
         [](Machine& m) {
             m.devices[0].answer = ServiceAnswer::Error;
             m.devices[0].answerError = ERROR_GEN_FAILURE;
         },
         u"USB\\VID_F055&PID_71A0", INSTALLFLAG_FORCE, InfKind::Package, FALSE, ERROR_GEN_FAILURE, 0,
         "01/15/2020,1.0.0.0", "none"},
        {"answer no-such-devinst from a present device",
         [](Machine& m) {
             m.devices[0].answer = ServiceAnswer::Error;
             m.devices[0].answerError = ERROR_NO_SUCH_DEVINST;
         },
         u"USB\\VID_F055&PID_71A0", INSTALLFLAG_FORCE, InfKind::Package, FALSE, ERROR_NO_SUCH_DEVINST, 0,
         "01/15/2020,1.0.0.0", "none"},
        // Several devices: the first error wins, the others still get the driver.
        {"error and restart: the error",
         [](Machine& m) {
             m.devices[0].answer = ServiceAnswer::Error;
             m.devices[0].answerError = ERROR_ACCESS_DENIED;
         },
         u"USB\\Class_FF", INSTALLFLAG_FORCE, InfKind::Package, FALSE, ERROR_ACCESS_DENIED, 0, "01/15/2020,1.0.0.0",
         kPackage},
        {"two errors: the first",
         [](Machine& m) {
             m.devices[0].answer = m.devices[1].answer = ServiceAnswer::Error;
             m.devices[0].answerError = ERROR_ACCESS_DENIED;
             m.devices[1].answerError = ERROR_GEN_FAILURE;
         },
         u"USB\\Class_FF", INSTALLFLAG_FORCE, InfKind::Package, FALSE, ERROR_ACCESS_DENIED, 0, "01/15/2020,1.0.0.0",
         "none"},
        {"not-better and restart: restart", [](Machine& m) { m.devices[0].answer = ServiceAnswer::NotBetter; },
         u"USB\\Class_FF", INSTALLFLAG_FORCE, InfKind::Package, TRUE, 0, TRUE, "01/15/2020,1.0.0.0", kPackage},
        {"updated and not-better: updated, no restart",
         [](Machine& m) {
             m.devices[0].answer = ServiceAnswer::Updated;
             m.devices[1].answer = ServiceAnswer::NotBetter;
         },
         u"USB\\Class_FF", INSTALLFLAG_FORCE, InfKind::Package, TRUE, 0, FALSE, kPackage, "none"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        standin::machine() = baseMachine();
        if (c.change) c.change(standin::machine());
        const std::u16string path = infPath(c.inf);
        BOOL reboot = 7;
        SetLastError(0xDEAD);
        const BOOL result = UpdateDriverForPlugAndPlayDevicesW(nullptr, c.id,
                                                               c.inf == InfKind::Null ? nullptr : path.c_str(),
                                                               c.flags, &reboot);
        EXPECT_EQ(result, c.result);
        if (result) {
            EXPECT_EQ(reboot, c.reboot);
        } else {
            EXPECT_EQ(reboot, 7);
            if (c.inf == InfKind::Directory) EXPECT_NE(GetLastError(), 0u);  // whatever the open says, not success
            else EXPECT_EQ(GetLastError(), c.error);
        }
        EXPECT_EQ(driverOf(standin::machine().devices[0]), c.driverA);
        EXPECT_EQ(driverOf(standin::machine().devices[1]), c.driverB);
    }
}

TEST_F(UpdateDriverTest, RelativeInfPathResolvesAgainstTheCurrentDirectory) {
    standin::machine() = baseMachine();
    scratch.write("velk.inf", kInf);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(scratch.hostPath());
    BOOL reboot = FALSE;
    const BOOL here = UpdateDriverForPlugAndPlayDevicesW(nullptr, u"USB\\VID_F055&PID_71A0", u"velk.inf", 0, &reboot);
    const BOOL elsewhere =
        UpdateDriverForPlugAndPlayDevicesW(nullptr, u"USB\\VID_F055&PID_71A0", u"sub\\velk.inf", 0, &reboot);
    const DWORD error = GetLastError();
    std::filesystem::current_path(before);
    EXPECT_TRUE(here);
    EXPECT_FALSE(elsewhere);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(UpdateDriverTest, NoRebootPointerIsAllowed) {
    standin::machine() = baseMachine();
    const std::u16string path = infPath(InfKind::Package);
    EXPECT_TRUE(UpdateDriverForPlugAndPlayDevicesW(nullptr, u"USB\\VID_F055&PID_71A1", path.c_str(), 0, nullptr));
}

TEST_F(UpdateDriverTest, LogsOneLinePerDeviceAndOnePerStoppedCall) {
    Machine m = baseMachine();
    m.devices[1].answer = ServiceAnswer::Error;
    m.devices[1].answerError = ERROR_GEN_FAILURE;
    Device third = device(u"PCI\\VEN_F055\\3", u"PCI\\VEN_F055&DEV_0001", u"USB\\Class_FF");
    setDriver(third, 1, 1, 2030, 1, 0);
    third.inUse = true;
    m.devices.push_back(third);
    m.devices[0].instance = u"USB\\ROOT\tTAB";
    m.serviceLogPath = (scratch.hostPath() / "service.log").string();
    standin::machine() = m;
    const std::u16string path = infPath(InfKind::Package);
    BOOL reboot = FALSE;
    UpdateDriverForPlugAndPlayDevicesW(nullptr, u"usb\\class_ff", path.c_str(), 0, &reboot);
    UpdateDriverForPlugAndPlayDevicesW(nullptr, u"USB\\VID_F055&PID_71A1", path.c_str(), INSTALLFLAG_FORCE, &reboot);
    standin::machine().devices[1].answer = ServiceAnswer::Unset;
    UpdateDriverForPlugAndPlayDevicesW(nullptr, u"USB\\VID_F055&PID_71A1", path.c_str(), INSTALLFLAG_FORCE, &reboot);
    UpdateDriverForPlugAndPlayDevicesW(nullptr, u"USB\\NONE", path.c_str(), INSTALLFLAG_FORCE, &reboot);
    UpdateDriverForPlugAndPlayDevicesW(nullptr, u"USB\\NONE", path.c_str(), 0x10, &reboot);
    const std::vector<std::string> expected = {
        "usb\\class_ff | USB\\ROOT\\x09TAB | updated | 01/15/2020,1.0.0.0 -> 06/01/2024,2.1.0.0",
        "usb\\class_ff | USB\\VID_F055&PID_71A1\\2 | error 0x0000001F | fixed answer; device failed",
        "usb\\class_ff | PCI\\VEN_F055\\3 | not-better | 01/01/2030,1.0.0.0 kept, package 06/01/2024,2.1.0.0",
        "USB\\VID_F055&PID_71A1 | USB\\VID_F055&PID_71A1\\2 | error 0x0000001F | fixed answer; device failed",
        "USB\\VID_F055&PID_71A1 | USB\\VID_F055&PID_71A1\\2 | restart | none -> 06/01/2024,2.1.0.0, in use",
        "USB\\NONE | - | error 0xE000020B | no present device has this ID",
        "USB\\NONE | - | error 0x000003EC | unknown install flags",
    };
    EXPECT_EQ(logLines(), expected);
}

TEST_F(UpdateDriverTest, ScriptedFailureComesFirstAndChangesNoDevice) {
    standin::machine() = baseMachine();
    const std::u16string path = infPath(InfKind::Package);
    standin::injectFailure("UpdateDriverForPlugAndPlayDevicesW", ERROR_ACCESS_DENIED);
    BOOL reboot = 7;
    EXPECT_FALSE(UpdateDriverForPlugAndPlayDevicesW(nullptr, u"USB\\VID_F055&PID_71A0", path.c_str(), 0, &reboot));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(reboot, 7);
    EXPECT_EQ(driverOf(standin::machine().devices[0]), "01/15/2020,1.0.0.0");
    standin::clearFailures();
}

TEST_F(UpdateDriverTest, UnwritableLogChangesNoAnswer) {
    Machine m = baseMachine();
    m.serviceLogPath = (scratch.hostPath() / "no-such-folder" / "service.log").string();
    standin::machine() = m;
    const std::u16string path = infPath(InfKind::Package);
    BOOL reboot = FALSE;
    EXPECT_TRUE(UpdateDriverForPlugAndPlayDevicesW(nullptr, u"USB\\VID_F055&PID_71A1", path.c_str(), 0, &reboot));
    EXPECT_TRUE(reboot);
}

}  // namespace
