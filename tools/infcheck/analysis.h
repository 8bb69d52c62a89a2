// infcheck's evaluation of one INF: for every target, the models section the
// installer's own code (CInfFile) chooses per [Manufacturer] line and the IDs
// it collects, beside the section Windows would choose; then the findings.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "text/inf_status.h"
#include "tools/infcheck/targets.h"
#include "tools/infcheck/windows_choice.h"

struct ManufacturerLine {
    uint32_t index = 0;
    std::u16string key;    // field 0
    std::u16string base;   // field 1: the models section base name
    bool hasBase = false;
    std::vector<std::u16string> decorations;  // fields 2 onward
};

struct LineChoice {
    bool installerHasSection = false;  // false: the installer's walk ended before this line
    std::u16string installerSection;
    bool installerSectionExists = false;  // found with lines in it
    bool installerSectionEmpty = false;   // there, but without lines
    // What the installer collects from its section; shared by every target
    // that reads the same section.
    std::shared_ptr<const std::vector<std::u16string>> ids;
    int windowsChoice = kNoSection;     // decoration index, kBaseSection or kNoSection
    std::u16string windowsSection;      // empty with kNoSection
    bool differs = false;
};

// The IDs of one line; empty where the installer reads no section.
const std::vector<std::u16string>& idsOf(const LineChoice& choice);

struct TargetCheck {
    const Target* target = nullptr;
    std::vector<LineChoice> lines;
    size_t idCount = 0;  // how many IDs CInfFile::parse collects on the target
};

// Everything CInfFile::parse collects on the target, in its order.
std::vector<std::u16string> idsOf(const TargetCheck& check);

struct Finding {
    std::string kind;
    std::string section;  // where: section name ...
    int64_t line = -1;    // ... 0-based line index in it, -1 for the whole section
    std::string key;      // ... and the key of that line
    std::string message;
    std::vector<std::string> targets;  // the targets it concerns; empty when it concerns none in particular
};

struct InfCheck {
    InfStatus openStatus = INF_OK;  // not INF_OK: the INF could not be read, nothing else is filled
    // Not empty: the INF is beyond what infcheck evaluates (see kLimits in
    // analysis.cpp), and why; nothing but the [Manufacturer] lines is filled.
    std::string refused;
    bool hasManufacturer = false;
    std::vector<ManufacturerLine> lines;
    std::vector<TargetCheck> targets;  // in the order asked for
    std::vector<Finding> findings;
};

// `path` is a Windows path, as the installer's code sees it. `bytes`, when
// the file could be read directly, tells an empty models section (written on
// purpose, to offer nothing from some version on) from a missing one, which
// the Setup API's line functions cannot; without it both count as missing.
// Every target of the table is evaluated, as some findings concern the whole
// table (a decoration that fits no system); results and per-target findings
// are kept for `targets` only.
InfCheck checkInf(const std::u16string& path, const std::string* bytes, const std::vector<const Target*>& targets);

// A class-level ID (USB\Class_.., PCI\CC_.., ...): matches every device of a kind.
bool isClassLevelId(const std::u16string& id);
