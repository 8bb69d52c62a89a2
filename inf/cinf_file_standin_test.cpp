// The failures of the INF functions that no INF file can provoke, scripted
// through the stand-ins, and the processor information look-up.
#include "platform/faults/faults.h"
#include "inf/inf_test_fixture.h"
#include "platform/machine/machine.h"

namespace {

using Lines = std::vector<std::string>;

class InfFileStandinTest : public InfFileTest {
protected:
    void SetUp() override {
        standin::resetMachine();
        standin::clearFailures();
    }
    void TearDown() override {
        standin::clearFailures();
        standin::resetMachine();
    }
};

TEST_F(InfFileStandinTest, OpenErrorsMapToStatuses) {
    const struct {
        DWORD error;
        InfStatus status;
    } cases[] = {
        {ERROR_FILE_NOT_FOUND, INF_FILE_NOT_FOUND}, {ERROR_PATH_NOT_FOUND, INF_PATH_NOT_FOUND},
        {ERROR_NOT_ENOUGH_MEMORY, INF_OUT_OF_MEMORY}, {ERROR_ACCESS_DENIED, INF_UNEXPECTED},
        {ERROR_WRONG_INF_STYLE, INF_UNEXPECTED},
    };
    std::u16string path = scratch.write("velk.inf", kVersion);
    for (const auto& c : cases) {
        standin::injectFailure("SetupOpenInfFileW", c.error);
        CInfFile reader;
        reader.verbose = 1;
        capture.clear();
        EXPECT_EQ(reader.open(path.c_str()), c.status) << c.error;
        EXPECT_EQ(capture.lines().size(), 1u);  // only the dir/filename/path line
        EXPECT_EQ(reader.handle, INVALID_HANDLE_VALUE);
    }
}

TEST_F(InfFileStandinTest, OriginalNameFailureClosesOnceAndReportsUnexpected) {
    const struct {
        const char* function;
        int onCall;
    } cases[] = {
        {"SetupGetInfInformationW", 1},  // the size query
        {"SetupGetInfInformationW", 2},  // the fetch
        {"SetupQueryInfOriginalFileInformationW", 1},
    };
    std::u16string path = scratch.write("velk.inf", kVersion);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.function) + " call " + std::to_string(c.onCall));
        standin::clearFailures();
        standin::injectFailure(c.function, ERROR_INVALID_PARAMETER, c.onCall);
        capture.clear();
        {
            CInfFile reader;
            reader.verbose = 1;
            EXPECT_EQ(reader.open(path.c_str()), INF_UNEXPECTED);
            EXPECT_EQ(reader.handle, INVALID_HANDLE_VALUE);
            EXPECT_EQ(standin::callCount("SetupCloseInfFile"), 1);
            const Lines lines = trace();
            ASSERT_EQ(lines.size(), 3u);
            EXPECT_EQ(lines[1].rfind("CInfFile::open: opened .INF file.", 0), 0u);
            EXPECT_EQ(lines[2], "*** Failed to get original filename, error=Unexpected error\n");
            EXPECT_EQ(narrow(reader.path), narrow(path));  // the strings are kept
        }
        EXPECT_EQ(standin::callCount("SetupCloseInfFile"), 1);  // destruction closes nothing more
    }
}

TEST_F(InfFileStandinTest, ReaderFailuresLeaveTheTextAlone) {
    openInf("[S]\r\nk = v\r\n");
    ASSERT_TRUE(SetupFindFirstLineW(inf.handle, wstr(u"S"), nullptr, &inf.context));
    for (const char* function : {"SetupGetLineTextW", "SetupGetStringFieldW"}) {
        for (int onCall : {1, 2}) {  // the size query, then the fetch
            standin::injectFailure(function, ERROR_INSUFFICIENT_BUFFER, onCall);
            CWString text(u"unchanged");
            InfStatus status = std::string(function) == "SetupGetLineTextW" ? inf.readLineText(text)
                                                                            : inf.readField(1, text);
            EXPECT_EQ(status, INF_UNEXPECTED) << function << " " << onCall;
            EXPECT_EQ(narrow(text), "unchanged");
        }
    }
}

TEST_F(InfFileStandinTest, ManufacturerWalkEndsAtALineThatCannotBeRead) {
    // Every line here costs two line-text calls (size query, fetch) and three
    // field calls (field 1's two, then field 2, which does not exist).
    const struct {
        const char* function;
        int onCall;
    } cases[] = {
        {"SetupGetLineTextW", 3},     // the second line's text: size query
        {"SetupGetLineTextW", 4},     // ... fetch
        {"SetupGetStringFieldW", 4},  // its field 1: size query
        {"SetupGetStringFieldW", 5},  // ... fetch
    };
    std::u16string path = scratch.write("velk.inf", std::string(kVersion) +
                                                        "[Manufacturer]\r\nA = First\r\nB = Second\r\nC = Third\r\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.function) + " call " + std::to_string(c.onCall));
        CInfFile reader;
        reader.verbose = 0;
        ASSERT_EQ(reader.open(path.c_str()), INF_OK);
        standin::clearFailures();
        standin::injectFailure(c.function, ERROR_NOT_ENOUGH_MEMORY, c.onCall);
        CWStringArray sections;
        // Not a parse error: the lines before keep their sections, that line
        // and those after it add nothing.
        EXPECT_EQ(reader.readManufacturerSection(sections), INF_OK);
        EXPECT_EQ(narrowAll(sections), Lines({"First"}));
    }
}

TEST_F(InfFileStandinTest, ArchitectureComesFromGetSystemInfoWithoutTheNativeLookUp) {
    // A 32-bit process on 64-bit Windows: the native call says amd64, the
    // plain one x86.
    std::u16string path = scratch.write("velk.inf", kVersion);
    for (bool native : {true, false}) {
        standin::machine().processorArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
        standin::machine().wow64 = standin::Wow64Answer::Yes;
        standin::machine().nativeSystemInfo = native;
        CInfFile reader;
        reader.verbose = 0;
        ASSERT_EQ(reader.open(path.c_str()), INF_OK);
        EXPECT_EQ(reader.systemInfo.wProcessorArchitecture,
                  native ? PROCESSOR_ARCHITECTURE_AMD64 : PROCESSOR_ARCHITECTURE_INTEL);
    }
}

}  // namespace
