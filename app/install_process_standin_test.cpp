// The native installer as a process: machine descriptions, command lines and
// what the user types, checked through the exit code and the dump of the
// window at its end.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/testing/scratch_dir.h"

namespace {

struct Control {
    bool visible = false;
    std::string text;  // as the dump quotes it
};

struct ProcessRun {
    int exitCode = -1;
    std::string dump;
    std::map<int, Control> controls;  // by ID; the frame is 0
    std::string focus;
};

// The value after " key=" on a dump line; a quoted value runs to its
// closing quote.
std::string field(const std::string& line, const std::string& key) {
    const size_t at = line.find(" " + key + "=");
    if (at == std::string::npos) return "";
    size_t begin = at + key.size() + 2;
    if (line[begin] != '"') return line.substr(begin, line.find(' ', begin) - begin);
    std::string value;
    for (size_t i = begin + 1; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) ++i;
        value += line[i];
    }
    return value;
}

void parseDump(ProcessRun& run) {
    std::istringstream lines(run.dump);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("focus=", 0) == 0) run.focus = line.substr(6);
        const size_t start = line.find_first_not_of(' ');
        if (start == std::string::npos || line.compare(start, 7, "window ") != 0) continue;
        Control& control = run.controls[std::atoi(field(line, "id").c_str())];
        control.visible = field(line, "visible") == "yes";
        control.text = field(line, "text");
    }
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the installer with the machine text (a dump line is added; %EXE%
// becomes the Windows path of an installer in an empty folder), the
// arguments and the given standard input. A run that waits longer than a
// minute counts as hung (exit code 124).
ProcessRun runInstaller(std::string machine, const std::vector<std::string>& args, const std::string& input) {
    ScratchDirectory dir;
    const std::filesystem::path dumpPath = dir.hostPath() / "dump.txt";
    const size_t exe = machine.find("%EXE%");
    if (exe != std::string::npos) {
        const std::u16string path = dir.windowsPath("install.exe");
        machine.replace(exe, 5, std::string(path.begin(), path.end()));
    }
    dir.write("machine.txt", machine + "\ndump = " + dumpPath.string() + "\n");
    dir.write("input.txt", input);
    std::string command = "VELK_MACHINE=" + quoted((dir.hostPath() / "machine.txt").string()) + " timeout 60 " +
                          quoted(INSTALL_BINARY);
    for (const std::string& arg : args) command += " " + quoted(arg);
    command += " < " + quoted((dir.hostPath() / "input.txt").string()) + " > /dev/null";
    const int status = std::system(command.c_str());
    ProcessRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.dump = readFile(dumpPath);
    parseDump(run);
    return run;
}

const char* const versionMessage = "This installer is incompatible with version of Windows before Windows 2000.";
const char* const wow64Message =
    "This installer is incompatible with 64-bit editions of Windows. Please use install64.exe.";

struct ProcessCase {
    const char* name;
    const char* machine;
    std::vector<std::string> args;
    const char* input;  // what the user types: Enter presses Finish, q closes, end of input closes
    int exitCode;
    const char* status;
    bool waited;  // Finish shown and focused: the process waited for the user
};

class InstallProcess : public ::testing::TestWithParam<ProcessCase> {};

TEST_P(InstallProcess, ExitCodeAndFinalWindow) {
    const ProcessCase& c = GetParam();
    const ProcessRun run = runInstaller(c.machine, c.args, c.input);
    EXPECT_EQ(run.exitCode, c.exitCode);
    ASSERT_FALSE(run.dump.empty()) << "no dump of the window";
    EXPECT_NE(run.dump.find("common-controls=8,0x000000ff\n"), std::string::npos) << run.dump;
    EXPECT_TRUE(run.controls.at(0).visible);
    EXPECT_EQ(run.controls.at(0).text, "VELK Driver Installer");
    EXPECT_TRUE(run.controls.at(2).visible);
    EXPECT_EQ(run.controls.at(2).text, c.status);
    EXPECT_EQ(run.controls.at(1).visible, c.waited) << run.dump;
    EXPECT_EQ(run.focus == "1", c.waited) << run.dump;
    if (c.exitCode == 1) {
        // A refusal leaves everything but the status line (and Finish) hidden.
        for (int id : {3, 4, 5}) EXPECT_FALSE(run.controls.at(id).visible) << id << "\n" << run.dump;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, InstallProcess,
    ::testing::Values(
        ProcessCase{"NT4 nopause", "os = 4.0", {"-nopause"}, "", 1, versionMessage, false},
        ProcessCase{"failing version query", "os = fail", {"-NOPAUSE"}, "", 1, versionMessage, false},
        ProcessCase{"WOW64 mixed case", "os = 5.2\narch = amd64\nwow64 = yes", {"-NoPause"}, "", 1, wow64Message,
                    false},
        ProcessCase{"Finish pressed", "os = 4.0", {}, "\n", 1, versionMessage, true},
        ProcessCase{"closed with q", "wow64 = yes", {}, "q\n", 1, wow64Message, true},
        ProcessCase{"closed by end of input", "os = 4.0", {}, "", 1, versionMessage, true},
        // Only the whole tail counts: these all wait. (An argument with a
        // trailing blank reaches the command line quoted; the bare trailing
        // blank is a case of the application's own test.)
        ProcessCase{"trailing blank", "os = 4.0", {"-nopause "}, "", 1, versionMessage, true},
        ProcessCase{"slash", "os = 4.0", {"/nopause"}, "", 1, versionMessage, true},
        ProcessCase{"another word", "os = 4.0", {"-nopause", "now"}, "\n", 1, versionMessage, true},
        // A passing system reaches the installation pass: no INF beside the
        // installer.
        ProcessCase{"passes the gate", "os = 5.0\nwow64 = missing\nmodule = %EXE%", {"-nopause"}, "", 2,
                    "Failed to open 'velk.inf'", false}),
    [](const ::testing::TestParamInfo<ProcessCase>& info) {
        std::string name;
        for (const char* p = info.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    });

TEST(InstallProcessMachine, BadDescriptionEndsBeforeTheWindow) {
    const ProcessRun run = runInstaller("os = 4.0\nscreen = huge", {"-nopause"}, "");
    EXPECT_EQ(run.exitCode, 70);
    EXPECT_TRUE(run.dump.empty());
}

}  // namespace
