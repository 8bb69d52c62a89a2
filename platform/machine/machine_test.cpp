#include "platform/machine/machine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "platform/testing/scratch_dir.h"

namespace standin {
namespace {

TEST(Machine, DefaultIsWindowsXpOnX86) {
    resetMachine();
    const Machine& m = machine();
    EXPECT_FALSE(m.versionFails);
    EXPECT_EQ(m.majorVersion, 5u);
    EXPECT_EQ(m.minorVersion, 1u);
    EXPECT_EQ(m.buildNumber, 2600u);
    EXPECT_EQ(m.productType, VER_NT_WORKSTATION);
    EXPECT_EQ(m.suiteMask, 0);
    EXPECT_EQ(m.processorArchitecture, PROCESSOR_ARCHITECTURE_INTEL);
    EXPECT_TRUE(m.nativeSystemInfo);
    EXPECT_EQ(m.wow64, Wow64Answer::No);
    EXPECT_EQ(m.screenWidth, 1024);
    EXPECT_EQ(m.screenHeight, 768);
    EXPECT_EQ(m.debug, DebugTarget::None);
    EXPECT_TRUE(m.dumpPath.empty());
    EXPECT_TRUE(m.modulePath.empty());
    EXPECT_TRUE(m.devices.empty());
}

Machine parsed(const std::string& text) {
    Machine m;
    int line = -1;
    std::string error;
    EXPECT_TRUE(parseMachine(text, &m, &line, &error)) << text << " -> line " << line << ": " << error;
    return m;
}

TEST(Machine, LinesSetFields) {
    struct Case {
        const char* text;
        std::function<bool(const Machine&)> check;
    } cases[] = {
        {"os = 6.1", [](const Machine& m) { return m.majorVersion == 6 && m.minorVersion == 1 && !m.versionFails; }},
        {"os = 4.0\nos = fail", [](const Machine& m) { return m.versionFails && m.majorVersion == 4; }},
        {"OS=FAIL", [](const Machine& m) { return m.versionFails; }},
        {"build = 7601", [](const Machine& m) { return m.buildNumber == 7601; }},
        {"csd = Service Pack 3", [](const Machine& m) { return m.csdVersion == u"Service Pack 3"; }},
        {"csd =", [](const Machine& m) { return m.csdVersion.empty(); }},
        {"service-pack = 3.1", [](const Machine& m) { return m.servicePackMajor == 3 && m.servicePackMinor == 1; }},
        {"product-type = 3", [](const Machine& m) { return m.productType == 3; }},
        {"suite-mask = 0x0100", [](const Machine& m) { return m.suiteMask == 0x100; }},
        {"suite-mask = 272", [](const Machine& m) { return m.suiteMask == 272; }},
        {"arch = amd64", [](const Machine& m) { return m.processorArchitecture == PROCESSOR_ARCHITECTURE_AMD64; }},
        {"arch = IA64", [](const Machine& m) { return m.processorArchitecture == PROCESSOR_ARCHITECTURE_IA64; }},
        {"arch = 0xffff", [](const Machine& m) { return m.processorArchitecture == 0xFFFF; }},
        {"native-system-info = no", [](const Machine& m) { return !m.nativeSystemInfo; }},
        {"wow64 = yes", [](const Machine& m) { return m.wow64 == Wow64Answer::Yes; }},
        {"wow64 = missing", [](const Machine& m) { return m.wow64 == Wow64Answer::Missing; }},
        {"screen = 1280x1024", [](const Machine& m) { return m.screenWidth == 1280 && m.screenHeight == 1024; }},
        {"debug = stderr", [](const Machine& m) { return m.debug == DebugTarget::Stderr; }},
        {"debug = /tmp/a b.log", [](const Machine& m) { return m.debug == DebugTarget::File && m.debugPath == "/tmp/a b.log"; }},
        {"dump = out.txt", [](const Machine& m) { return m.dumpPath == "out.txt"; }},
        {"module = C:\\Program Files\\install.exe", [](const Machine& m) { return m.modulePath == u"C:\\Program Files\\install.exe"; }},
        {"service-log = s.log", [](const Machine& m) { return m.serviceLogPath == "s.log"; }},
        // Comments, blank lines, CRLF line ends and blanks around the parts.
        {"# a machine\r\n\r\n\t build\t=\t3790 \r\n", [](const Machine& m) { return m.buildNumber == 3790; }},
        // A value keeps its own '=' and '#'.
        {"dump = a=b#c", [](const Machine& m) { return m.dumpPath == "a=b#c"; }},
    };
    for (const Case& c : cases) EXPECT_TRUE(c.check(parsed(c.text))) << c.text;
}

TEST(Machine, DeviceLinesBelongToTheLastDevice) {
    const Machine m = parsed(
        "device = PCI\\VEN_1&DEV_2\\0\n"
        "hwid = PCI\\VEN_1&DEV_2\n"
        "hwid = PCI\\VEN_1\n"
        "compatid = PCI\\CC_0200\n"
        "driver = 06/21/2006,5.1.2600.0\n"
        "in-use = yes\n"
        "answer = restart\n"
        "device = USB\\ROOT\n"
        "driver = none\n"
        "answer = 0xE000020B\n"
        "device = X\n"
        "answer = not-better\n");
    ASSERT_EQ(m.devices.size(), 3u);
    const Device& a = m.devices[0];
    EXPECT_EQ(a.instance, u"PCI\\VEN_1&DEV_2\\0");
    EXPECT_EQ(a.hardwareIds, (std::vector<std::u16string>{u"PCI\\VEN_1&DEV_2", u"PCI\\VEN_1"}));
    EXPECT_EQ(a.compatibleIds, (std::vector<std::u16string>{u"PCI\\CC_0200"}));
    EXPECT_TRUE(a.hasDriver);
    EXPECT_EQ(a.driverMonth, 6);
    EXPECT_EQ(a.driverDay, 21);
    EXPECT_EQ(a.driverYear, 2006);
    EXPECT_EQ(a.driverVersion[0], 5);
    EXPECT_EQ(a.driverVersion[1], 1);
    EXPECT_EQ(a.driverVersion[2], 2600);
    EXPECT_EQ(a.driverVersion[3], 0);
    EXPECT_TRUE(a.inUse);
    EXPECT_EQ(a.answer, ServiceAnswer::Restart);
    const Device& b = m.devices[1];
    EXPECT_TRUE(b.hardwareIds.empty());
    EXPECT_FALSE(b.hasDriver);
    EXPECT_FALSE(b.inUse);
    EXPECT_EQ(b.answer, ServiceAnswer::Error);
    EXPECT_EQ(b.answerError, 0xE000020Bu);
    EXPECT_EQ(m.devices[2].answer, ServiceAnswer::NotBetter);
}

TEST(Machine, BadLinesNameTheirLineNumber) {
    struct Case {
        const char* text;
        int line;
        const char* fragment;
    } cases[] = {
        {"os = 5.1\nnonsense\n", 2, "key = value"},
        {"= 5", 1, "key = value"},
        {"# c\n\ncolour = blue", 3, "unknown key 'colour'"},
        {"os = 5", 1, "os:"},
        {"os = 5.1.2", 1, "os:"},
        {"os = -5.1", 1, "os:"},
        {"os = 99999999999.0", 1, "os:"},
        {"build = 0x10", 1, "build:"},
        {"build =", 1, "missing value"},
        {"product-type = 256", 1, "product-type:"},
        {"suite-mask = 0x10000", 1, "suite-mask:"},
        {"suite-mask = 0x", 1, "suite-mask:"},
        {"arch = sparc", 1, "arch:"},
        {"wow64 = maybe", 1, "wow64:"},
        {"native-system-info = 1", 1, "native-system-info:"},
        {"screen = 1024", 1, "screen:"},
        {"screen = 0x768", 1, "screen:"},
        {"screen = 1024x99999", 1, "screen:"},
        {"csd = 0123456789012345678901234567890123456789012345678901234567890123456789"
         "012345678901234567890123456789012345678901234567890123456789", 1, "csd:"},
        {"hwid = X", 1, "before any 'device'"},
        {"device = D\ndriver = 13/01/2006,1.0.0.0", 2, "driver:"},
        {"device = D\ndriver = 01/01/2006", 2, "driver:"},
        {"device = D\ndriver = 01/01/2006,1.0.0", 2, "driver:"},
        {"device = D\ndriver = 01/01/2006,1.0.0.65536", 2, "driver:"},
        {"device = D\nin-use = sometimes", 2, "in-use:"},
        {"device = D\nanswer = later", 2, "answer:"},
    };
    for (const Case& c : cases) {
        Machine m;
        int line = -1;
        std::string error;
        EXPECT_FALSE(parseMachine(c.text, &m, &line, &error)) << c.text;
        EXPECT_EQ(line, c.line) << c.text;
        EXPECT_NE(error.find(c.fragment), std::string::npos) << c.text << " -> " << error;
    }
}

TEST(Machine, NulByteAndOversizeAreRefused) {
    Machine m;
    int line = -1;
    std::string error;
    EXPECT_FALSE(parseMachine(std::string("os = 5.1\nbuild = 1\0x\n", 21), &m, &line, &error));
    EXPECT_EQ(line, 2);
    EXPECT_NE(error.find("NUL"), std::string::npos);
    EXPECT_FALSE(parseMachine(std::string(kMaxMachineFileSize + 1, '#'), &m, &line, &error));
    EXPECT_EQ(line, 0);
}

class MachineFile : public ::testing::Test {
protected:
    void SetUp() override { resetMachine(); }
    void TearDown() override { resetMachine(); }
    void write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    ScratchDirectory scratch_;
    const std::string path_ = (scratch_.hostPath() / "machine.txt").string();
};

TEST_F(MachineFile, LoadReplacesTheMachine) {
    machine().buildNumber = 1;
    write("os = 6.0\n");
    std::string error;
    ASSERT_TRUE(loadMachine(path_.c_str(), &error)) << error;
    EXPECT_EQ(machine().majorVersion, 6u);
    EXPECT_EQ(machine().buildNumber, 2600u);  // the rest is the default again
}

TEST_F(MachineFile, FailureNamesFileAndLineAndKeepsTheMachine) {
    write("os = 6.0\n\nscreen = wide\n");
    machine().buildNumber = 1;
    std::string error;
    EXPECT_FALSE(loadMachine(path_.c_str(), &error));
    EXPECT_EQ(error.rfind(path_ + ":3: screen:", 0), 0u) << error;
    EXPECT_EQ(machine().buildNumber, 1u);
    EXPECT_EQ(machine().majorVersion, 5u);
}

TEST_F(MachineFile, UnreadableFileIsNamed) {
    std::string error;
    const std::string missing = path_ + ".missing";
    EXPECT_FALSE(loadMachine(missing.c_str(), &error));
    EXPECT_EQ(error.rfind(missing + ": cannot read", 0), 0u) << error;
    EXPECT_FALSE(loadMachine("/tmp", &error));
    EXPECT_EQ(error.rfind("/tmp: cannot read", 0), 0u) << error;
}

TEST_F(MachineFile, ExamplesLoad) {
    std::string error;
    ASSERT_TRUE(loadMachine(MACHINE_EXAMPLES "/xp.machine", &error)) << error;
    EXPECT_EQ(machine().suiteMask, 0x100);
    EXPECT_EQ(machine().devices.at(0).hardwareIds.size(), 2u);
    ASSERT_TRUE(loadMachine(MACHINE_EXAMPLES "/wow64.machine", &error)) << error;
    EXPECT_EQ(machine().wow64, Wow64Answer::Yes);
    EXPECT_EQ(machine().devices.at(0).answerError, ERROR_IN_WOW64);
}

}  // namespace
}  // namespace standin
