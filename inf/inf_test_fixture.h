// A CInfFile over an INF written to a scratch directory, with the debug output
// captured: what the reader tests share. Runs on every build, against our INF
// engine or the system's Setup API.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/debug_capture.h"
#include "inf/cinf_file.h"
#include "platform/testing/scratch_dir.h"

// UTF-16 <-> UTF-8 for readable assertions (test data is ASCII).
inline std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }
inline std::string narrow(const CWString& text) { return narrow(std::u16string(text.data, text.length)); }

inline std::vector<std::string> narrowAll(const CWStringArray& array) {
    std::vector<std::string> result;
    for (uint32_t i = 0; i < array.itemCount; ++i) result.push_back(narrow(array.items[i]));
    return result;
}

// The lines written to the debugger since the last clear.
inline std::vector<std::string> traceLines(const DebugOutputCapture& capture) {
    std::vector<std::string> result;
    for (const auto& line : capture.lines()) result.push_back(narrow(line));
    return result;
}

const char kVersion[] = "[Version]\r\nSignature=\"$Windows NT$\"\r\n";

struct Identity {
    WORD architecture;
    DWORD major;
    DWORD minor;
    BYTE productType;
    WORD suiteMask;
};

class InfFileTest : public ::testing::Test {
protected:
    // Writes the INF (the [Version] section is added in front), opens it with
    // tracing on, then clears the captured trace so that tests see their own.
    void openInf(const std::string& body, const Identity& identity = {0, 5, 1, 1, 0x0100}) {
        std::u16string path = scratch.write("velk.inf", kVersion + body);
        inf.verbose = 1;
        ASSERT_EQ(inf.open(path.c_str()), INF_OK);
        setIdentity(identity);
        capture.clear();
    }

    void setIdentity(const Identity& identity) {
        inf.systemInfo.wProcessorArchitecture = identity.architecture;
        inf.osVersion.dwMajorVersion = identity.major;
        inf.osVersion.dwMinorVersion = identity.minor;
        inf.osVersion.wProductType = identity.productType;
        inf.osVersion.wSuiteMask = identity.suiteMask;
    }

    std::vector<std::string> trace() const { return traceLines(capture); }

    ScratchDirectory scratch;
    DebugOutputCapture capture;
    CInfFile inf;
};
