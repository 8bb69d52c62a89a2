// The system gate against machines described to the stand-ins: the version
// test, the WOW64 test, their order and messages, and what a refusal leaves
// visible.
#include "app/system_gate.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/driver_installer.h"
#include "platform/machine/machine.h"
#include "platform/testing/standin_fixture.h"
#include "ui/setup_wnd.h"
#include "platform/user32/user32.h"

namespace {

const char16_t* const versionMessage =
    u"This installer is incompatible with version of Windows before Windows 2000.";
const char16_t* const wow64Message =
    u"This installer is incompatible with 64-bit editions of Windows. Please use install64.exe.";

struct GateCase {
    const char* name;
    bool versionFails;
    DWORD major;
    DWORD minor;
    standin::Wow64Answer wow64;
    bool passes;
    const char16_t* message;  // null when the system passes
};

const GateCase gateCases[] = {
    {"NT 4.0", false, 4, 0, standin::Wow64Answer::No, false, versionMessage},
    {"failing version query", true, 5, 1, standin::Wow64Answer::No, false, versionMessage},
    // The version test comes first: an old system never reaches the WOW64 test.
    {"NT 4.0 answering WOW64", false, 4, 0, standin::Wow64Answer::Yes, false, versionMessage},
    {"XP under WOW64", false, 5, 2, standin::Wow64Answer::Yes, false, wow64Message},
    {"7 under WOW64", false, 6, 1, standin::Wow64Answer::Yes, false, wow64Message},
    {"2000 without IsWow64Process", false, 5, 0, standin::Wow64Answer::Missing, true, nullptr},
    {"2000", false, 5, 0, standin::Wow64Answer::No, true, nullptr},
    {"7", false, 6, 1, standin::Wow64Answer::No, true, nullptr},
    {"major 10", false, 10, 0, standin::Wow64Answer::No, true, nullptr},
};

// The controls of the one window: ID -> visible, and the status text.
struct View {
    std::map<UINT_PTR, bool> visible;
    std::u16string status;
};

View view() {
    View v;
    for (const standin::WindowInfo& child : topWindow().children) {
        v.visible[child.id] = child.visible;
        if (child.id == 2) v.status = child.text;
    }
    return v;
}

class SystemGate : public StandinTest {
protected:
    static void describe(const GateCase& c) {
        standin::Machine& m = standin::machine();
        m.versionFails = c.versionFails;
        m.majorVersion = c.major;
        m.minorVersion = c.minor;
        m.wow64 = c.wow64;
    }
};

TEST_F(SystemGate, Table) {
    for (const GateCase& c : gateCases) {
        SCOPED_TRACE(c.name);
        describe(c);
        CSetupWnd window;
        InstallOutcome outcome = OUTCOME_SUCCESS;
        EXPECT_EQ(passesSystemGate(window, outcome), c.passes);
        EXPECT_EQ(outcome, c.passes ? OUTCOME_SUCCESS : OUTCOME_UNSUPPORTED_SYSTEM);
        // A passing system leaves the window as created.
        const View v = view();
        EXPECT_EQ(v.status, c.passes ? std::u16string(u"Searching for hardware...") : std::u16string(c.message));
        EXPECT_EQ(v.visible, (std::map<UINT_PTR, bool>{{1, false}, {2, !c.passes}, {3, false}, {4, false}, {5, false}}));
        window.DestroyWindow();
    }
}

TEST_F(SystemGate, VersionTestReadsTheMajorVersionOnly) {
    struct Case {
        bool fails;
        DWORD major;
        DWORD minor;
        BOOL expected;
    };
    const Case cases[] = {{false, 4, 90, FALSE}, {false, 5, 0, TRUE}, {false, 6, 3, TRUE}, {true, 6, 1, FALSE}};
    for (const Case& c : cases) {
        standin::machine().versionFails = c.fails;
        standin::machine().majorVersion = c.major;
        standin::machine().minorVersion = c.minor;
        EXPECT_EQ(isWindows2000OrLater(), c.expected) << c.major << "." << c.minor << (c.fails ? " failing" : "");
    }
}

TEST_F(SystemGate, Wow64Answers) {
    standin::machine().wow64 = standin::Wow64Answer::No;
    EXPECT_EQ(isWow64(), FALSE);
    standin::machine().wow64 = standin::Wow64Answer::Yes;
    EXPECT_EQ(isWow64(), TRUE);
    standin::machine().wow64 = standin::Wow64Answer::Missing;
    EXPECT_EQ(isWow64(), FALSE);
}

TEST_F(SystemGate, RunEndsByTheSwitchWhateverTheGateSays) {
    for (const GateCase& c : gateCases) {
        SCOPED_TRACE(c.name);
        for (BOOL noPause : {TRUE, FALSE}) {
            describe(c);
            CSetupWnd window;
            CDriverInstaller installer;
            installer.outcome = 77;  // run starts from 0
            EXPECT_EQ(installer.run(window, noPause), noPause ? FALSE : TRUE);
            EXPECT_EQ(installer.outcome == OUTCOME_UNSUPPORTED_SYSTEM, !c.passes);
            EXPECT_EQ(GetFocus() == window.finishButton.m_hWnd, noPause == FALSE);
            if (!c.passes) {
                // After a refusal: the status line, and Finish when waiting.
                const View v = view();
                EXPECT_EQ(v.status, c.message);
                EXPECT_EQ(v.visible,
                          (std::map<UINT_PTR, bool>{{1, !noPause}, {2, true}, {3, false}, {4, false}, {5, false}}));
            }
            window.DestroyWindow();
        }
    }
}

}  // namespace
