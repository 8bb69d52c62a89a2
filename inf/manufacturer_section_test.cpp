// Models-section selection: which section each [Manufacturer] line yields on
// which system, and the decision trace that explains it.
#include "inf/inf_test_fixture.h"

#include <sstream>

namespace {

using Lines = std::vector<std::string>;

const Identity kXpSuite100 = {0, 5, 1, 1, 0x0100};

TEST_F(InfFileTest, WorkedExampleTracesEveryVerdictInOrder) {
    openInf("[Manufacturer]\r\n"
            "%Mfg% = Models, NT, NTamd64, NTx86, NTx86.5, NTx86.5.1, NTx86.5.1.1.0x0100, NTx86.6.0, NTx86.5.1.3,"
            " NTx86.5.1.1.0x0110, ntx86.5.1.1.256, NTx86.5.X, NTarm\r\n"
            "%Mfg% = Models2, NTamd64, NTx86.6\r\n"
            "%Mfg% = Models3\r\n"
            "%Mfg% = Models4, NTx86.5.1.1.0x0100, NTx86.5.1.1.0x0100.7\r\n"
            "[Strings]\r\n"
            "Mfg = \"Example\"\r\n",
            kXpSuite100);
    CWStringArray sections;
    ASSERT_EQ(inf.readManufacturerSection(sections), INF_OK);
    EXPECT_EQ(narrowAll(sections), Lines({"Models.NTx86.5.1.1.0x0100", "Models2", "Models3",
                                          "Models4.NTx86.5.1.1.0x0100.7"}));

    const std::string examining = "    Examining models section decoration '";
    const std::string best = "      Decoration is the best match so far.\n";
    const std::string cpu = "      Decoration doesn't match this system's CPU architecture\n";
    EXPECT_EQ(trace(), Lines({
        "Reading section [Manufacturer]:\n",
        "  Examining line 'Models,NT,NTamd64,NTx86,NTx86.5,NTx86.5.1,NTx86.5.1.1.0x0100,NTx86.6.0,NTx86.5.1.3,"
        "NTx86.5.1.1.0x0110,ntx86.5.1.1.256,NTx86.5.X,NTarm':\n",
        examining + "NT':\n", cpu,
        examining + "NTamd64':\n", cpu,
        examining + "NTx86':\n", best,
        examining + "NTx86.5':\n", best,
        examining + "NTx86.5.1':\n", best,
        examining + "NTx86.5.1.1.0x0100':\n", best,
        examining + "NTx86.6.0':\n", "      Decoration doesn't match this system's major OS version\n",
        examining + "NTx86.5.1.3':\n", "      DDecoration doesn't match this system's OS product type\n",
        examining + "NTx86.5.1.1.0x0110':\n", "      Decoration doesn't match this system's OS suite mask\n",
        examining + "ntx86.5.1.1.256':\n", "      Decoration matches this system but is not the best match.\n",
        examining + "NTx86.5.X':\n", "      Warning: decoration 'NTx86.5.X' is malformed; ignoring.\n",
        examining + "NTarm':\n", "      Warning: unrecognized NT architecture 'NTarm'.\n",
        "  Adding 'Models.NTx86.5.1.1.0x0100' to models section reference list.\n",
        "  Examining line 'Models2,NTamd64,NTx86.6':\n",
        examining + "NTamd64':\n", cpu,
        examining + "NTx86.6':\n", "      Decoration doesn't match this system's major OS version\n",
        "  Adding 'Models2' to models section reference list.\n",
        "  Examining line 'Models3':\n",
        "  Adding 'Models3' to models section reference list.\n",
        "  Examining line 'Models4,NTx86.5.1.1.0x0100,NTx86.5.1.1.0x0100.7':\n",
        examining + "NTx86.5.1.1.0x0100':\n", best,
        examining + "NTx86.5.1.1.0x0100.7':\n", best,
        "  Adding 'Models4.NTx86.5.1.1.0x0100.7' to models section reference list.\n",
    }));
}

// The verdict line of one decoration, by a short name (the warnings quote the
// decoration).
std::string verdictLine(const std::string& name, const std::string& decoration) {
    if (name == "best") return "      Decoration is the best match so far.\n";
    if (name == "not-best") return "      Decoration matches this system but is not the best match.\n";
    if (name == "cpu") return "      Decoration doesn't match this system's CPU architecture\n";
    if (name == "major") return "      Decoration doesn't match this system's major OS version\n";
    if (name == "minor") return "      Decoration doesn't match this system's minor OS version\n";
    if (name == "product") return "      DDecoration doesn't match this system's OS product type\n";
    if (name == "suite") return "      Decoration doesn't match this system's OS suite mask\n";
    if (name == "malformed") return "      Warning: decoration '" + decoration + "' is malformed; ignoring.\n";
    if (name == "unrecognised") return "      Warning: unrecognized NT architecture '" + decoration + "'.\n";
    ADD_FAILURE() << "no verdict " << name;
    return "";
}

// The decorations of a comma-separated list, blanks around them dropped.
Lines decorationsOf(const std::string& list) {
    Lines out;
    std::istringstream fields(list);
    std::string field;
    while (std::getline(fields, field, ',')) {
        const size_t first = field.find_first_not_of(' ');
        out.push_back(first == std::string::npos ? "" : field.substr(first, field.find_last_not_of(' ') - first + 1));
    }
    return out;
}

TEST_F(InfFileTest, DecorationsAgainstIdentities) {
    const struct {
        const char* decorations;  // field 2 onward of the line; base name Models
        Identity identity;
        const char* section;
        const char* verdicts;  // one per decoration (verdictLine)
    } cases[] = {
        {"ntAMD64", {9, 6, 1, 1, 0}, "Models.ntAMD64", "best"},           // architecture compared without case
        {"NTX86.5.1", {0, 5, 1, 1, 0}, "Models.NTX86.5.1", "best"},       // the field's own case is kept
        {"NT, nt.5.1", {0, 5, 1, 1, 0}, "Models", "cpu cpu"},             // "nt" alone never fits
        {"NTia64", {6, 5, 2, 3, 0}, "Models.NTia64", "best"},
        {"NTamd64", {0, 5, 1, 1, 0}, "Models", "cpu"},
        {"NTx86", {9, 5, 2, 1, 0}, "Models", "cpu"},                      // architecture is compared as 16 bits
        {"NTx86.05", {0, 5, 0, 1, 0}, "Models.NTx86.05", "best"},         // leading zeros
        {"NTx86.5abc", {0, 5, 0, 1, 0}, "Models.NTx86.5abc", "best"},     // text after the number is ignored
        {"NTx86.5.1.1.0x0100", {0, 5, 1, 1, 0}, "Models", "suite"},       // suite bit not set in the system's
        {"NTx86.5.1.1.0X0100", {0, 5, 1, 1, 0}, "Models.NTx86.5.1.1.0X0100", "best"},  // 0X is decimal: reads 0
        {"NTx86.5.1.1.0x", {0, 5, 1, 1, 0}, "Models", "malformed"},       // a prefix without digits
        {"NTx86..1", {0, 5, 1, 1, 0}, "Models", "malformed"},             // an empty token
        {"NTx86.", {0, 5, 1, 1, 0}, "Models.NTx86.", "best"},             // trailing dot: one token, kept in the name
        {"NTx86.", {9, 5, 1, 1, 0}, "Models", "cpu"},
        {"NTx86.5.1.1.0.x", {0, 5, 1, 1, 0}, "Models", "malformed"},      // a sixth token must be a number
        // ... and then counts
        {"NTx86.5.1.1.0, NTx86.5.1.1.0.99", {0, 5, 1, 1, 0}, "Models.NTx86.5.1.1.0.99", "best best"},
        {"NTx86.5.1, ntx86.5.1", {0, 5, 1, 1, 0}, "Models.NTx86.5.1", "best not-best"},  // a tie: the earlier wins
        {"NTx86.5.1.1.0x0100", {0, 5, 1, 1, 0x0110}, "Models.NTx86.5.1.1.0x0100", "best"},  // contained in the mask
        {"NTx86.5.1.1.0x0110", {0, 5, 1, 1, 0x0100}, "Models", "suite"},
        {"NTx86.5.1.257", {0, 5, 1, 1, 0}, "Models.NTx86.5.1.257", "best"},  // product type's low 8 bits
        {"NTx86.5.1.3", {0, 5, 1, 1, 0}, "Models", "product"},
        {"NTx86.5.1.1.0x10100", {0, 5, 1, 1, 0x0100}, "Models.NTx86.5.1.1.0x10100", "best"},  // suite's low 16 bits
        {"NTx86.5.2", {0, 5, 1, 1, 0}, "Models", "minor"},                // versions are equal or nothing
        {"NTx86.5, NTx86.6", {0, 6, 1, 1, 0}, "Models.NTx86.6", "major best"},
        {", NTx86", {0, 5, 1, 1, 0}, "Models.NTx86", "malformed best"},   // an empty field is never chosen
        // The order of the judgement: the architecture before any number,
        // a malformed number before any mismatch.
        {"NTarm.X", {0, 5, 1, 1, 0}, "Models", "unrecognised"},
        {"NTamd64.X", {0, 5, 1, 1, 0}, "Models", "malformed"},
        {"NTx86.6.X", {0, 5, 1, 1, 0}, "Models", "malformed"},
        {"NT.5.1.X", {0, 5, 1, 1, 0}, "Models", "malformed"},
    };
    for (const auto& c : cases) {
        ScratchDirectory dir;
        std::u16string path =
            dir.write("velk.inf", std::string(kVersion) + "[Manufacturer]\r\nM = Models, " + c.decorations + "\r\n");
        CInfFile reader;
        reader.verbose = 1;
        ASSERT_EQ(reader.open(path.c_str()), INF_OK);
        reader.systemInfo.wProcessorArchitecture = c.identity.architecture;
        reader.osVersion.dwMajorVersion = c.identity.major;
        reader.osVersion.dwMinorVersion = c.identity.minor;
        reader.osVersion.wProductType = c.identity.productType;
        reader.osVersion.wSuiteMask = c.identity.suiteMask;
        capture.clear();
        CWStringArray sections;
        EXPECT_EQ(reader.readManufacturerSection(sections), INF_OK);
        EXPECT_EQ(narrowAll(sections), Lines({c.section})) << c.decorations;

        Lines expected;
        const Lines decorations = decorationsOf(c.decorations);
        std::istringstream names(c.verdicts);
        std::string name;
        for (size_t i = 0; names >> name; ++i)
            expected.push_back(verdictLine(name, i < decorations.size() ? decorations[i] : ""));
        Lines verdicts;
        for (const std::string& line : trace())
            if (line.rfind("      ", 0) == 0) verdicts.push_back(line);
        EXPECT_EQ(verdicts, expected) << c.decorations;
    }
}

TEST_F(InfFileTest, EmptyDecorationIsReportedAsMalformed) {
    openInf("[Manufacturer]\r\nM = Models, , NTx86\r\n");
    CWStringArray sections;
    ASSERT_EQ(inf.readManufacturerSection(sections), INF_OK);
    EXPECT_EQ(trace(), Lines({
                           "Reading section [Manufacturer]:\n",
                           "  Examining line 'Models,,NTx86':\n",
                           "    Examining models section decoration '':\n",
                           "      Warning: decoration '' is malformed; ignoring.\n",
                           "    Examining models section decoration 'NTx86':\n",
                           "      Decoration is the best match so far.\n",
                           "  Adding 'Models.NTx86' to models section reference list.\n",
                       }));
}

TEST_F(InfFileTest, MissingManufacturerSectionLeavesTheListAlone) {
    for (const char* body : {"[Other]\r\nx = y\r\n", "[Manufacturer]\r\n; only a comment\r\n"}) {
        ScratchDirectory dir;
        std::u16string path = dir.write("velk.inf", std::string(kVersion) + body);
        CInfFile reader;
        reader.verbose = 1;
        ASSERT_EQ(reader.open(path.c_str()), INF_OK);
        capture.clear();
        CWStringArray sections;
        sections.append(CWString(u"kept"));
        EXPECT_EQ(reader.readManufacturerSection(sections), INF_PARSE_ERROR);
        EXPECT_EQ(narrowAll(sections), Lines({"kept"}));
        EXPECT_EQ(trace(), Lines({"Error: [Manufacturer] section not found\n"}));
    }
}

TEST_F(InfFileTest, SelectionIsTheSameWithTracingOff) {
    const std::string body = "[Manufacturer]\r\nA = M, NTx86.5.1, NTx86.5, NTamd64, NTarm, NTx86.X\r\nB = N\r\n";
    openInf(body);
    CWStringArray traced;
    ASSERT_EQ(inf.readManufacturerSection(traced), INF_OK);
    capture.clear();
    inf.verbose = 0;
    CWStringArray quiet;
    ASSERT_EQ(inf.readManufacturerSection(quiet), INF_OK);
    EXPECT_EQ(narrowAll(quiet), narrowAll(traced));
    EXPECT_TRUE(capture.lines().empty());
}

}  // namespace
