#include "tools/infcheck/cli.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "platform/setupapi/inf_engine.h"
#include "platform/tool_path.h"
#include "tools/infcheck/analysis.h"
#include "tools/infcheck/report.h"
#include "text/ascii.h"

namespace {

namespace fs = std::filesystem;

const char kUsage[] =
    "usage: infcheck [--json | --sarif | --annotations] [--ids] [--target NAME]... [--ignore RULE]...\n"
    "                PACKAGE_DIR_OR_INF...\n"
    "       infcheck --list-targets | --list-rules\n"
    "Checks driver packages: every INF in and below a folder, or the INFs named, each\n"
    "with its folder as the package. Shows per Windows system and [Manufacturer] line\n"
    "the models section the installer chooses, the one Windows would choose and how\n"
    "many IDs the installer would try; then the findings, each under a rule.\n"
    "  --json          the report as JSON\n"
    "  --sarif         the findings as SARIF 2.1.0\n"
    "  --annotations   the findings one a line: severity file:line: [rule] message\n"
    "  --ids           list the IDs the installer would try (table and JSON)\n"
    "  --target NAME   only the target NAME, or every target NAME-*; repeatable\n"
    "  --ignore RULE   leave out the findings of RULE; repeatable\n"
    "  --list-targets  print the target table\n"
    "  --list-rules    print the rules\n"
    "Exit code: 0 nothing found, 1 findings, 2 a file cannot be checked or bad usage.\n";

std::string targetList() {
    std::string out;
    for (const Target& target : targetTable()) {
        char line[160];
        std::snprintf(line, sizeof line, "%-18s %-30s %-6s %2u.%u.%-6u type %u suite 0x%04x installer sees %u.%u\n",
                      target.name, target.release, architectureName(target.architecture),
                      static_cast<unsigned>(target.major), static_cast<unsigned>(target.minor),
                      static_cast<unsigned>(target.build), static_cast<unsigned>(target.productType),
                      static_cast<unsigned>(target.suiteMask), static_cast<unsigned>(target.seenMajor),
                      static_cast<unsigned>(target.seenMinor));
        out += line;
    }
    return out;
}

std::string ruleList() {
    std::string out;
    for (const Rule& rule : ruleTable()) {
        char line[64];
        std::snprintf(line, sizeof line, "%-24s %-8s", rule.id, severityName(rule.severity));
        out += line + std::string(rule.summary) + "\n";
    }
    return out;
}

// The file's bytes; false when it cannot be read or is larger than the
// INF engine takes.
bool readWhole(const std::string& path, std::string* bytes, std::string* why) {
    std::error_code error;
    if (fs::is_directory(path, error)) {
        *why = "it is a folder";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *why = "cannot read it (missing or no permission)";
        return false;
    }
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0 || static_cast<uint64_t>(size) > infengine::kMaxFileBytes) {
        *why = "larger than the 64 MiB the INF engine reads";
        return false;
    }
    file.seekg(0, std::ios::beg);
    bytes->resize(static_cast<size_t>(size));
    file.read(&(*bytes)[0], size);
    if (file.gcount() != size) {
        *why = "cannot read it";
        return false;
    }
    return true;
}

// The files of the folders around the INFs, listed once per folder; names
// compare without case, as Windows compares them.
class FolderFiles {
public:
    bool exists(const fs::path& folder, const std::string& relativePath) {
        fs::path at = folder;
        size_t start = 0;
        while (start <= relativePath.size()) {
            const size_t slash = std::min(relativePath.find('/', start), relativePath.size());
            const std::string part = relativePath.substr(start, slash - start);
            const std::map<std::string, std::string>& names = listing(at);
            auto found = names.find(lowerAscii(part));
            if (found == names.end()) return false;
            at /= found->second;
            start = slash + 1;
        }
        std::error_code error;
        return fs::is_regular_file(at, error);
    }

private:
    const std::map<std::string, std::string>& listing(const fs::path& folder) {
        const std::string key = folder.string();
        auto found = listings.find(key);
        if (found != listings.end()) return found->second;
        std::map<std::string, std::string>& names = listings[key];
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            const std::string name = it->path().filename().string();
            names.emplace(lowerAscii(name), name);
        }
        return names;
    }

    std::map<std::string, std::map<std::string, std::string>> listings;
};

class InfFolderFiles : public PackageFiles {
public:
    InfFolderFiles(FolderFiles& folders, fs::path folder) : folders(folders), folder(std::move(folder)) {}
    bool exists(const std::string& relativePath) const override {
        return !relativePath.empty() && folders.exists(folder, relativePath);
    }

private:
    FolderFiles& folders;
    fs::path folder;
};

bool isInf(const fs::path& path) { return lowerAscii(path.extension().string()) == ".inf"; }

int badUsage(std::string& err, const std::string& message) {
    err += "infcheck: " + message + "\n" + kUsage;
    return 2;
}

}  // namespace

int runInfcheck(const std::vector<std::string>& arguments, std::string& out, std::string& err) {
    enum class Format { Text, Json, Sarif, Annotations } format = Format::Text;
    bool listIds = false;
    bool namedTargets = false;
    std::vector<const Target*> targets;
    std::vector<std::string> ignored;
    std::vector<std::string> paths;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--json" || argument == "--sarif" || argument == "--annotations") {
            const Format chosen = argument == "--json" ? Format::Json
                                  : argument == "--sarif" ? Format::Sarif
                                                          : Format::Annotations;
            if (format != Format::Text && format != chosen) return badUsage(err, "one output format at a time");
            format = chosen;
        } else if (argument == "--ids") {
            listIds = true;
        } else if (argument == "--target") {
            if (i + 1 >= arguments.size()) return badUsage(err, "--target needs a name");
            const std::string name = arguments[++i];
            const std::vector<const Target*> found = findTargets(name);
            if (found.empty()) {
                return badUsage(err, "no target '" + name + "'; the targets are:\n" + targetList());
            }
            namedTargets = true;
            for (const Target* target : found) {
                if (std::find(targets.begin(), targets.end(), target) == targets.end()) targets.push_back(target);
            }
        } else if (argument == "--ignore") {
            if (i + 1 >= arguments.size()) return badUsage(err, "--ignore needs a rule");
            const std::string rule = arguments[++i];
            if (findRule(rule) == nullptr) return badUsage(err, "no rule '" + rule + "'; the rules are:\n" + ruleList());
            ignored.push_back(rule);
        } else if (argument == "--list-targets") {
            out += targetList();
            return 0;
        } else if (argument == "--list-rules") {
            out += ruleList();
            return 0;
        } else if (argument == "--help" || argument == "-h") {
            out += kUsage;
            return 0;
        } else if (argument.size() > 1 && argument[0] == '-') {
            return badUsage(err, "unknown option '" + argument + "'");
        } else if (argument.empty()) {
            return badUsage(err, "an empty path");
        } else {
            paths.push_back(argument);
        }
    }
    if (paths.empty()) return badUsage(err, "no package folder or INF given");
    if (!namedTargets) {
        for (const Target& target : targetTable()) targets.push_back(&target);
    }

    // Every INF of the run, with the folder whose files its rules look for.
    std::vector<FileReport> reports;
    std::vector<std::string> errors;
    struct Entry {
        std::string file;
        fs::path folder;
    };
    std::vector<Entry> entries;
    bool folderUnchecked = false;  // a folder without an INF, or one that could not be walked
    for (const std::string& path : paths) {
        std::error_code error;
        if (!fs::is_directory(path, error)) {
            entries.push_back({path, fs::path(path).parent_path()});
            continue;
        }
        std::vector<Entry> found;
        for (fs::recursive_directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
            std::error_code fileError;
            if (isInf(it->path()) && it->is_regular_file(fileError)) {
                // Shown as the folder given, then '/' and the rest (Windows takes '/' too).
                const std::string below = it->path().lexically_relative(path).generic_string();
                const bool separated = path.back() == '/' || path.back() == '\\';
                found.push_back({path + (separated ? "" : "/") + below, it->path().parent_path()});
            }
        }
        if (error) errors.push_back("infcheck: cannot walk '" + path + "': " + error.message() + "\n");
        if (found.empty()) errors.push_back("infcheck: no INF in '" + path + "'\n");
        folderUnchecked |= error || found.empty();
        std::sort(found.begin(), found.end(), [](const Entry& a, const Entry& b) { return a.file < b.file; });
        entries.insert(entries.end(), found.begin(), found.end());
    }

    FolderFiles folders;
    for (const Entry& entry : entries) {
        FileReport report;
        report.file = entry.file;
        std::string bytes;
        std::string why;
        if (!readWhole(entry.file, &bytes, &why)) {
            report.check.unreadable = why;
        } else {
            const InfFolderFiles files(folders, entry.folder.empty() ? fs::path(".") : entry.folder);
            report.check = checkInf(toolPathArgument(entry.file.c_str()), bytes, targets, &files);
        }
        std::vector<Finding>& findings = report.check.findings;
        findings.erase(std::remove_if(findings.begin(), findings.end(),
                                      [&](const Finding& finding) {
                                          return std::find(ignored.begin(), ignored.end(), finding.rule) !=
                                                 ignored.end();
                                      }),
                       findings.end());
        if (!report.check.unreadable.empty()) {
            errors.push_back("infcheck: cannot check '" + entry.file + "': " + report.check.unreadable + "\n");
        }
        reports.push_back(std::move(report));
    }

    switch (format) {
        case Format::Text: out += textReport(reports, listIds); break;
        case Format::Json: out += jsonReport(reports, listIds); break;
        case Format::Sarif: out += sarifReport(reports); break;
        case Format::Annotations: out += annotationReport(reports); break;
    }
    for (const std::string& message : errors) err += message;
    // A folder without an INF is nothing checked: as bad as an unreadable file.
    return folderUnchecked ? 2 : exitCodeOf(reports);
}
