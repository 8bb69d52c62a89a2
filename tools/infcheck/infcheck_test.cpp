// infcheck end to end, in-process: the command line, the JSON it prints and
// the findings it reports on small packages with known faults and on the
// sample package.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <filesystem>
#include <map>
#include <set>

#include "inf/cinf_file.h"
#include "platform/tool_path.h"
#include "tools/infcheck/analysis.h"
#include "tools/infcheck/cli.h"
#include "tools/infcheck/json_reader.h"
#include "tools/infcheck/rules.h"

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
    // The package is whole (driver and catalog beside the INF): the models
    // choice that differs is its one finding.
    EXPECT_EQ(findings(r.json), (std::vector<std::string>{"differs [Manufacturer] 0 'Velk Instruments'"}));
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

// One package per rule, the smallest that shows it (rules/bad/RULE), beside
// a clean counterpart (rules/good/RULE, or the shared rules/good/base): the
// rule at its line, with the rule's severity; the counterpart without a
// finding.
TEST(InfcheckRules, EachRuleOnASmallPackageAndItsCleanCounterpart) {
    const struct {
        const char* rule;
        const char* bad;  // folder under rules/bad
        uint32_t line;
        const char* good;  // folder under rules/good
    } cases[] = {
        {"bad-signature", "bad-signature", 2, "base"},
        {"no-manufacturer", "no-manufacturer", 5, "base"},
        {"driver-version", "driver-version", 3, "driver-version"},  // 02/30; the good one: 2/29/2024,1.0.65535
        {"driver-version", "driver-version-missing", 1, "base"},
        {"undefined-string", "undefined-string", 11, "undefined-string"},  // the good one: %%, %1 and the key defined
        {"catalog-missing", "catalog-missing", 4, "catalog-missing"},  // the good one: PKG.CAT beside pkg.cat
        {"no-catalog", "no-catalog", 1, "no-catalog"},  // the good one: CatalogFile.NTamd64
        {"source-file-missing", "source-file-missing", 19, "source-file-missing"},  // Drivers/X86/DEV.SYS
        {"utf8-without-bom", "utf8-without-bom", 16, "utf8-without-bom"},  // the good one: UTF-16LE
        {"utf8-without-bom", "utf8-without-bom", 16, "utf8-comment"},  // UTF-8 beyond ASCII in a comment only
        {"install-section-missing", "install-section-missing", 11, "install-section-missing"},  // [Install.NTx86]
        {"missing-section", "missing-section", 6, "base"},
        {"malformed-decoration", "malformed-decoration", 6, "base"},
        {"invalid-build", "invalid-build", 6, "base"},
        {"unused-decoration", "unused-decoration", 6, "base"},
        {"windows-uses-nothing", "windows-uses-nothing", 7, "windows-uses-nothing"},  // the good one: an empty [Maker]
        {"differs", "differs", 6, "base"},
        {"no-ids", "no-ids", 5, "base"},
        {"empty-id", "empty-id", 11, "base"},
        {"generic-id", "generic-id", 11, "base"},
        {"duplicate-id", "duplicate-id", 11, "base"},
    };
    std::set<std::string> covered;
    for (const auto& c : cases) {
        const Rule* rule = findRule(c.rule);
        ASSERT_NE(rule, nullptr) << c.rule;
        covered.insert(c.rule);
        const ToolRun bad = runJson({fixture("rules/bad/") + c.bad});
        EXPECT_EQ(bad.code, 1) << c.bad << ": " << bad.err;
        bool found = false;
        for (const JsonValue& finding : bad.json["findings"].array) {
            if (finding["rule"].string != c.rule) continue;
            found = true;
            EXPECT_EQ(finding["line"].number, c.line) << c.bad << ": " << finding["message"].string;
            EXPECT_EQ(finding["severity"].string, severityName(rule->severity)) << c.bad;
            EXPECT_EQ(finding["file"].string, bad.json["inf"].string) << c.bad;
        }
        EXPECT_TRUE(found) << c.bad << ": no " << c.rule << " in\n" << bad.out;

        const ToolRun good = run({"--annotations", fixture("rules/good/") + c.good});
        EXPECT_EQ(good.code, 0) << c.good << ":\n" << good.out << good.err;
        EXPECT_TRUE(good.out.empty()) << c.good;
    }
    for (const Rule& rule : ruleTable()) EXPECT_TRUE(covered.count(rule.id)) << "no package shows " << rule.id;
}

// The layout of Microsoft's first example, an NTamd64 section and no
// undecorated one: x86 systems get no section from Windows, in every form.
TEST(InfcheckRules, NoSectionWhereNothingFitsAndThereIsNoUndecoratedOne) {
    const ToolRun r = runJson({"--target", "win7", "--target", "winxp", fixture("rules/bad/windows-uses-nothing")});
    EXPECT_EQ(row(r.json, "win7-x86"), "Maker 0 -");
    EXPECT_EQ(row(r.json, "winxp-ia64"), "Maker 0 -");  // plain names still serve every platform there
    EXPECT_EQ(row(r.json, "win7-amd64"), "Maker.NTamd64 1 Maker.NTamd64");
    EXPECT_EQ(targetNamed(r.json, "win7-x86")["lines"][0]["windows"].type, JsonValue::Null);
    EXPECT_EQ(findings(r.json), (std::vector<std::string>{"windows-uses-nothing [Manufacturer] 0 'Maker'"}));
    EXPECT_EQ(targetsOf(r.json, "windows-uses-nothing"), (std::set<std::string>{"winxp-x86", "winxp-ia64", "win7-x86"}));

    const ToolRun text = run({"--target", "win7-x86", fixture("rules/bad/windows-uses-nothing")});
    EXPECT_NE(text.out.find("Maker (missing)                     -\n"), std::string::npos) << text.out;
}

TEST(InfcheckRules, WhereThePagesDisagreeTheFindingSaysHowItReads) {
    // Windows 2000 and a decoration; nt.<version> on amd64; two fitting suite masks.
    const std::string path = ::testing::TempDir() + "infcheck-readings.inf";
    {
        std::ofstream file(path, std::ios::binary);
        file << "[Version]\r\nSignature=\"$Windows NT$\"\r\nDriverVer=06/01/2024,1.0\r\n"
                "[Manufacturer]\r\nM=M,NTx86,NT.5.0\r\nN=N,NT.5.2,NTx86.5.2..0x0010,NTx86.5.2..0x0110\r\n"
                "[M]\r\n[M.NTx86]\r\nD=I,ID1\r\n[M.NT.5.0]\r\nD=I,ID2\r\n"
                "[N]\r\nD=I,ID3\r\n[N.NT.5.2]\r\nD=I,ID4\r\n"
                "[N.NTx86.5.2..0x0010]\r\nD=I,ID5\r\n[N.NTx86.5.2..0x0110]\r\nD=I,ID6\r\n[I]\r\n";
    }
    const ToolRun r = runJson({"--target", "win2000-x86", "--target", "ws2003", path});
    std::remove(path.c_str());
    // The installer knows no plain "nt"; Windows takes the version.
    EXPECT_EQ(row(r.json, "win2000-x86", 0), "M.NTx86 1 M.NT.5.0");
    EXPECT_EQ(row(r.json, "ws2003-x86", 1), "N 1 N.NTx86.5.2..0x0110");  // the mask with more bits
    EXPECT_EQ(row(r.json, "ws2003-amd64", 1), "N 1 -");
    std::map<std::string, std::string> messages;
    for (const JsonValue& finding : r.json["findings"].array) {
        for (const JsonValue& target : finding["targets"].array) messages[target.string] += finding["message"].string;
    }
    EXPECT_NE(messages["win2000-x86"].find("decorations as applying on Windows 2000"), std::string::npos);
    EXPECT_NE(messages["ws2003-x86"].find("the fitting suite mask with the most bits"), std::string::npos);
    EXPECT_NE(messages["ws2003-amd64"].find("nt.<version> as x86-only from Server 2003 SP1 on"), std::string::npos);
    EXPECT_NE(messages["ws2003-amd64"].find("Windows uses no section"), std::string::npos);
}

TEST(InfcheckForms, AnnotationsSarifAndJsonSayTheSame) {
    const std::string folder = fixture("rules/bad");
    const ToolRun json = runJson({folder});
    const ToolRun annotations = run({"--annotations", folder});
    const ToolRun sarif = run({"--sarif", folder});
    EXPECT_EQ(json.code, 2);  // rules/bad/unreadable holds a file that is no INF
    EXPECT_EQ(annotations.code, 2);
    EXPECT_EQ(sarif.code, 2);
    EXPECT_NE(annotations.err.find("unreadable/autorun.inf': not a Windows INF"), std::string::npos) << annotations.err;

    // Annotations: the findings of the JSON report, one a line, in order.
    std::vector<std::string> expected;
    for (const JsonValue& file : json.whole["files"].array) {
        if (!file["readable"].boolean) {
            expected.push_back("error " + file["inf"].string + ":1: [unreadable] cannot check it: " + file["error"].string);
        }
        for (const JsonValue& finding : file["findings"].array) {
            std::string targets;
            for (const JsonValue& target : finding["targets"].array) targets += (targets.empty() ? "" : ", ") + target.string;
            expected.push_back(finding["severity"].string + " " + finding["file"].string + ":" +
                               std::to_string(static_cast<int>(finding["line"].number)) + ": [" +
                               finding["rule"].string + "] " + finding["message"].string +
                               (targets.empty() ? "" : " (on " + targets + ")"));
        }
    }
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = annotations.out.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(annotations.out.substr(start, end - start));
    }
    EXPECT_EQ(lines, expected);

    // SARIF: one run, every rule described; results point at the same lines
    // and name their rule by ID and index. (Its schema is checked by a real
    // validator: infcheck_sarif_test.)
    JsonValue log;
    ASSERT_TRUE(JsonReader::parse(sarif.out, &log)) << sarif.out;
    EXPECT_EQ(log["version"].string, "2.1.0");
    ASSERT_EQ(log["runs"].array.size(), 1u);
    const JsonValue& runLog = log["runs"][0];
    const JsonValue& rules = runLog["tool"]["driver"]["rules"];
    ASSERT_EQ(rules.array.size(), ruleTable().size());
    EXPECT_FALSE(runLog["invocations"][0]["executionSuccessful"].boolean);
    EXPECT_EQ(runLog["invocations"][0]["toolExecutionNotifications"].array.size(), 1u);
    ASSERT_EQ(runLog["results"].array.size(), expected.size() - 1);
    size_t i = 0;
    for (const JsonValue& file : json.whole["files"].array) {
        for (const JsonValue& finding : file["findings"].array) {
            const JsonValue& result = runLog["results"][i++];
            EXPECT_EQ(result["ruleId"].string, finding["rule"].string);
            EXPECT_EQ(rules[static_cast<size_t>(result["ruleIndex"].number)]["id"].string, finding["rule"].string);
            EXPECT_EQ(result["level"].string, finding["severity"].string);
            const JsonValue& location = result["locations"][0]["physicalLocation"];
            // The fixtures' paths are absolute: file URIs (relative paths stay relative).
            EXPECT_EQ(location["artifactLocation"]["uri"].string, "file://" + finding["file"].string);
            EXPECT_EQ(location["region"]["startLine"].number, finding["line"].number);
        }
    }
}

TEST(InfcheckForms, FoldersIgnoredRulesAndTheExitCodeOfARun) {
    // Two packages: one clean, one with a finding; the run has findings.
    const ToolRun both = runJson({fixture("rules/good/base"), fixture("rules/bad/generic-id")});
    EXPECT_EQ(both.code, 1);
    ASSERT_EQ(both.whole["files"].array.size(), 2u);
    EXPECT_EQ(both.whole["files"][0]["exitCode"].number, 0);
    EXPECT_EQ(both.whole["files"][1]["exitCode"].number, 1);
    EXPECT_EQ(both.whole["exitCode"].number, 1);

    // --ignore leaves the rule's findings out, and with them the exit code 1.
    const ToolRun ignored = run({"--annotations", "--ignore", "generic-id", fixture("rules/bad/generic-id")});
    EXPECT_EQ(ignored.code, 0) << ignored.out;
    EXPECT_TRUE(ignored.out.empty());

    // A folder is walked below; INFs are found by extension without case.
    const std::string folder = ::testing::TempDir() + "infcheck-folder";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder + "/a/b");
    std::filesystem::copy_file(fixture("rules/good/base/pkg.inf"), folder + "/a/b/PKG.INF");
    std::filesystem::copy_file(fixture("rules/bad/empty-id/pkg.inf"), folder + "/a/other.inf");
    std::ofstream(folder + "/a/readme.txt") << "not an INF";
    const ToolRun walked = runJson({folder});
    EXPECT_EQ(walked.code, 1);
    std::vector<std::string> files;
    for (const JsonValue& file : walked.whole["files"].array) files.push_back(file["inf"].string);
    EXPECT_EQ(files, (std::vector<std::string>{folder + "/a/b/PKG.INF", folder + "/a/other.inf"}));

    // Nothing to check is not a clean run.
    std::filesystem::create_directories(folder + "/empty");
    const ToolRun empty = run({folder + "/empty"});
    EXPECT_EQ(empty.code, 2);
    EXPECT_NE(empty.err.find("no INF in"), std::string::npos);
    // One unreadable file makes the whole run 2.
    const ToolRun mixed = run({"--annotations", folder, fixture("rules/bad/unreadable/autorun.inf")});
    EXPECT_EQ(mixed.code, 2);
    std::filesystem::remove_all(folder);
}

}  // namespace
