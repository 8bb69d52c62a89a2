#include "tools/infcheck/package_rules.h"

#include <cctype>
#include <set>

#include "text/utf8.h"
#include "tools/infcheck/targets.h"
#include "tools/infcheck/windows_choice.h"

namespace {

using infengine::Inf;

std::string utf8(std::u16string_view text) { return toUtf8(std::u16string(text)); }

bool sameName(std::u16string_view a, std::u16string_view b) {
    return infengine::foldAscii(a) == infengine::foldAscii(b);
}

bool startsWithName(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && sameName(text.substr(0, prefix.size()), prefix);
}

std::u16string field(const Inf& inf, uint32_t section, uint32_t line, uint32_t index) {
    std::u16string value;
    inf.field(section, line, index, &value);
    return value;
}

class PackageChecker {
public:
    PackageChecker(const Inf& inf, const std::string& bytes, const PackageFiles* files, FindingList& findings)
        : inf(inf), bytes(bytes), files(files), findings(findings) {}

    void run() {
        const bool win4 = inf.style() == infengine::kStyleWin4;
        if (!win4) signature();
        driverVersion();
        strings();
        encoding();
        models();
        if (files != nullptr) {
            catalogs();
            sourceFiles();
        }
    }

private:
    void add(const char* rule, uint32_t section, int64_t entry, const std::string& message) {
        const uint32_t line = entry >= 0 ? inf.sourceLine(section, static_cast<uint32_t>(entry))
                                         : inf.sectionSourceLine(section);
        std::string key;
        std::u16string value;
        if (entry >= 0 && inf.field(section, static_cast<uint32_t>(entry), 0, &value)) key = utf8(value);
        findings.add(rule, line, utf8(inf.sectionName(section)), entry, key, message);
    }

    bool version(uint32_t* section) const { return inf.findSection(u"Version", section); }

    void signature();
    void driverVersion();
    void strings();
    void encoding();
    void models();
    void catalogs();
    void sourceFiles();

    const Inf& inf;
    const std::string& bytes;
    const PackageFiles* files;
    FindingList& findings;
    bool offers64Bit = false;  // a models decoration for a 64-bit platform
};

void PackageChecker::signature() {
    uint32_t section;
    if (!version(&section)) return;
    std::u16string key;
    for (uint32_t line = 0; line < inf.lineCount(section); ++line) {
        if (!inf.rawField(section, line, 0, &key) || !sameName(key, u"Signature")) continue;
        std::u16string value;
        inf.rawField(section, line, 1, &value);
        add("bad-signature", section, line,
            "Signature is '" + utf8(value) +
                "': Windows accepts only \"$Windows NT$\" or \"$Chicago$\" and refuses to open the INF, so the "
                "installer stops at once; write Signature = \"$Windows NT$\"");
        return;
    }
    add("bad-signature", section, -1,
        "[Version] has no Signature line: Windows refuses to open the INF; add Signature = \"$Windows NT$\"");
}

// Decimal digits only, at most `maxDigits` of them, value in [low, high].
bool number(const std::u16string& text, size_t maxDigits, uint32_t low, uint32_t high, uint32_t* value) {
    if (text.empty() || text.size() > maxDigits) return false;
    uint32_t result = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return false;
        result = result * 10 + static_cast<uint32_t>(c - u'0');
    }
    *value = result;
    return result >= low && result <= high;
}

std::vector<std::u16string> split(const std::u16string& text, char16_t separator) {
    std::vector<std::u16string> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::u16string::npos ? std::u16string::npos : at - start));
        if (at == std::u16string::npos) return parts;
        start = at + 1;
    }
}

// "" when the date is a real mm/dd/yyyy date, else what is wrong.
std::string dateProblem(const std::u16string& date) {
    const std::vector<std::u16string> parts = split(date, u'/');
    uint32_t month = 0, day = 0, year = 0;
    if (parts.size() != 3 || !number(parts[0], 2, 1, 12, &month) || !number(parts[1], 2, 1, 31, &day) ||
        parts[2].size() != 4 || !number(parts[2], 4, 1, 9999, &year)) {
        return "the date '" + utf8(date) + "' is not mm/dd/yyyy";
    }
    static const uint32_t kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day > kDays[month - 1] || (month == 2 && day == 29 && !leap)) {
        return "the date '" + utf8(date) + "' does not exist";
    }
    return "";
}

// "" when the version is w[.x[.y[.z]]] with numbers up to 65535.
std::string versionProblem(const std::u16string& version) {
    const std::vector<std::u16string> parts = split(version, u'.');
    uint32_t value = 0;
    bool good = parts.size() <= 4;
    for (const std::u16string& part : parts) good = good && number(part, 5, 0, 65535, &value);
    return good ? "" : "the version '" + utf8(version) + "' is not w.x.y.z with numbers up to 65535";
}

void PackageChecker::driverVersion() {
    uint32_t section;
    if (!version(&section)) return;
    uint32_t line;
    if (!inf.findKey(section, u"DriverVer", &line)) {
        add("driver-version", section, -1,
            "[Version] has no DriverVer: Windows ranks the package as the oldest driver; add DriverVer = "
            "mm/dd/yyyy,w.x.y.z");
        return;
    }
    std::string problem = dateProblem(field(inf, section, line, 1));
    if (problem.empty() && inf.valueCount(section, line) >= 2) problem = versionProblem(field(inf, section, line, 2));
    if (!problem.empty()) {
        add("driver-version", section, line,
            "DriverVer is malformed (" + problem +
                "): Windows cannot rank the driver by it; write DriverVer = mm/dd/yyyy,w.x.y.z");
    }
}

bool isStringsSection(std::u16string_view name) {
    return sameName(name, u"Strings") || startsWithName(name, u"Strings.");
}

// The %strkey% tokens of raw text that the INF does not define, scanned as
// the engine substitutes: %% is a percent sign, a % without a partner stays.
// Only names that can be string keys count: not those that start with a
// digit (directory IDs such as %11%, arguments such as %1) nor those with
// blanks, commas, quotes or '=' (the text of format strings, "%1, %2").
void undefinedTokens(const Inf& inf, const std::u16string& raw, std::vector<std::u16string>& names) {
    size_t i = 0;
    while (i < raw.size()) {
        const size_t open = raw.find(u'%', i);
        if (open == std::u16string::npos) return;
        if (open + 1 < raw.size() && raw[open + 1] == u'%') {
            i = open + 2;
            continue;
        }
        const size_t close = raw.find(u'%', open + 1);
        if (close == std::u16string::npos) return;
        const std::u16string token = raw.substr(open, close - open + 1);
        const std::u16string name = raw.substr(open + 1, close - open - 1);
        std::u16string value;
        inf.substitute(token, &value);
        bool keyLike = !(name[0] >= u'0' && name[0] <= u'9');
        for (char16_t c : name) keyLike = keyLike && !infengine::isInfSpace(c) && c != u',' && c != u'"' && c != u'=';
        if (value == token && keyLike) {
            bool known = false;
            for (const std::u16string& seen : names) known |= sameName(seen, name);
            if (!known) names.push_back(name);
        }
        i = close + 1;
    }
}

void PackageChecker::strings() {
    std::u16string raw;
    for (uint32_t section = 0; section < inf.sectionCount(); ++section) {
        if (isStringsSection(inf.sectionName(section))) continue;
        for (uint32_t line = 0; line < inf.lineCount(section); ++line) {
            std::vector<std::u16string> names;
            for (uint32_t index = 0; index <= inf.valueCount(section, line); ++index) {
                if (inf.rawField(section, line, index, &raw)) undefinedTokens(inf, raw, names);
            }
            for (const std::u16string& name : names) {
                add("undefined-string", section, line,
                    "%" + utf8(name) + "% has no [Strings] entry, so Windows shows it as written; add " +
                        utf8(name) + " = \"...\" to [Strings] (or write %% for a literal %)");
            }
        }
    }
}

void PackageChecker::encoding() {
    // A UTF-8 file: well-formed UTF-8 with something beyond ASCII, and no
    // byte-order mark, no NUL (UTF-16 text has many).
    bool high = false;
    for (unsigned char c : bytes) {
        if (c == 0) return;
        high |= c >= 0x80;
    }
    if (!high || bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return;
    if (toUtf8(fromUtf8(bytes)) != bytes) return;  // not UTF-8: an ANSI file, read as meant

    // What reaches Windows: keys, values and section names (comments do not).
    uint32_t first = 0, count = 0, firstSection = 0;
    int64_t firstEntry = -1;
    std::u16string garbled;
    auto look = [&](std::u16string_view text, uint32_t line, uint32_t section, int64_t entry) {
        size_t at = 0;
        while (at < text.size() && text[at] < 0x80) ++at;
        if (at == text.size()) return false;
        ++count;
        if (first == 0 || line < first) {
            first = line;
            firstSection = section;
            firstEntry = entry;
            // The word it garbles, as Windows shows it.
            size_t start = at, end = at;
            while (start > 0 && at - start < 20 && !infengine::isInfSpace(text[start - 1])) --start;
            while (end < text.size() && end - at < 20 && !infengine::isInfSpace(text[end])) ++end;
            garbled = std::u16string(text.substr(start, end - start));
        }
        return true;
    };
    std::u16string raw;
    for (uint32_t section = 0; section < inf.sectionCount(); ++section) {
        look(inf.sectionName(section), inf.sectionSourceLine(section), section, -1);
        for (uint32_t line = 0; line < inf.lineCount(section); ++line) {
            for (uint32_t index = 0; index <= inf.valueCount(section, line); ++index) {
                if (inf.rawField(section, line, index, &raw) && look(raw, inf.sourceLine(section, line), section, line)) {
                    break;
                }
            }
        }
    }
    if (count == 0) return;
    add("utf8-without-bom", firstSection, firstEntry,
        "UTF-8 text without a byte-order mark: Windows reads it as Windows-1252, so it shows '" + utf8(garbled) +
            "'" + (count > 1 ? " here and on " + std::to_string(count - 1) + " more line(s)" : std::string()) +
            "; save the file as UTF-16LE with a byte-order mark");
}

void PackageChecker::models() {
    uint32_t manufacturer;
    if (!inf.findSection(u"Manufacturer", &manufacturer)) return;
    static const char16_t* const kArchitectures[] = {u"x86", u"ia64", u"amd64", u"arm", u"arm64"};
    std::set<std::u16string> walked;  // folded models section names
    for (uint32_t line = 0; line < inf.lineCount(manufacturer); ++line) {
        const uint32_t count = inf.valueCount(manufacturer, line);
        if (count == 0) continue;
        const std::u16string base = field(inf, manufacturer, line, 1);
        // Each models section with the platform it serves ("" for any).
        std::vector<std::pair<std::u16string, std::u16string>> sections = {{base, u""}};
        for (uint32_t index = 2; index <= count; ++index) {
            const std::u16string decoration = field(inf, manufacturer, line, index);
            const Decoration read = parseDecoration(decoration);
            std::u16string architecture;
            if (read.valid && !read.neutral) {
                architecture = fromUtf8(architectureName(read.architecture));
                offers64Bit |= architecture == u"ia64" || architecture == u"amd64" || architecture == u"arm64";
            }
            sections.push_back({base + u"." + decoration, architecture});
        }
        for (const auto& models : sections) {
            uint32_t section;
            if (!walked.insert(infengine::foldAscii(models.first)).second) continue;
            if (!inf.findSection(models.first, &section)) continue;
            for (uint32_t entry = 0; entry < inf.lineCount(section); ++entry) {
                const std::u16string install = field(inf, section, entry, 1);
                if (install.empty()) continue;
                // Windows tries the name with .NT<arch>, then .NT, then bare.
                std::vector<std::u16string> names = {install, install + u".NT"};
                for (const char16_t* name : kArchitectures) {
                    if (models.second.empty() || models.second == name) names.push_back(install + u".NT" + name);
                }
                bool found = false;
                uint32_t ignored;
                for (const std::u16string& name : names) found |= inf.findSection(name, &ignored);
                if (!found) {
                    const std::u16string decorated =
                        models.second.empty() ? u"" : u", [" + install + u".NT" + models.second + u"]";
                    add("install-section-missing", section, entry,
                        "install section [" + utf8(install) + "] is missing (nor [" + utf8(install) + ".NT]" +
                            utf8(decorated) + "): Windows cannot install this device; add the section or correct "
                            "the name");
                }
            }
        }
    }
}

// Looks a file up in the package, without case, with '\' as a separator too.
std::string packagePath(std::u16string path) {
    for (char16_t& c : path) {
        if (c == u'\\') c = u'/';
    }
    std::string result;
    for (const std::u16string& part : split(path, u'/')) {
        if (part.empty() || part == u".") continue;
        result += (result.empty() ? "" : "/") + utf8(part);
    }
    return result;
}

void PackageChecker::catalogs() {
    uint32_t section;
    if (!version(&section)) return;
    bool named = false;
    std::u16string key;
    for (uint32_t line = 0; line < inf.lineCount(section); ++line) {
        if (!inf.field(section, line, 0, &key)) continue;
        if (!sameName(key, u"CatalogFile") && !startsWithName(key, u"CatalogFile.")) continue;
        named = true;
        const std::u16string name = field(inf, section, line, 1);
        if (name.empty() || !files->exists(packagePath(name))) {
            add("catalog-missing", section, line,
                "the catalog '" + utf8(name) +
                    "' is not in the package: the package is unsigned and 64-bit Windows does not install it; ship "
                    "the signed catalog beside the INF");
        }
    }
    if (!named && offers64Bit) {
        add("no-catalog", section, -1,
            "[Version] names no catalog, but the package offers models for 64-bit Windows, which installs only "
            "signed packages; add CatalogFile = <name>.cat and ship the signed catalog");
    }
}

void PackageChecker::sourceFiles() {
    for (uint32_t section = 0; section < inf.sectionCount(); ++section) {
        const std::u16string_view name = inf.sectionName(section);
        if (!sameName(name, u"SourceDisksFiles") && !startsWithName(name, u"SourceDisksFiles.")) continue;
        // [SourceDisksFiles.amd64] takes its disks from [SourceDisksNames.amd64], else [SourceDisksNames].
        const std::u16string suffix(name.substr(std::u16string_view(u"SourceDisksFiles").size()));
        std::vector<uint32_t> diskSections;
        uint32_t disks;
        if (!suffix.empty() && inf.findSection(u"SourceDisksNames" + suffix, &disks)) diskSections.push_back(disks);
        if (inf.findSection(u"SourceDisksNames", &disks)) diskSections.push_back(disks);

        std::u16string file;
        for (uint32_t line = 0; line < inf.lineCount(section); ++line) {
            if (!inf.field(section, line, 0, &file) || file.empty()) continue;
            const std::u16string disk = field(inf, section, line, 1);
            std::u16string diskPath, cabinet;
            bool described = false;
            for (uint32_t candidate : diskSections) {
                uint32_t diskLine;
                if (described || !inf.findKey(candidate, disk, &diskLine)) continue;
                described = true;
                cabinet = field(inf, candidate, diskLine, 2);
                diskPath = field(inf, candidate, diskLine, 4);
            }
            // Files in a cabinet are there when the cabinet is.
            const bool inCabinet = cabinet.size() > 4 && sameName(cabinet.substr(cabinet.size() - 4), u".cab");
            const std::u16string where = inCabinet ? diskPath + u"/" + cabinet
                                                   : diskPath + u"/" + field(inf, section, line, 2) + u"/" + file;
            const std::string path = packagePath(where);
            if (!files->exists(path)) {
                add("source-file-missing", section, line,
                    std::string(inCabinet ? "the cabinet '" : "'") + path +
                        "' is not in the package: Windows fails the installation when it copies it; ship it there");
            }
        }
    }
}

}  // namespace

uint32_t sectionLine(const infengine::Inf& inf, const std::u16string& section) {
    uint32_t index;
    return inf.findSection(section, &index) ? inf.sectionSourceLine(index) : 0;
}

uint32_t entryLine(const infengine::Inf& inf, const std::u16string& section, uint32_t entry) {
    uint32_t index;
    return inf.findSection(section, &index) ? inf.sourceLine(index, entry) : 0;
}

void checkPackageRules(const infengine::Inf& inf, const std::string& bytes, const PackageFiles* files,
                       FindingList& findings) {
    PackageChecker(inf, bytes, files, findings).run();
}
