// infcheck end to end, in-process: the command line, the JSON it prints and
// the findings it reports on small packages with known faults and on the
// sample package.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>

#include "inf/cinf_file.h"
#include "tool_path.h"
#include "tools/infcheck/analysis.h"
#include "tools/infcheck/cli.h"
#include "tools/infcheck/json_reader.h"

namespace {

struct ToolRun {
    int code = -1;
    std::string out;
    std::string err;
    JsonValue whole;  // the JSON report
    JsonValue json;   // its first file
};

ToolRun run(std::vector<std::string> arguments) {
    ToolRun result;
    result.code = runInfcheck(arguments, result.out, result.err);
    return result;
}

ToolRun runJson(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "--json");
    ToolRun result = run(arguments);
    EXPECT_TRUE(JsonReader::parse(result.out, &result.whole)) << result.out;
    if (!result.whole["files"].array.empty()) result.json = result.whole["files"][0];
    return result;
}

std::string fixture(const char* name) { return std::string(INFCHECK_FIXTURES) + "/" + name; }

// One finding as "rule [section] entry 'key'", the targets apart.
std::string where(const JsonValue& finding) {
    std::string text = finding["rule"].string + " [" + finding["section"].string + "]";
    if (finding["entry"].type == JsonValue::Number) text += " " + std::to_string(static_cast<int>(finding["entry"].number));
    if (!finding["key"].string.empty()) text += " '" + finding["key"].string + "'";
    return text;
}

std::vector<std::string> findings(const JsonValue& json) {
    std::vector<std::string> result;
    for (const JsonValue& finding : json["findings"].array) result.push_back(where(finding));
    return result;
}

std::set<std::string> targetsOf(const JsonValue& json, const std::string& kind, const std::string& messagePart = "") {
    std::set<std::string> result;
    for (const JsonValue& finding : json["findings"].array) {
        if (finding["rule"].string != kind || finding["message"].string.find(messagePart) == std::string::npos) continue;
        for (const JsonValue& target : finding["targets"].array) result.insert(target.string);
    }
    return result;
}

const JsonValue& targetNamed(const JsonValue& json, const std::string& name) {
    for (const JsonValue& target : json["targets"].array) {
        if (target["name"].string == name) return target;
    }
    static const JsonValue missing;
    ADD_FAILURE() << "no target " << name;
    return missing;
}

// installer section, its ID count and Windows' section for one target and line.
std::string row(const JsonValue& json, const std::string& target, size_t line = 0) {
    const JsonValue& choice = targetNamed(json, target)["lines"][line];
    auto name = [](const JsonValue& v) { return v.type == JsonValue::Null ? std::string("-") : v.string; };
    return name(choice["installer"]) + " " + std::to_string(static_cast<int>(choice["idCount"].number)) + " " +
           name(choice["windows"]);
}

bool contains(const std::set<std::string>& set, const std::string& item) { return set.count(item) != 0; }

TEST(Infcheck, VersionDecorationsThatOnlyWindowsReadsAsMinimums) {
    const ToolRun r = runJson({fixture("versions.inf")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.json["exitCode"].number, 1);
    EXPECT_EQ(r.json["targets"].array.size(), targetTable().size());

    EXPECT_EQ(row(r.json, "winxp-x86"), "Acme.NTx86.5.1 1 Acme.NTx86.5.1");
    EXPECT_EQ(row(r.json, "win7-x86"), "Acme 0 Acme.NTx86.5.1");  // 5.1 is a minimum for Windows only
    EXPECT_EQ(row(r.json, "win7-amd64"), "Acme.NTamd64.6.1 1 Acme.NTamd64.6.1");
    EXPECT_EQ(row(r.json, "win10-amd64"), "Acme 0 Acme.NTamd64.10.0...16299");  // the installer sees 6.2
    EXPECT_EQ(row(r.json, "ws2016-amd64"), "Acme 0 Acme.NTamd64.6.1");           // build 14393 < 16299
    // No decoration fits and there is no [Acme]: Windows uses nothing.
    EXPECT_EQ(row(r.json, "win2000-x86"), "Acme 0 -");
    EXPECT_EQ(row(r.json, "win10-arm64"), "Acme 0 -");

    EXPECT_EQ(findings(r.json), (std::vector<std::string>{
                                    "no-ids [Manufacturer]",
                                    "windows-uses-nothing [Manufacturer] 0 'Acme'",
                                    "differs [Manufacturer] 0 'Acme'",
                                    "differs [Manufacturer] 0 'Acme'",
                                    "differs [Manufacturer] 0 'Acme'",
                                }));
    EXPECT_EQ(targetsOf(r.json, "windows-uses-nothing"),
              (std::set<std::string>{"win2000-x86", "win2000srv-x86", "winxp-ia64"}));
    const std::set<std::string> differs = targetsOf(r.json, "differs");
    for (const char* target : {"win7-x86", "win81-x86", "win10-x86", "win10-amd64", "ws2016-amd64", "win11-amd64"}) {
        EXPECT_TRUE(contains(differs, target)) << target;
    }
    for (const char* target : {"winxp-x86", "win7-amd64", "win2000-x86", "win10-arm64", "winxp-ia64"}) {
        EXPECT_FALSE(contains(differs, target)) << target;
    }
    EXPECT_EQ(targetsOf(r.json, "no-ids"), differs);
}

TEST(Infcheck, IdProblemsAndDecorationsThatFitNothing) {
    const ToolRun r = runJson({"--ids", "--target", "winxp-x86", "--target", "win7-amd64", fixture("ids.inf")});
    EXPECT_EQ(r.code, 1);
    ASSERT_EQ(r.json["targets"].array.size(), 2u);
    EXPECT_EQ(row(r.json, "winxp-x86", 0), "Widgets.NTx86 4 Widgets.NTx86");
    EXPECT_EQ(row(r.json, "winxp-x86", 1), "Widgets 1 Widgets");
    EXPECT_EQ(row(r.json, "win7-amd64", 0), "Widgets 1 -");
    std::vector<std::string> ids;
    for (const JsonValue& id : targetNamed(r.json, "winxp-x86")["ids"].array) ids.push_back(id.string);
    EXPECT_EQ(ids, (std::vector<std::string>{"USB\\VID_F055&PID_0001", "USB\\Class_FF", "USB\\VID_F055&PID_0002",
                                             "usb\\vid_f055&pid_0001", "USB\\VID_F055&PID_0001"}));

    EXPECT_EQ(findings(r.json), (std::vector<std::string>{
                                    "malformed-decoration [Manufacturer] 0 'Widgets'",
                                    "malformed-decoration [Manufacturer] 0 'Widgets'",
                                    "unused-decoration [Manufacturer] 0 'Widgets'",
                                    "differs [Manufacturer] 0 'Widgets'",
                                    "differs [Manufacturer] 1 'Widgets'",
                                    "duplicate-id [Widgets] 0 'One'",  // two lines name [Widgets]
                                    "generic-id [Widgets.NTx86] 0 'One'",
                                    "duplicate-id [Widgets.NTx86] 0 'One'",
                                    "empty-id [Widgets.NTx86] 1 'Two'",
                                    "empty-id [Widgets.NTx86] 3 'Four'",
                                }));
    const JsonValue& all = r.json["findings"];
    EXPECT_NE(all[0]["message"].string.find("'NTx86.5.X'"), std::string::npos);
    EXPECT_NE(all[1]["message"].string.find("'NT$ARCH$'"), std::string::npos);
    EXPECT_NE(all[2]["message"].string.find("'NTia64.10.0'"), std::string::npos);
    EXPECT_NE(all[9]["message"].string.find("skips the 1 line"), std::string::npos);
    // Places are the lines in the file, as an editor shows them.
    EXPECT_NE(all[7]["message"].string.find("collected 3 times ([Widgets.NTx86] line 19, [Widgets.NTx86] line 21, "
                                            "[Widgets] line 16)"),
              std::string::npos);
    std::vector<int> lines;
    for (const JsonValue& finding : all.array) lines.push_back(static_cast<int>(finding["line"].number));
    EXPECT_EQ(lines, (std::vector<int>{12, 12, 12, 12, 13, 16, 19, 19, 20, 22}));
    EXPECT_EQ(targetsOf(r.json, "differs"), (std::set<std::string>{"win7-amd64"}));
    EXPECT_EQ(targetsOf(r.json, "generic-id"), (std::set<std::string>{"winxp-x86"}));
    EXPECT_EQ(targetsOf(r.json, "duplicate-id", "[Widgets] line 16, [Widgets] line 16"),
              (std::set<std::string>{"win7-amd64"}));
}

TEST(Infcheck, EmptySectionEndsSupportAndMissingSectionIsReported) {
    const ToolRun r = runJson({fixture("sections.inf")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(row(r.json, "winxp-x86"), "Gadget.NTx86 2 Gadget.NTx86");
    EXPECT_EQ(row(r.json, "vista-x86"), "Gadget.NTx86.6.0 0 Gadget.NTx86.6.0");
    EXPECT_EQ(row(r.json, "win7-x86"), "Gadget.NTx86 2 Gadget.NTx86.6.0");  // equal versions only
    EXPECT_EQ(row(r.json, "win7-amd64"), "Gadget.NTamd64 0 Gadget.NTamd64");
    EXPECT_FALSE(targetNamed(r.json, "vista-x86")["lines"][0]["differs"].boolean);

    EXPECT_EQ(findings(r.json), (std::vector<std::string>{
                                    "missing-section [Manufacturer] 0 'Gadget'",
                                    "windows-uses-nothing [Manufacturer] 0 'Gadget'",
                                    "differs [Manufacturer] 0 'Gadget'",
                                    "generic-id [Gadget.NTx86] 0 'Gadget card'",
                                }));
    EXPECT_NE(r.json["findings"][0]["message"].string.find("[Gadget.NTamd64]"), std::string::npos);
    const std::set<std::string> differs = targetsOf(r.json, "differs");
    EXPECT_TRUE(contains(differs, "win7-x86"));
    EXPECT_TRUE(contains(differs, "win10-x86"));
    EXPECT_FALSE(contains(differs, "vista-x86"));
    EXPECT_FALSE(contains(differs, "winxp-x86"));
    // No ID where the empty section says so: that is not a fault.
    EXPECT_TRUE(targetsOf(r.json, "no-ids").empty());
}

TEST(Infcheck, SamplePackage) {
    const ToolRun r = runJson({"--ids", INFCHECK_SAMPLE});
    ASSERT_EQ(r.code, 1) << r.err;
    ASSERT_EQ(r.json["manufacturer"].array.size(), 1u);
    EXPECT_EQ(row(r.json, "win2000-x86"), "Velk.NTx86 3 Velk.NTx86");
    EXPECT_EQ(row(r.json, "winxp-x86"), "Velk.NTx86.5.1 4 Velk.NTx86.5.1");
    // From Vista on the installer no longer sees 5.1 and falls back to the 2000 section.
    EXPECT_EQ(row(r.json, "win7-x86"), "Velk.NTx86 3 Velk.NTx86.5.1");
    EXPECT_EQ(row(r.json, "win10-amd64"), "Velk.NTamd64 4 Velk.NTamd64");
    const std::set<std::string> differs = targetsOf(r.json, "differs");
    EXPECT_TRUE(contains(differs, "vista-x86"));
    EXPECT_TRUE(contains(differs, "win10-x86"));
    EXPECT_FALSE(contains(differs, "winxp-x86"));
    EXPECT_FALSE(contains(differs, "win11-amd64"));
    // Nothing for ARM: the undecorated section is empty on purpose.
    EXPECT_EQ(row(r.json, "win11-arm64"), "Velk 0 -");
    EXPECT_EQ(targetNamed(r.json, "win11-arm64")["lines"][0]["installerSection"].string, "empty");
    EXPECT_FALSE(targetNamed(r.json, "win11-arm64")["lines"][0]["differs"].boolean);

    // Each target's IDs are what the installer's own parse collects on that system.
    CInfFile inf;
    inf.verbose = 0;
    inf.osVersion = OSVERSIONINFOEXW();
    ASSERT_EQ(inf.open(toolPathArgument(INFCHECK_SAMPLE).c_str()), INF_OK);
    for (const Target& target : targetTable()) {
        inf.systemInfo.wProcessorArchitecture = target.architecture;
        inf.osVersion.dwMajorVersion = target.seenMajor;
        inf.osVersion.dwMinorVersion = target.seenMinor;
        inf.osVersion.wProductType = target.productType;
        inf.osVersion.wSuiteMask = target.suiteMask;
        CWStringArray ids;
        ASSERT_EQ(inf.parse(ids), INF_OK);
        std::vector<std::string> expected;
        for (uint32_t i = 0; i < ids.itemCount; ++i) {
            expected.push_back(std::string(ids.items[i].data, ids.items[i].data + ids.items[i].length));
        }
        std::vector<std::string> reported;
        for (const JsonValue& id : targetNamed(r.json, target.name)["ids"].array) reported.push_back(id.string);
        EXPECT_EQ(reported, expected) << target.name;
        EXPECT_EQ(targetNamed(r.json, target.name)["idCount"].number, static_cast<double>(expected.size()));
    }
}

TEST(Infcheck, TextReportSaysTheSame) {
    const ToolRun r = run({"--target", "win7-x86", fixture("sections.inf")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("win7-x86"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Gadget.NTx86 (2)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Gadget.NTx86.6.0   <- differs"), std::string::npos) << r.out;
    const std::string file = fixture("sections.inf");
    EXPECT_NE(r.out.find("error " + file + ":11: [differs] the installer reads [Gadget.NTx86] (2 IDs) but Windows "
                         "uses [Gadget.NTx86.6.0]; give both the same section (see infcheck's README)\n"
                         "    on win7-x86\n"),
              std::string::npos)
        << r.out;
}

TEST(Infcheck, NoFindingsExitsZero) {
    // Windows XP only: both choose the XP section.
    const ToolRun r = runJson({"--target", "winxp-x86", fixture("versions.inf")});
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_TRUE(r.json["findings"].array.empty());
    EXPECT_EQ(r.json["exitCode"].number, 0);
    EXPECT_EQ(r.whole["exitCode"].number, 0);
}

TEST(Infcheck, UnreadableInfAndBadUsage) {
    const ToolRun missing = runJson({fixture("no-such.inf")});
    EXPECT_EQ(missing.code, 2);
    EXPECT_FALSE(missing.json["readable"].boolean);
    EXPECT_EQ(missing.json["error"].string, "cannot read it (missing or no permission)");
    EXPECT_NE(missing.err.find("cannot check '" + fixture("no-such.inf") + "'"), std::string::npos);

    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{}, "no package folder or INF given"},
        {{"--target"}, "--target needs a name"},
        {{"--target", "win99", "a.inf"}, "no target 'win99'"},
        {{"--ignore", "no-such-rule", "a.inf"}, "no rule 'no-such-rule'"},
        {{"--ignore"}, "--ignore needs a rule"},
        {{"--json", "--sarif", "a.inf"}, "one output format at a time"},
        {{"--frobnicate", "a.inf"}, "unknown option '--frobnicate'"},
    };
    for (const auto& c : cases) {
        const ToolRun r = run(c.arguments);
        EXPECT_EQ(r.code, 2) << c.message;
        EXPECT_TRUE(r.out.empty()) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("usage: infcheck"), std::string::npos) << c.message;
    }
    EXPECT_EQ(run({"--help"}).code, 0);
    const ToolRun list = run({"--list-targets"});
    EXPECT_EQ(list.code, 0);
    EXPECT_NE(list.out.find("win11-arm64"), std::string::npos);
    const ToolRun rules = run({"--list-rules"});
    EXPECT_EQ(rules.code, 0);
    EXPECT_NE(rules.out.find("undefined-string"), std::string::npos);
}

TEST(Infcheck, RefusesInfsBeyondItsLimits) {
    // Many lines naming one large section: the installer would collect
    // 1000 x 60 IDs on every system, at a quadratic cost.
    std::string big = "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n";
    for (int i = 0; i < 1000; ++i) big += "M" + std::to_string(i) + " = Models\r\n";
    big += "[Models]\r\n";
    for (int i = 0; i < 60; ++i) big += "D = Inst, ID" + std::to_string(i) + "\r\n";
    const std::string path = ::testing::TempDir() + "infcheck-big.inf";
    {
        std::ofstream file(path, std::ios::binary);
        file << big;
    }
    const ToolRun r = runJson({path});
    std::remove(path.c_str());
    EXPECT_EQ(r.code, 2);
    EXPECT_FALSE(r.json["readable"].boolean);
    EXPECT_NE(r.json["error"].string.find("too large to check"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("50000 for one system"), std::string::npos) << r.err;
}

TEST(Infcheck, ClassLevelIds) {
    const struct {
        const char16_t* id;
        bool classLevel;
    } cases[] = {
        {u"USB\\Class_FF&SubClass_71", true}, {u"usb\\class_02", true},     {u"PCI\\CC_0200", true},
        {u"HID_DEVICE_SYSTEM_KEYBOARD", true}, {u"HDAUDIO\\FUNC_01", true}, {u"USB\\MS_COMP_WINUSB", true},
        {u"USB\\COMPOSITE", true},             {u"USB\\VID_F055&PID_71A0", false},
        {u"HDAUDIO\\FUNC_01&VEN_10EC&DEV_0262", false}, {u"PCI\\VEN_8086&DEV_100E", false}, {u"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isClassLevelId(c.id), c.classLevel) << std::string(c.id, c.id + std::char_traits<char16_t>::length(c.id));
    }
}

}  // namespace
