// Opening, the identity trace, the line and field readers and the trace
// itself, against the INF functions of whichever platform this is built for.
#include "inf/cinf_file.h"

#include "inf/inf_test_fixture.h"

namespace {

using Lines = std::vector<std::string>;

TEST(CInfFileOpen, SplitsThePathAtTheLastBackslash) {
    const struct {
        const char16_t* path;
        const char* dir;
        const char* filename;
    } cases[] = {
        {u"C:\\pkg\\velk.inf", "C:\\pkg", "velk.inf"},
        {u"velk.inf", "", "velk.inf"},
        {u"C:\\pkg\\", "C:\\pkg", ""},
        {u"C:/pkg/velk.inf", "", "C:/pkg/velk.inf"},
    };
    for (const auto& c : cases) {
        // None of these exists; the split and the first trace line happen anyway.
        DebugOutputCapture capture;
        CInfFile inf;
        inf.verbose = 1;
        EXPECT_NE(inf.open(c.path), INF_OK) << narrow(std::u16string(c.path));
        EXPECT_EQ(narrow(inf.dir), c.dir);
        EXPECT_EQ(narrow(inf.filename), c.filename);
        EXPECT_EQ(narrow(inf.path), narrow(std::u16string(c.path)));
        EXPECT_EQ(traceLines(capture), Lines({"CInfFile::open: dir='" + std::string(c.dir) + "' filename='" +
                                              std::string(c.filename) + "' path='" +
                                              narrow(std::u16string(c.path)) + "'\n"}));
        EXPECT_EQ(inf.handle, INVALID_HANDLE_VALUE);
    }
}

TEST(CInfFileOpen, MapsOpenFailuresToStatuses) {
    ScratchDirectory scratch;
    scratch.write("sub/other.inf", std::string(kVersion));
    scratch.write("notaninf.inf", "[Strings]\r\nx=1\r\n");
    const struct {
        std::u16string path;
        InfStatus status;
    } cases[] = {
        {scratch.windowsPath("missing.inf"), INF_FILE_NOT_FOUND},
        {scratch.windowsPath("nodir/velk.inf"), INF_PATH_NOT_FOUND},
        {scratch.windowsPath("sub"), INF_UNEXPECTED},           // a directory: access denied
        {scratch.windowsPath("notaninf.inf"), INF_UNEXPECTED},  // no [Version] signature: wrong style
    };
    for (const auto& c : cases) {
        CInfFile inf;
        inf.verbose = 0;
        EXPECT_EQ(inf.open(c.path.c_str()), c.status) << narrow(c.path);
        EXPECT_EQ(inf.handle, INVALID_HANDLE_VALUE);
    }
}

TEST_F(InfFileTest, OpenTracesTheIdentityAndTheOriginalName) {
    std::u16string path = scratch.write("pkg/velk.inf", std::string(kVersion));
    inf.verbose = 1;
    inf.osVersion.dwMajorVersion = 5;
    inf.osVersion.dwMinorVersion = 1;
    inf.osVersion.wProductType = 1;
    inf.osVersion.wSuiteMask = 0x0110;
    ASSERT_EQ(inf.open(path.c_str()), INF_OK);
    EXPECT_NE(inf.handle, INVALID_HANDLE_VALUE);
    const std::string architecture = std::to_string(inf.systemInfo.wProcessorArchitecture);
    const std::string dir = narrow(scratch.windowsPath("pkg"));
    EXPECT_EQ(trace(), Lines({
                           "CInfFile::open: dir='" + dir + "' filename='velk.inf' path='" + narrow(path) + "'\n",
                           "CInfFile::open: opened .INF file. Architecture=" + architecture +
                               " OS=5.1 ProductType=1 SuiteMask=0x110\n",
                           "CInfFile::open: orignal filename=velk.inf\n",
                       }));
    EXPECT_EQ(narrow(inf.originalFilename), "velk.inf");
}

TEST_F(InfFileTest, WithTracingOffNothingIsWrittenAndTheResultsAreTheSame) {
    std::u16string good = scratch.write("velk.inf", std::string(kVersion) + "[S]\r\nk = v\r\n");
    CInfFile quiet;
    quiet.verbose = 0;
    EXPECT_EQ(quiet.open(scratch.windowsPath("missing.inf").c_str()), INF_FILE_NOT_FOUND);
    EXPECT_EQ(quiet.open(good.c_str()), INF_OK);
    CWStringArray ids;
    EXPECT_EQ(quiet.parse(ids), INF_PARSE_ERROR);  // no [Manufacturer]: the error trace is not written either
    EXPECT_TRUE(capture.lines().empty());
}

TEST_F(InfFileTest, CloseIsIdempotent) {
    openInf("");
    inf.close();
    EXPECT_EQ(inf.handle, INVALID_HANDLE_VALUE);
    inf.close();
    EXPECT_EQ(inf.handle, INVALID_HANDLE_VALUE);
}

TEST_F(InfFileTest, ReadsLineTextAndFields) {
    openInf("[S]\r\n"
            "key = first, , \"quoted, with comma\" ; comment\r\n");
    ASSERT_TRUE(SetupFindFirstLineW(inf.handle, wstr(u"S"), nullptr, &inf.context));
    CWString text(u"unchanged");
    ASSERT_EQ(inf.readLineText(text), INF_OK);
    EXPECT_EQ(narrow(text), "first,,quoted, with comma");

    const struct {
        uint32_t field;
        InfStatus status;
        const char* text;
    } cases[] = {
        {0, INF_OK, "key"}, {1, INF_OK, "first"}, {2, INF_OK, ""}, {3, INF_OK, "quoted, with comma"},
        {4, INF_UNEXPECTED, "unchanged"},  // past the last field: fails and leaves the text alone
        {1000, INF_UNEXPECTED, "unchanged"},
    };
    for (const auto& c : cases) {
        CWString field(u"unchanged");
        EXPECT_EQ(inf.readField(c.field, field), c.status) << c.field;
        EXPECT_EQ(narrow(field), c.text) << c.field;
    }
}

TEST_F(InfFileTest, TraceCutsAtTwoHundredFiftyFiveUnits) {
    openInf("");
    const std::u16string longText(300, u'a');
    inf.trace(u"%s\n", longText.c_str());
    inf.trace(u"short %lu %lx\n", static_cast<uint32_t>(42), static_cast<uint32_t>(0xBEEF));
    ASSERT_EQ(capture.lines().size(), 2u);
    EXPECT_EQ(capture.lines()[0], std::u16string(255, u'a'));  // the newline is lost with the rest
    EXPECT_EQ(narrow(capture.lines()[1]), "short 42 beef\n");
}

}  // namespace
