// infcheck's evaluation of one INF: for every target, the models section the
// installer's own code (CInfFile) chooses per [Manufacturer] line and the IDs
// it collects, beside the section Windows would choose; then the findings.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/infcheck/rules.h"
#include "tools/infcheck/targets.h"
#include "tools/infcheck/windows_choice.h"

struct ManufacturerLine {
    uint32_t index = 0;
    uint32_t sourceLine = 0;  // 1-based line in the file
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
    bool suiteMaskTie = false;          // see WindowsChoice
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
    std::string rule;      // an ID of ruleTable()
    Severity severity = Severity::Error;
    uint32_t line = 0;     // 1-based physical line in the file, as an editor shows it
    std::string section;   // the section it concerns ...
    int64_t entry = -1;    // ... the 0-based position of the entry in it, -1 for the whole section
    std::string key;       // ... and the key of that entry
    std::string message;
    std::vector<std::string> targets;  // the targets it concerns; empty when it concerns none in particular
};

// The files around an INF, for the rules that look for them. Paths are
// relative to the INF's folder, '/'-separated; names compare without case,
// as on Windows.
class PackageFiles {
public:
    virtual ~PackageFiles() = default;
    virtual bool exists(const std::string& relativePath) const = 0;
};

struct InfCheck {
    // Not empty: the file could not be checked (missing, not an INF, beyond
    // the limits), and why; nothing else but what led there is filled.
    std::string unreadable;
    uint32_t errorLine = 0;  // the line of a syntax error that stopped the read, else 0
    bool installerOpens = false;  // false: the installer's own open fails; no targets are evaluated
    bool hasManufacturer = false;
    std::vector<ManufacturerLine> lines;
    std::vector<TargetCheck> targets;  // in the order asked for
    std::vector<Finding> findings;     // by line, then by rule
};

// `bytes` is the file; `path` is its Windows path, as the installer's code
// opens it. Every target of the table is evaluated, as some findings concern
// the whole table (a decoration that fits no system); results and per-target
// findings are kept for `targets` only. Without `files`, the rules that look
// for the package's files are left out.
InfCheck checkInf(const std::u16string& path, const std::string& bytes, const std::vector<const Target*>& targets,
                  const PackageFiles* files);

// A class-level ID (USB\Class_.., PCI\CC_.., ...): matches every device of a kind.
bool isClassLevelId(const std::u16string& id);
