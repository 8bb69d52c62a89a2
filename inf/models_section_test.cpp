// Device ID collection: which IDs the chosen models sections yield, in which
// order, and how a missing or short line ends a section.
#include "inf/inf_test_fixture.h"

namespace {

using Lines = std::vector<std::string>;

TEST_F(InfFileTest, ModelsSectionsYieldTheirIds) {
    const struct {
        const char* section;  // the lines of [Models]
        Lines ids;
    } cases[] = {
        {"Dev = Inst, ID1, CID1, CID2\r\n", {"ID1", "CID1", "CID2"}},
        {"Dev = Inst, , CID1\r\n", {"CID1"}},              // an empty hardware ID is skipped
        {"Dev = Inst, ID1, , CID2\r\n", {"ID1", "CID2"}},  // so is an empty compatible ID
        {"Dev1 = Inst, ID1\r\nDev2 = Inst\r\nDev3 = Inst, ID3\r\n", {"ID1"}},  // a short line ends the section
        {"Dev1 = Inst, ID1\r\nDev2 = Inst, ID1\r\n", {"ID1", "ID1"}},          // duplicates stay
        {"Dev = Inst, USB\\VID_1234&PID_0001 ; the board\r\n", {"USB\\VID_1234&PID_0001"}},
        {"Dev = Inst, %Hwid%, \"PCI\\CC_0C03\"\r\n", {"PCI\\VEN_1&DEV_2", "PCI\\CC_0C03"}},
        // A keyless line of two fields has no field 0: the section ends there,
        // the lines after it are not read.
        {"Dev1 = Inst, ID1\r\nInst, ID2\r\nDev3 = Inst, ID3\r\n", {"ID1"}},
        {"Dev = Inst, id1, Id1\r\n", {"id1", "Id1"}},  // IDs are kept exactly as read
    };
    for (const auto& c : cases) {
        ScratchDirectory dir;
        std::u16string path = dir.write("velk.inf", std::string(kVersion) +
                                                        "[Manufacturer]\r\nM = Models\r\n[Models]\r\n" + c.section +
                                                        "[Strings]\r\nHwid = \"PCI\\VEN_1&DEV_2\"\r\n");
        CInfFile reader;
        reader.verbose = 0;
        ASSERT_EQ(reader.open(path.c_str()), INF_OK);
        CWStringArray ids;
        EXPECT_EQ(reader.parse(ids), INF_OK);
        EXPECT_EQ(narrowAll(ids), c.ids) << c.section;
    }
}

TEST_F(InfFileTest, ParseTracesSectionsAndIds) {
    openInf("[Manufacturer]\r\n"
            "A = Gone\r\n"
            "B = Models, NTx86\r\n"
            "[Models.NTx86]\r\n"
            "Dev = Inst, HW1, CID1\r\n");
    CWStringArray ids;
    ASSERT_EQ(inf.parse(ids), INF_OK);
    EXPECT_EQ(narrowAll(ids), Lines({"HW1", "CID1"}));
    EXPECT_EQ(trace(), Lines({
                           "Reading section [Manufacturer]:\n",
                           "  Examining line 'Gone':\n",
                           "  Adding 'Gone' to models section reference list.\n",
                           "  Examining line 'Models,NTx86':\n",
                           "    Examining models section decoration 'NTx86':\n",
                           "      Decoration is the best match so far.\n",
                           "  Adding 'Models.NTx86' to models section reference list.\n",
                           "Warning: section [Gone] not found.\n",
                           "Reading section [Models.NTx86]:\n",
                           "  Found Hardware ID 'HW1'.\n",
                           "  Found Compatible ID 'CID1'.\n",
                       }));
}

TEST_F(InfFileTest, SectionNamedTwiceIsReadTwiceAndEarlierIdsStay) {
    openInf("[Manufacturer]\r\nA = Models\r\nB = Models\r\n[Models]\r\nDev = Inst, HW1\r\n");
    CWStringArray ids;
    ids.append(CWString(u"EARLIER"));
    ASSERT_EQ(inf.parse(ids), INF_OK);
    EXPECT_EQ(narrowAll(ids), Lines({"EARLIER", "HW1", "HW1"}));
}

TEST_F(InfFileTest, MissingModelsSectionReportsParseErrorToItsCaller) {
    openInf("[Manufacturer]\r\nA = Models\r\n[Empty]\r\n");
    CWStringArray ids;
    EXPECT_EQ(inf.readModelsSection(CWString(u"Nowhere"), ids), INF_PARSE_ERROR);
    EXPECT_EQ(inf.readModelsSection(CWString(u"Empty"), ids), INF_PARSE_ERROR);  // no lines: the same
    EXPECT_EQ(ids.itemCount, 0u);
}

TEST_F(InfFileTest, ParseWithoutManufacturerFailsAndKeepsTheList) {
    openInf("[Models]\r\nDev = Inst, HW1\r\n");
    CWStringArray ids;
    ids.append(CWString(u"EARLIER"));
    EXPECT_EQ(inf.parse(ids), INF_PARSE_ERROR);
    EXPECT_EQ(narrowAll(ids), Lines({"EARLIER"}));
}

}  // namespace
