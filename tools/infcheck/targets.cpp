// The target table. One row per release and architecture; to add a system,
// add a row. Builds are those of the latest service pack or feature update
// (the build matters only for decorations that name one, from Windows 10 on).
// Suite masks: 0x0100 (single-user Terminal Services) is what client editions
// from XP on report; servers from 2003 on add 0x0010 (Terminal Services, for
// remote administration). The version-information page says 0x0010 "is
// always set", but clients report 0x0100 alone (suite mask 256 on Windows
// XP to 11 clients, 272 on servers), so client rows keep 0x0100. Editions with other suites (Enterprise 0x0002,
// Datacenter 0x0080, Home 0x0200) can be added as rows of their own.
#include "tools/infcheck/targets.h"

#include "platform/platform.h"

namespace {

constexpr uint16_t kX86 = PROCESSOR_ARCHITECTURE_INTEL;
constexpr uint16_t kIa64 = PROCESSOR_ARCHITECTURE_IA64;
constexpr uint16_t kAmd64 = PROCESSOR_ARCHITECTURE_AMD64;
constexpr uint16_t kArm = PROCESSOR_ARCHITECTURE_ARM;
constexpr uint16_t kArm64 = PROCESSOR_ARCHITECTURE_ARM64;

constexpr uint8_t kWorkstation = 1;
constexpr uint8_t kServer = 3;

}  // namespace

const std::vector<Target>& targetTable() {
    static const std::vector<Target> table = {
        // name              release                              arch    version  build  type          suite   seen    neutral
        {"win2000-x86",      "Windows 2000 Professional",         kX86,   5, 0, 2195,  kWorkstation, 0x0000, 5, 0, true},
        {"win2000srv-x86",   "Windows 2000 Server",               kX86,   5, 0, 2195,  kServer,      0x0000, 5, 0, true},
        {"winxp-x86",        "Windows XP",                        kX86,   5, 1, 2600,  kWorkstation, 0x0100, 5, 1, true},
        {"winxp-ia64",       "Windows XP 64-Bit Edition",         kIa64,  5, 1, 2600,  kWorkstation, 0x0100, 5, 1, true},
        {"winxp64-amd64",    "Windows XP Professional x64",       kAmd64, 5, 2, 3790,  kWorkstation, 0x0100, 5, 2, false},
        {"ws2003-x86",       "Windows Server 2003",               kX86,   5, 2, 3790,  kServer,      0x0110, 5, 2, false},
        {"ws2003-ia64",      "Windows Server 2003",               kIa64,  5, 2, 3790,  kServer,      0x0110, 5, 2, false},
        {"ws2003-amd64",     "Windows Server 2003",               kAmd64, 5, 2, 3790,  kServer,      0x0110, 5, 2, false},
        {"vista-x86",        "Windows Vista",                     kX86,   6, 0, 6002,  kWorkstation, 0x0100, 6, 0, false},
        {"vista-amd64",      "Windows Vista",                     kAmd64, 6, 0, 6002,  kWorkstation, 0x0100, 6, 0, false},
        {"ws2008-x86",       "Windows Server 2008",               kX86,   6, 0, 6002,  kServer,      0x0110, 6, 0, false},
        {"ws2008-ia64",      "Windows Server 2008",               kIa64,  6, 0, 6002,  kServer,      0x0110, 6, 0, false},
        {"ws2008-amd64",     "Windows Server 2008",               kAmd64, 6, 0, 6002,  kServer,      0x0110, 6, 0, false},
        {"win7-x86",         "Windows 7",                         kX86,   6, 1, 7601,  kWorkstation, 0x0100, 6, 1, false},
        {"win7-amd64",       "Windows 7",                         kAmd64, 6, 1, 7601,  kWorkstation, 0x0100, 6, 1, false},
        {"ws2008r2-ia64",    "Windows Server 2008 R2",            kIa64,  6, 1, 7601,  kServer,      0x0110, 6, 1, false},
        {"ws2008r2-amd64",   "Windows Server 2008 R2",            kAmd64, 6, 1, 7601,  kServer,      0x0110, 6, 1, false},
        {"win8-x86",         "Windows 8",                         kX86,   6, 2, 9200,  kWorkstation, 0x0100, 6, 2, false},
        {"win8-amd64",       "Windows 8",                         kAmd64, 6, 2, 9200,  kWorkstation, 0x0100, 6, 2, false},
        {"win8-arm",         "Windows RT",                        kArm,   6, 2, 9200,  kWorkstation, 0x0100, 6, 2, false},
        {"ws2012-amd64",     "Windows Server 2012",               kAmd64, 6, 2, 9200,  kServer,      0x0110, 6, 2, false},
        {"win81-x86",        "Windows 8.1",                       kX86,   6, 3, 9600,  kWorkstation, 0x0100, 6, 2, false},
        {"win81-amd64",      "Windows 8.1",                       kAmd64, 6, 3, 9600,  kWorkstation, 0x0100, 6, 2, false},
        {"win81-arm",        "Windows RT 8.1",                    kArm,   6, 3, 9600,  kWorkstation, 0x0100, 6, 2, false},
        {"ws2012r2-amd64",   "Windows Server 2012 R2",            kAmd64, 6, 3, 9600,  kServer,      0x0110, 6, 2, false},
        {"win10-1507-x86",   "Windows 10 1507",                   kX86,   10, 0, 10240, kWorkstation, 0x0100, 6, 2, false},
        {"win10-1507-amd64", "Windows 10 1507",                   kAmd64, 10, 0, 10240, kWorkstation, 0x0100, 6, 2, false},
        {"win10-x86",        "Windows 10 22H2",                   kX86,   10, 0, 19045, kWorkstation, 0x0100, 6, 2, false},
        {"win10-amd64",      "Windows 10 22H2",                   kAmd64, 10, 0, 19045, kWorkstation, 0x0100, 6, 2, false},
        {"win10-arm64",      "Windows 10 22H2",                   kArm64, 10, 0, 19045, kWorkstation, 0x0100, 6, 2, false},
        {"ws2016-amd64",     "Windows Server 2016",               kAmd64, 10, 0, 14393, kServer,      0x0110, 6, 2, false},
        {"ws2019-amd64",     "Windows Server 2019",               kAmd64, 10, 0, 17763, kServer,      0x0110, 6, 2, false},
        {"ws2022-amd64",     "Windows Server 2022",               kAmd64, 10, 0, 20348, kServer,      0x0110, 6, 2, false},
        {"win11-amd64",      "Windows 11 24H2",                   kAmd64, 10, 0, 26100, kWorkstation, 0x0100, 6, 2, false},
        {"win11-arm64",      "Windows 11 24H2",                   kArm64, 10, 0, 26100, kWorkstation, 0x0100, 6, 2, false},
        {"ws2025-amd64",     "Windows Server 2025",               kAmd64, 10, 0, 26100, kServer,      0x0110, 6, 2, false},
    };
    return table;
}

const char* architectureName(uint16_t architecture) {
    switch (architecture) {
        case kX86: return "x86";
        case kIa64: return "ia64";
        case kAmd64: return "amd64";
        case kArm: return "arm";
        case kArm64: return "arm64";
        default: return "unknown";
    }
}

std::vector<const Target*> findTargets(const std::string& name) {
    std::vector<const Target*> found;
    if (name.empty()) return found;
    for (const Target& target : targetTable()) {
        const std::string candidate = target.name;
        if (candidate == name) return {&target};
        if (candidate.size() > name.size() && candidate.compare(0, name.size(), name) == 0 &&
            candidate[name.size()] == '-') {
            found.push_back(&target);
        }
    }
    return found;
}
