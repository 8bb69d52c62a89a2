// The systems infcheck evaluates an INF against: every Windows release from
// 2000 to 11 and their server editions, once per processor architecture the
// release shipped for. Each entry holds what Windows itself compares models
// decorations with (the real version, build, product type and a typical suite
// mask) and the version the installer is told, which differs from 8.1 on: a
// program whose manifest declares no supported OS gets 6.2 from GetVersionExW.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Target {
    const char* name;     // what --target takes, "<release>-<architecture>"
    const char* release;  // for people
    uint16_t architecture;  // PROCESSOR_ARCHITECTURE_*
    uint32_t major;
    uint32_t minor;
    uint32_t build;
    uint8_t productType;  // 1 workstation, 2 domain controller, 3 server
    uint16_t suiteMask;
    uint32_t seenMajor;  // the version the installer sees
    uint32_t seenMinor;
    // A models decoration of plain "nt" (no architecture) applies to every
    // platform; from Windows Server 2003 SP1 on it means x86 only.
    bool neutralForAll;
};

const std::vector<Target>& targetTable();

// Lower-case decoration name of an architecture ("x86", "amd64", ...).
const char* architectureName(uint16_t architecture);

// The targets a --target argument names: the one with exactly that name, or
// every target whose name begins with it followed by '-' ("win10" names
// win10-x86, win10-amd64, ...). Empty when nothing matches.
std::vector<const Target*> findTargets(const std::string& name);
