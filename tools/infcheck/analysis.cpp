#include "tools/infcheck/analysis.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "inf/cinf_file.h"
#include "platform/platform.h"
#include "platform/setupapi/inf_engine.h"
#include "text/routines.h"
#include "text/utf8.h"
#include "tools/infcheck/findings.h"
#include "tools/infcheck/package_rules.h"

namespace {

std::u16string text(const CWString& value) { return std::u16string(value.data, value.length); }

std::u16string foldCase(const std::u16string& value) {
    std::u16string result = value;
    for (char16_t& c : result) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return result;
}

bool sameName(const std::u16string& left, const std::u16string& right) {
    return compareNoCase(left.c_str(), right.c_str()) == 0;
}

bool readField(CInfFile& inf, uint32_t number, std::u16string& value) {
    CWString field;
    if (inf.readField(number, field) != INF_OK) return false;
    value = text(field);
    return true;
}

std::vector<std::u16string> texts(const CWStringArray& array) {
    std::vector<std::u16string> result;
    for (uint32_t i = 0; i < array.itemCount; ++i) result.push_back(text(array.items[i]));
    return result;
}

std::string idsText(size_t count) { return std::to_string(count) + (count == 1 ? " ID" : " IDs"); }

std::string quoted(const std::u16string& value) { return "'" + toUtf8(value) + "'"; }
std::string bracketed(const std::u16string& value) { return "[" + toUtf8(value) + "]"; }

// A models section as the INF holds it, walked line by line.
struct ModelLine {
    uint32_t index = 0;
    uint32_t sourceLine = 0;
    std::u16string key;
    bool complete = false;  // key, install section and hardware ID field all readable
    bool emptyHardwareId = false;
    std::vector<std::u16string> ids;  // the non-empty ID fields, in field order
};

struct ModelsSection {
    bool exists = false;  // an empty section exists too
    std::vector<ModelLine> lines;
    // The first line the installer cannot read fully: it stops there.
    size_t readableLines() const {
        for (size_t i = 0; i < lines.size(); ++i) {
            if (!lines[i].complete) return i;
        }
        return lines.size();
    }
    size_t idCount() const {
        size_t count = 0;
        for (const ModelLine& line : lines) count += line.ids.size();
        return count;
    }
};

// What infcheck takes on, so that a hostile INF cannot make it run for hours:
// the installer's lists grow by exact-size copies, so collecting n IDs costs
// it n * n / 2 moves. Real packages stay far below these.
constexpr size_t kMaxManufacturerLines = 1000;
constexpr size_t kMaxDecorations = 10000;       // on all lines together
constexpr size_t kMaxSectionIds = 20000;        // in one models section
constexpr size_t kMaxIds = 100000;              // in all named models sections together
constexpr size_t kMaxTargetIds = 50000;         // that one system can collect

class Checker {
public:
    Checker(CInfFile& inf, const infengine::Inf& layout, InfCheck& result)
        : inf(inf), layout(layout), result(result), findings(result.findings) {}

    void readManufacturer();
    bool withinLimits();
    void evaluate(const std::vector<const Target*>& selected);

private:
    struct InstallerRead {
        bool found = false;
        std::shared_ptr<const std::vector<std::u16string>> ids;
    };
    const InstallerRead& installerRead(const std::u16string& name);
    const ModelsSection& section(const std::u16string& name);
    void setIdentity(const Target& target);
    TargetCheck evaluateTarget(const Target& target);
    void add(const char* rule, const std::u16string& section, int64_t entry, const std::u16string& key,
             const std::string& message, const Target* target = nullptr);
    void findStructureProblems(const std::vector<TargetCheck>& all);
    void findTargetProblems(const TargetCheck& check);

    CInfFile& inf;
    const infengine::Inf& layout;  // the same file parsed apart: empty sections and lines in the file
    InfCheck& result;
    FindingList findings;
    std::map<std::u16string, ModelsSection> sections;  // by folded name
    // readModelsSection does not depend on the system: one read per section.
    std::map<std::u16string, InstallerRead> installerReads;  // by folded name
    std::vector<std::vector<Decoration>> parsed;  // the decorations of each line, read once
};

bool Checker::withinLimits() {
    size_t decorations = 0;
    for (const ManufacturerLine& line : result.lines) decorations += line.decorations.size();
    if (result.lines.size() > kMaxManufacturerLines) {
        result.unreadable = "too large to check: [Manufacturer] has " + std::to_string(result.lines.size()) + " lines; infcheck takes at most " +
                         std::to_string(kMaxManufacturerLines);
        return false;
    }
    if (decorations > kMaxDecorations) {
        result.unreadable = "too large to check: [Manufacturer] has " + std::to_string(decorations) + " decorations; infcheck takes at most " +
                         std::to_string(kMaxDecorations);
        return false;
    }
    std::set<std::u16string> counted;
    size_t all = 0;
    size_t perTarget = 0;
    for (const ManufacturerLine& line : result.lines) {
        if (!line.hasBase) continue;
        std::vector<std::u16string> names = {line.base};
        for (const std::u16string& decoration : line.decorations) names.push_back(line.base + u"." + decoration);
        size_t largest = 0;
        for (const std::u16string& name : names) {
            const size_t ids = section(name).idCount();
            if (ids > kMaxSectionIds) {
                result.unreadable = "too large to check: models section [" + toUtf8(name) + "] lists " + std::to_string(ids) +
                                 " IDs; infcheck takes at most " + std::to_string(kMaxSectionIds);
                return false;
            }
            largest = std::max(largest, ids);
            if (counted.insert(foldCase(name)).second) all += ids;
        }
        perTarget += largest;
    }
    if (all > kMaxIds || perTarget > kMaxTargetIds) {
        result.unreadable = "too large to check: the models sections list too many IDs; infcheck takes at most " + std::to_string(kMaxIds) +
                         " in all and " + std::to_string(kMaxTargetIds) + " for one system";
        return false;
    }
    for (const ManufacturerLine& line : result.lines) {
        parsed.emplace_back();
        for (const std::u16string& decoration : line.decorations) parsed.back().push_back(parseDecoration(decoration));
    }
    return true;
}

const Checker::InstallerRead& Checker::installerRead(const std::u16string& name) {
    const std::u16string folded = foldCase(name);
    auto found = installerReads.find(folded);
    if (found != installerReads.end()) return found->second;
    InstallerRead& read = installerReads[folded];
    CWStringArray ids;
    read.found = inf.readModelsSection(CWString(name.c_str()), ids) == INF_OK;
    read.ids = std::make_shared<const std::vector<std::u16string>>(texts(ids));
    return read;
}

void Checker::readManufacturer() {
    if (!SetupFindFirstLineW(inf.handle, wstr(u"Manufacturer"), nullptr, &inf.context)) return;
    result.hasManufacturer = true;
    for (uint32_t index = 0;; ++index) {
        ManufacturerLine line;
        line.index = index;
        line.sourceLine = entryLine(layout, u"Manufacturer", index);
        readField(inf, 0, line.key);
        line.hasBase = readField(inf, 1, line.base);
        std::u16string decoration;
        for (uint32_t field = 2; line.hasBase && readField(inf, field, decoration); ++field) {
            line.decorations.push_back(decoration);
        }
        result.lines.push_back(line);
        if (!SetupFindNextLine(&inf.context, &inf.context)) return;
    }
}

const ModelsSection& Checker::section(const std::u16string& name) {
    const std::u16string folded = foldCase(name);
    auto found = sections.find(folded);
    if (found != sections.end()) return found->second;
    ModelsSection& walked = sections[folded];
    if (!SetupFindFirstLineW(inf.handle, wstr(name.c_str()), nullptr, &inf.context)) {
        // A section without lines exists: authors write one on purpose to
        // offer nothing from some version on.
        uint32_t index = 0;
        walked.exists = layout.findSection(name, &index);
        return walked;
    }
    walked.exists = true;
    for (uint32_t index = 0;; ++index) {
        ModelLine line;
        line.index = index;
        line.sourceLine = entryLine(layout, name, index);
        std::u16string installSection;
        std::u16string id;
        const bool hasKey = readField(inf, 0, line.key);
        const bool hasInstall = readField(inf, 1, installSection);
        const bool hasHardwareId = readField(inf, 2, id);
        line.complete = hasKey && hasInstall && hasHardwareId;
        line.emptyHardwareId = hasHardwareId && id.empty();
        if (hasHardwareId) {
            if (!id.empty()) line.ids.push_back(id);
            for (uint32_t field = 3; readField(inf, field, id); ++field) {
                if (!id.empty()) line.ids.push_back(id);
            }
        }
        walked.lines.push_back(line);
        if (!SetupFindNextLine(&inf.context, &inf.context)) break;
    }
    return walked;
}

void Checker::setIdentity(const Target& target) {
    inf.systemInfo.wProcessorArchitecture = target.architecture;
    inf.osVersion.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
    inf.osVersion.dwMajorVersion = target.seenMajor;
    inf.osVersion.dwMinorVersion = target.seenMinor;
    inf.osVersion.dwBuildNumber = target.build;
    inf.osVersion.dwPlatformId = VER_PLATFORM_WIN32_NT;
    inf.osVersion.wProductType = target.productType;
    inf.osVersion.wSuiteMask = target.suiteMask;
}

TargetCheck Checker::evaluateTarget(const Target& target) {
    TargetCheck check;
    check.target = &target;
    setIdentity(target);

    // The installer's column: its own code, as CInfFile::parse runs it
    // (readManufacturerSection, then readModelsSection per chosen name in
    // order), so that each line's share of the IDs is known.
    CWStringArray chosen;
    const bool walked = inf.readManufacturerSection(chosen) == INF_OK;
    const std::vector<std::u16string> chosenNames = texts(chosen);
    for (const ManufacturerLine& line : result.lines) {
        LineChoice choice;
        if (walked && line.index < chosenNames.size()) {
            choice.installerHasSection = true;
            choice.installerSection = chosenNames[line.index];
            const InstallerRead& read = installerRead(choice.installerSection);
            choice.installerSectionExists = read.found;
            choice.ids = read.ids;
            check.idCount += read.ids->size();
            choice.installerSectionEmpty =
                !choice.installerSectionExists && section(choice.installerSection).exists;
        }
        if (line.hasBase) {
            const WindowsChoice windows = chooseWindows(parsed[line.index], target, section(line.base).exists);
            choice.windowsChoice = windows.chosen;
            choice.suiteMaskTie = windows.suiteMaskTie;
            if (choice.windowsChoice == kBaseSection) {
                choice.windowsSection = line.base;
            } else if (choice.windowsChoice >= 0) {
                choice.windowsSection = line.base + u"." + line.decorations[choice.windowsChoice];
            }
        }
        // Both offering nothing (a missing section, no section) is agreement.
        if (choice.windowsChoice == kNoSection) {
            choice.differs = choice.installerHasSection && choice.installerSectionExists;
        } else {
            choice.differs = !choice.installerHasSection || !sameName(choice.installerSection, choice.windowsSection);
        }
        check.lines.push_back(choice);
    }
    return check;
}

void Checker::add(const char* rule, const std::u16string& sectionName, int64_t entry, const std::u16string& key,
                  const std::string& message, const Target* target) {
    const uint32_t line = entry >= 0 ? entryLine(layout, sectionName, static_cast<uint32_t>(entry))
                                     : sectionLine(layout, sectionName);
    findings.add(rule, line, toUtf8(sectionName), entry, toUtf8(key), message, target);
}

void Checker::findStructureProblems(const std::vector<TargetCheck>& all) {
    const std::u16string manufacturer = u"Manufacturer";
    for (const ManufacturerLine& line : result.lines) {
        if (!line.hasBase) continue;
        std::set<std::u16string> named;  // folded names already looked at on this line
        auto checkExists = [&](const std::u16string& name) {
            if (!named.insert(foldCase(name)).second) return;
            if (!section(name).exists) {
                add("missing-section", manufacturer, line.index, line.key,
                    "models section " + bracketed(name) + " is named but missing; add it (empty, to offer nothing there)");
            }
        };

        // With decorations the undecorated section is optional: packages
        // for some platforms only leave it out.
        if (line.decorations.empty()) checkExists(line.base);
        for (size_t d = 0; d < line.decorations.size(); ++d) {
            const std::u16string& decoration = line.decorations[d];
            const std::u16string name = line.base + u"." + decoration;
            bool installerUses = false;
            for (const TargetCheck& check : all) {
                const LineChoice& choice = check.lines[line.index];
                installerUses |= choice.installerHasSection && choice.installerSection == name;
            }
            const Decoration& read = parsed[line.index][d];
            if (!read.valid) {
                add("malformed-decoration", manufacturer, line.index, line.key,
                    "decoration " + quoted(decoration) + " is malformed or unrecognised (" + read.problem +
                        "): Windows never uses it" + (installerUses ? ", the installer does" : "") + "; correct it");
                if (installerUses) checkExists(name);
                continue;
            }
            if (hasPrereleaseBuild(read)) {
                add("invalid-build", manufacturer, line.index, line.key,
                    "decoration " + quoted(decoration) + " names build " + std::to_string(read.build) + " of " +
                        std::to_string(read.major) + "." + std::to_string(read.minor) +
                        ", at or below 10.0.14310, which Microsoft's pages call invalid; infcheck reads it as a "
                        "minimum build, as Windows compares builds from 14310 on; name a later build or none");
            }
            bool fits = false;
            for (const Target& target : targetTable()) fits |= appliesOn(read, target);
            if (!fits && !installerUses) {
                add("unused-decoration", manufacturer, line.index, line.key,
                    "decoration " + quoted(decoration) + " fits none of the " +
                        std::to_string(targetTable().size()) + " target systems; correct its version or drop it");
            }
            checkExists(name);
        }
    }

    // Every section the installer or Windows reads: empty and missing IDs.
    std::set<std::u16string> walked;
    for (const ManufacturerLine& line : result.lines) {
        std::vector<std::u16string> names;
        if (line.hasBase) names.push_back(line.base);
        for (const std::u16string& decoration : line.decorations) names.push_back(line.base + u"." + decoration);
        for (const std::u16string& name : names) {
            if (!walked.insert(foldCase(name)).second) continue;
            const ModelsSection& models = section(name);
            const size_t readable = models.readableLines();
            for (size_t i = 0; i < models.lines.size(); ++i) {
                const ModelLine& modelLine = models.lines[i];
                if (i == readable) {
                    const size_t skipped = models.lines.size() - readable - 1;
                    add("empty-id", name, modelLine.index, modelLine.key,
                        std::string("line without a hardware ID field: the installer stops reading the section here") +
                            (skipped > 0 ? " and skips the " + std::to_string(skipped) + " line(s) after it" : "") +
                            "; write the hardware ID");
                } else if (modelLine.emptyHardwareId) {
                    add("empty-id", name, modelLine.index, modelLine.key,
                        "empty hardware ID: the installer tries only the compatible IDs of this line; write the hardware ID");
                }
            }
        }
    }
}

// Where Microsoft's pages contradict each other and the choice on this
// target rests on infcheck's reading, the reading; else "".
std::string readingNote(const ManufacturerLine& line, const std::vector<Decoration>& decorations,
                        const LineChoice& choice, const Target& target) {
    std::string note;
    auto append = [&](const std::string& text) { note += (note.empty() ? " (infcheck reads " : "; ") + text; };
    if (target.major == 5 && target.minor == 0 && choice.windowsChoice >= 0) {
        append("decorations as applying on Windows 2000, after the page on combining platform extensions; the "
               "Manufacturer section page says Windows 2000 uses only the undecorated [" + toUtf8(line.base) + "]");
    }
    if (!target.neutralForAll && target.architecture != PROCESSOR_ARCHITECTURE_INTEL) {
        for (const Decoration& decoration : decorations) {
            if (decoration.valid && decoration.neutral && decoration.hasMajor) {
                append("nt.<version> as x86-only from Server 2003 SP1 on, like plain nt");
                break;
            }
        }
    }
    if (choice.suiteMaskTie) {
        append("the fitting suite mask with the most bits as the closest match; the pages say only \"most closely "
               "matches\"");
    }
    return note.empty() ? note : note + ")";
}

void Checker::findTargetProblems(const TargetCheck& check) {
    const std::u16string manufacturer = u"Manufacturer";
    const Target* target = check.target;

    bool windowsOffersIds = false;
    for (size_t i = 0; i < check.lines.size(); ++i) {
        const ManufacturerLine& line = result.lines[i];
        const LineChoice& choice = check.lines[i];
        if (choice.windowsChoice != kNoSection) windowsOffersIds |= section(choice.windowsSection).idCount() > 0;
        const std::string note = readingNote(line, parsed[i], choice, *target);
        if (line.hasBase && !line.decorations.empty() && choice.windowsChoice == kNoSection &&
            baseAppliesOn(*target)) {
            add("windows-uses-nothing", manufacturer, line.index, line.key,
                "no decoration fits and there is no undecorated " + bracketed(line.base) +
                    ": Windows installs nothing from this line there; add a section for these systems if the "
                    "package is meant for them" + note,
                target);
        }
        if (!choice.differs) continue;
        std::string installer;
        if (!choice.installerHasSection) {
            installer = "the installer reads no section for it (its [Manufacturer] walk ends earlier)";
        } else {
            installer = "the installer reads " + bracketed(choice.installerSection) +
                        (choice.installerSectionExists ? " (" + idsText(idsOf(choice).size()) + ")"
                         : choice.installerSectionEmpty ? " (empty)"
                                                        : " (missing)");
        }
        const std::string windows = choice.windowsChoice == kNoSection
                                        ? "Windows uses no section of this line"
                                        : "Windows uses " + bracketed(choice.windowsSection);
        add("differs", manufacturer, line.index, line.key,
            installer + " but " + windows + note + "; give both the same section (see infcheck's README)", target);
    }

    if (check.idCount == 0 && windowsOffersIds) {
        add("no-ids", manufacturer, -1, u"",
            "the installer collects no ID, so every device gets \"No suitable hardware\", though Windows would "
            "use this package; list the IDs in the section the installer reads there",
            target);
    }

    // Where each collected ID comes from, in the installer's reading order.
    struct Source {
        std::u16string section;
        const ModelLine* line;
    };
    std::map<std::u16string, std::vector<Source>> sources;  // by folded ID
    std::vector<std::u16string> order;
    for (const LineChoice& choice : check.lines) {
        if (!choice.installerHasSection) continue;
        const ModelsSection& models = section(choice.installerSection);
        const size_t readable = models.readableLines();
        for (size_t i = 0; i < readable; ++i) {
            for (const std::u16string& id : models.lines[i].ids) {
                auto& list = sources[foldCase(id)];
                if (list.empty()) order.push_back(foldCase(id));
                list.push_back({choice.installerSection, &models.lines[i]});
            }
        }
    }
    for (const std::u16string& folded : order) {
        const std::vector<Source>& list = sources[folded];
        const Source& first = list.front();
        std::u16string id;
        for (const std::u16string& candidate : first.line->ids) {
            if (foldCase(candidate) == folded) id = candidate;
        }
        if (list.size() > 1) {
            // The first few places say enough; a pathological INF must not
            // make the message grow with every listing.
            constexpr size_t kPlacesShown = 8;
            std::string where;
            for (size_t i = 0; i < list.size() && i < kPlacesShown; ++i) {
                where += (where.empty() ? "" : ", ") + bracketed(list[i].section) + " line " +
                         std::to_string(list[i].line->sourceLine);
            }
            if (list.size() > kPlacesShown) where += " and " + std::to_string(list.size() - kPlacesShown) + " more";
            add("duplicate-id", first.section, first.line->index, first.line->key,
                "ID " + quoted(id) + " is collected " + std::to_string(list.size()) + " times (" + where +
                    "): the installer hands it to the driver update once per listing; list it once",
                target);
        }
        if (isClassLevelId(id)) {
            for (const Source& source : list) {
                add("generic-id", source.section, source.line->index, source.line->key,
                    quoted(id) + " is a class-level ID: the installer forces the driver onto every device that "
                    "reports it; list the vendor's own IDs instead",
                    target);
            }
        }
    }
}

void Checker::evaluate(const std::vector<const Target*>& selected) {
    std::vector<TargetCheck> all;
    for (const Target& target : targetTable()) all.push_back(evaluateTarget(target));
    for (const Target* target : selected) {
        // Selected targets need not come from the table.
        auto found = std::find_if(all.begin(), all.end(), [&](const TargetCheck& c) { return c.target == target; });
        result.targets.push_back(found != all.end() ? *found : evaluateTarget(*target));
    }

    if (!result.hasManufacturer) {
        const uint32_t at = sectionLine(layout, u"Manufacturer");
        findings.add("no-manufacturer", at != 0 ? at : sectionLine(layout, u"Version"), "Manufacturer", -1, "",
                     "no [Manufacturer] section with a line in it: the installer stops with a parse error and "
                     "Windows finds no device; add [Manufacturer] with a line per manufacturer");
        return;
    }
    findStructureProblems(all);
    for (const TargetCheck& check : result.targets) findTargetProblems(check);
}

std::string openErrorText(const infengine::OpenResult& opened) {
    switch (opened.error) {
        case infengine::kErrorNotEnoughMemory: return "larger than the 64 MiB the INF engine reads";
        case infengine::kErrorFileInvalid: return "the file is empty";
        case infengine::kErrorExpectedSectionName: return "text before the first section header at line " +
                                                          std::to_string(opened.line);
        case infengine::kErrorBadSectionNameLine: return "a section header without ']' at line " +
                                                         std::to_string(opened.line);
        case infengine::kErrorSectionNameTooLong: return "a section name of more than 255 characters at line " +
                                                         std::to_string(opened.line);
        default: return "the INF engine cannot read it (error " + std::to_string(opened.error) + ")";
    }
}

bool startsWithNoCase(const std::u16string& value, const std::u16string& prefix) {
    return value.size() >= prefix.size() && foldCase(value.substr(0, prefix.size())) == foldCase(prefix);
}

}  // namespace

const std::vector<std::u16string>& idsOf(const LineChoice& choice) {
    static const std::vector<std::u16string> none;
    return choice.ids ? *choice.ids : none;
}

std::vector<std::u16string> idsOf(const TargetCheck& check) {
    std::vector<std::u16string> ids;
    for (const LineChoice& choice : check.lines) ids.insert(ids.end(), idsOf(choice).begin(), idsOf(choice).end());
    return ids;
}

bool isClassLevelId(const std::u16string& id) {
    static const char16_t* const kPrefixes[] = {u"USB\\Class_", u"USB\\MS_COMP_", u"PCI\\CC_", u"HID_DEVICE"};
    for (const char16_t* prefix : kPrefixes) {
        if (startsWithNoCase(id, prefix)) return true;
    }
    // HDAUDIO\FUNC_01 is every audio function; with &VEN_ it names a maker's.
    if (startsWithNoCase(id, u"HDAUDIO\\FUNC_") && foldCase(id).find(u"&ven_") == std::u16string::npos) return true;
    return foldCase(id) == u"usb\\composite";
}

InfCheck checkInf(const std::u16string& path, const std::string& bytes, const std::vector<const Target*>& targets,
                  const PackageFiles* files) {
    InfCheck result;
    // The engine reads the file as the installer's Setup API does; both
    // styles, so that a bad signature is a finding rather than the end.
    infengine::Options options;
    options.styles = infengine::kStyleWin4 | infengine::kStyleOldNt;
    infengine::OpenResult opened;
    const std::unique_ptr<infengine::Inf> layout = infengine::Inf::open(
        reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), options, &opened);
    if (!layout) {
        result.errorLine = opened.line;
        result.unreadable = openErrorText(opened);
        return result;
    }
    uint32_t version;
    if (layout->style() != infengine::kStyleWin4 && !layout->findSection(u"Version", &version)) {
        result.unreadable = "not a Windows INF: no [Version] section with a Signature";
        return result;
    }

    FindingList findings(result.findings);
    if (layout->style() == infengine::kStyleWin4) {
        CInfFile inf;
        inf.verbose = 0;
        inf.osVersion = OSVERSIONINFOEXW();
        inf.osVersion.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
        const InfStatus status = inf.open(path.c_str());
        if (status != INF_OK) {
            const CWString why = statusText(status);
            result.unreadable = "the installer cannot open it: " + toUtf8(std::u16string(why.data, why.length));
            return result;
        }
        result.installerOpens = true;
        Checker checker(inf, *layout, result);
        checker.readManufacturer();
        if (!checker.withinLimits()) return result;
        checker.evaluate(targets);
    }
    checkPackageRules(*layout, bytes, files, findings);
    findings.sort();
    return result;
}
