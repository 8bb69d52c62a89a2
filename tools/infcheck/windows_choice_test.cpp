// Windows' own choice of models section, against the examples and rules of
// Microsoft's documentation of the [Manufacturer] section.
#include "tools/infcheck/windows_choice.h"

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace {

const Target& named(const char* name) {
    for (const Target& target : targetTable()) {
        if (std::string(target.name) == name) return target;
    }
    ADD_FAILURE() << "no target " << name;
    return targetTable().front();
}

std::vector<std::u16string> splitList(const std::string& list) {
    std::vector<std::u16string> result;
    std::u16string current;
    for (char c : list + ",") {
        if (c == ',') {
            result.push_back(current);
            current.clear();
        } else if (c != ' ') {
            current.push_back(static_cast<char16_t>(c));
        }
    }
    if (list.empty()) result.clear();
    return result;
}

std::string choice(const std::string& list, const Target& target, bool baseExists = true) {
    const std::vector<std::u16string> decorations = splitList(list);
    const int chosen = chooseWindowsDecoration(decorations, target, baseExists);
    if (chosen == kBaseSection) return "(base)";
    if (chosen == kNoSection) return "(none)";
    return std::string(decorations[chosen].begin(), decorations[chosen].end());
}

// The documentation's Datacenter example system: XP, x86, Datacenter suite.
const Target kXpDatacenter = {"xp-dc", "XP Datacenter", PROCESSOR_ARCHITECTURE_INTEL, 5, 1, 2600, 3, 0x0080, 5, 1, true};
const Target kWin2000Datacenter = {"2k-dc", "2000 Datacenter", PROCESSOR_ARCHITECTURE_INTEL, 5, 0, 2195, 3, 0x0080, 5, 0, true};
const Target kWin10Build10586 = {"1511", "10 1511", PROCESSOR_ARCHITECTURE_AMD64, 10, 0, 10586, 1, 0x0100, 6, 2, false};
const Target kDomainController = {"dc", "2008 DC", PROCESSOR_ARCHITECTURE_INTEL, 6, 0, 6002, 2, 0x0110, 6, 0, false};

TEST(WindowsChoice, DocumentedExamplesAndRules) {
    const struct {
        const char* decorations;
        const Target& target;
        const char* expected;
    } cases[] = {
        // Documentation: on XP Datacenter, 5.5 is above 5.1, and the version-specific
        // decoration beats the suite-only one.
        {"NT, NT.5, NT.5.5, NT....0x80", kXpDatacenter, "NT.5"},
        // Documentation: NTx86....0x80 is the Datacenter suite on any version.
        {"NTx86....0x80", kWin2000Datacenter, "NTx86....0x80"},
        {"NTx86....0x80", kXpDatacenter, "NTx86....0x80"},
        {"NTx86....0x80", named("winxp-x86"), "(base)"},
        // Documentation: NTamd64.10.0...14393 is build 14393 or later of 10.0.
        {"NTamd64.10.0...14393", named("ws2016-amd64"), "NTamd64.10.0...14393"},
        {"NTamd64.10.0...14393", named("win10-amd64"), "NTamd64.10.0...14393"},
        {"NTamd64.10.0...14393", kWin10Build10586, "(none)"},
        // Before build 14310 a build number field makes the decoration invalid.
        {"NTamd64.10.0, NTamd64.10.0...10000", named("win10-1507-amd64"), "NTamd64.10.0"},
        {"NTamd64.6.3...9600", named("win81-amd64"), "(none)"},
        // A system newer than major.minor takes the section whatever the build.
        {"NTamd64.6.3...99999", named("win10-amd64"), "NTamd64.6.3...99999"},
        // Within one version the higher build that fits wins.
        {"NTamd64.10.0, NTamd64.10.0...16299", named("win10-amd64"), "NTamd64.10.0...16299"},
        {"NTamd64.10.0...16299, NTamd64.10.0", named("ws2016-amd64"), "NTamd64.10.0"},
        // The version is a minimum; the highest one not above the system's wins.
        {"NTx86.5.1", named("win2000-x86"), "(base)"},
        {"NTx86.5.1", named("winxp-x86"), "NTx86.5.1"},
        {"NTx86.5.1", named("win10-x86"), "NTx86.5.1"},
        {"NTx86.5.1, NTx86.6.0, NTx86.6.2", named("win7-x86"), "NTx86.6.0"},
        {"NTx86.6.2, NTx86.5.1, NTx86.6.0", named("win10-x86"), "NTx86.6.2"},
        {"NTx86.6.3", named("win81-x86"), "NTx86.6.3"},
        {"NTx86.10.0", named("win81-x86"), "(base)"},
        {"NTx86.6", named("vista-x86"), "NTx86.6"},  // minor left out: 6.0
        // A version outranks product type and suite; at one version the more specific wins.
        {"NTx86.6.0, NTx86...1", named("win7-x86"), "NTx86.6.0"},
        {"NTx86.6.0, NTx86.6.0.1", named("vista-x86"), "NTx86.6.0.1"},
        {"NTx86.6.0.1, NTx86.6.0", named("vista-x86"), "NTx86.6.0.1"},
        {"NTx86.6.0, NTx86.6.0", named("vista-x86"), "NTx86.6.0"},
        // A named architecture outranks plain "nt" at the same version.
        {"NT, NTx86", named("winxp-x86"), "NTx86"},
        {"NTx86, NT.5.1", named("winxp-x86"), "NT.5.1"},
        // Product type must be equal; every suite bit must be set.
        {"NTx86.6.0.3", named("ws2008-x86"), "NTx86.6.0.3"},
        {"NTx86.6.0.3", named("vista-x86"), "(base)"},
        {"NTx86.6.0.3", kDomainController, "(base)"},
        {"NTx86.6.0.2", kDomainController, "NTx86.6.0.2"},
        {"NTx86.5.1..0x0100", named("winxp-x86"), "NTx86.5.1..0x0100"},
        {"NTx86.5.1..0x0110", named("winxp-x86"), "(base)"},
        {"NTx86.5.1..0x0110", named("ws2003-x86"), "NTx86.5.1..0x0110"},
        {"NTx86.5.1..0X0110", named("ws2003-x86"), "NTx86.5.1..0X0110"},
        {"NTx86.5.1..272", named("ws2003-x86"), "NTx86.5.1..272"},
        // Platform-neutral "nt" and the undecorated section: every platform before
        // Server 2003 SP1, x86 only from then on.
        {"NT", named("winxp-ia64"), "NT"},
        {"NT", named("ws2003-ia64"), "(none)"},
        {"nt.6.0", named("vista-amd64"), "(none)"},
        {"nt.6.0", named("vista-x86"), "nt.6.0"},
        {"", named("winxp-ia64"), "(base)"},
        {"", named("win7-x86"), "(base)"},
        {"", named("win7-amd64"), "(none)"},
        {"NTx86", named("win7-amd64"), "(none)"},
        // Architecture names, in any case.
        {"NTx86, NTia64, NTamd64, NTarm64", named("ws2008r2-ia64"), "NTia64"},
        {"NTx86, NTia64, NTamd64, NTarm64", named("win11-arm64"), "NTarm64"},
        {"NTx86, NTarm, NTarm64", named("win8-arm"), "NTarm"},
        {"ntARM64", named("win10-arm64"), "ntARM64"},
        {"NTAMD64", named("win7-amd64"), "NTAMD64"},
        // Malformed and unrecognised decorations are never used.
        {"NTx86.5.X, NT$ARCH$, NTmips, NTx86..1, NTx86.1.0.1.0.1.7, NTx86.....1", named("winxp-x86"), "(base)"},
        {"NT$ARCH$.10.0...16299", named("win10-amd64"), "(none)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(choice(c.decorations, c.target), c.expected) << c.decorations << " on " << c.target.name;
    }
}

// Without an undecorated section Windows has nothing to fall back on; of
// fitting suite masks the closest (most bits) wins, then the first.
TEST(WindowsChoice, NoUndecoratedSectionAndSuiteMasks) {
    const struct {
        const char* decorations;
        const Target& target;
        bool baseExists;
        const char* expected;
    } cases[] = {
        {"NTamd64", named("win7-x86"), false, "(none)"},  // Microsoft's first example on x86
        {"NTamd64", named("win7-x86"), true, "(base)"},
        {"NTamd64", named("winxp-ia64"), false, "(none)"},
        {"NTx86.6.0", named("winxp-x86"), false, "(none)"},
        {"", named("win2000-x86"), false, "(none)"},
        {"NTx86", named("win7-x86"), false, "NTx86"},
        {"NTx86.5.2..0x0010, NTx86.5.2..0x0110", named("ws2003-x86"), true, "NTx86.5.2..0x0110"},
        {"NTx86.5.2..0x0110, NTx86.5.2..0x0010", named("ws2003-x86"), true, "NTx86.5.2..0x0110"},
        {"NTx86.5.2..0x0100, NTx86.5.2..0x0010", named("ws2003-x86"), true, "NTx86.5.2..0x0100"},
        {"NTx86.5.2..0x0010, NTx86.6.0", named("win7-x86"), true, "NTx86.6.0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(choice(c.decorations, c.target, c.baseExists), c.expected)
            << c.decorations << " on " << c.target.name << (c.baseExists ? "" : " without the undecorated section");
    }
    std::vector<Decoration> tie = {parseDecoration(u"NTx86.5.2..0x0010"), parseDecoration(u"NTx86.5.2..0x0110")};
    EXPECT_TRUE(chooseWindows(tie, named("ws2003-x86"), true).suiteMaskTie);
    EXPECT_FALSE(chooseWindows(tie, named("winxp-x86"), true).suiteMaskTie);  // neither fits there
    tie.push_back(parseDecoration(u"NTx86.6.0"));
    EXPECT_FALSE(chooseWindows(tie, named("win7-x86"), true).suiteMaskTie);  // a version outranks both
}

TEST(WindowsChoice, BuildNumbersThePagesCallInvalid) {
    const struct {
        const char16_t* decoration;
        bool prerelease;
    } cases[] = {
        {u"NTamd64.10.0...14310", true}, {u"NTamd64.10.0...14311", false}, {u"NTamd64.10.0...10240", true},
        {u"NTamd64.6.3...9600", true},   {u"NTamd64.10.0", false},        {u"NTamd64.11.0...100", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hasPrereleaseBuild(parseDecoration(c.decoration)), c.prerelease)
            << std::string(c.decoration, c.decoration + std::char_traits<char16_t>::length(c.decoration));
    }
}

TEST(WindowsChoice, ReadsDecorationFields) {
    const struct {
        const char* text;
        bool valid;
        uint32_t major, minor, productType, suiteMask, build;
    } cases[] = {
        {"NTamd64.10.0...14393", true, 10, 0, 0, 0, 14393},
        {"NTx86....0x80", true, 0, 0, 0, 0x80, 0},
        {"NTx86.05.01.03.0X0110.7", true, 5, 1, 3, 0x110, 7},
        {"NTx86.", true, 0, 0, 0, 0, 0},
        {"NTx86.5.1.1.0x", false, 0, 0, 0, 0, 0},
        {"NTx86.5abc", false, 0, 0, 0, 0, 0},
        {"NTx86.4294967296", false, 0, 0, 0, 0, 0},
        {"x86.5.1", false, 0, 0, 0, 0, 0},
        {"", false, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const std::string text = c.text;
        const Decoration d = parseDecoration(std::u16string(text.begin(), text.end()));
        EXPECT_EQ(d.valid, c.valid) << text;
        if (!c.valid) {
            EXPECT_FALSE(d.problem.empty()) << text;
            continue;
        }
        EXPECT_EQ(std::make_tuple(d.major, d.minor, d.productType, d.suiteMask, d.build),
                  std::make_tuple(c.major, c.minor, c.productType, c.suiteMask, c.build))
            << text;
    }
}

TEST(Targets, NamesSelectOneTargetOrAFamily) {
    ASSERT_EQ(findTargets("win7-amd64").size(), 1u);
    EXPECT_STREQ(findTargets("win7-amd64")[0]->name, "win7-amd64");
    std::vector<std::string> names;
    for (const Target* t : findTargets("win11")) names.push_back(t->name);
    EXPECT_EQ(names, (std::vector<std::string>{"win11-amd64", "win11-arm64"}));
    EXPECT_TRUE(findTargets("win1").empty());
    EXPECT_TRUE(findTargets("").empty());
}

}  // namespace
