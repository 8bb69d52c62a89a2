#include "tools/infcheck/cli.h"

#include <cstdio>
#include <fstream>

#include "setupapi/inf_engine.h"
#include "tool_path.h"
#include "tools/infcheck/analysis.h"
#include "tools/infcheck/report.h"

namespace {

const char kUsage[] =
    "usage: infcheck [--json] [--ids] [--target NAME]... INF\n"
    "       infcheck --list-targets\n"
    "Evaluates INF against a table of Windows systems and prints, per system and\n"
    "[Manufacturer] line, the models section the installer chooses, the one Windows\n"
    "would choose, and how many IDs the installer would try; then the findings.\n"
    "  --json          the same report as JSON\n"
    "  --ids           list the IDs the installer would try\n"
    "  --target NAME   only the target NAME, or every target NAME-*; repeatable\n"
    "  --list-targets  print the target table\n"
    "Exit code: 0 nothing found, 1 findings, 2 the INF cannot be read or bad usage.\n";

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

// The file's bytes, for telling empty sections from missing ones; files
// larger than the INF engine takes are left unread.
bool readWhole(const std::string& path, std::string* bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0 || static_cast<uint64_t>(size) > infengine::kMaxFileBytes) return false;
    file.seekg(0, std::ios::beg);
    bytes->resize(static_cast<size_t>(size));
    file.read(&(*bytes)[0], size);
    return file.gcount() == size;
}

int badUsage(std::string& err, const std::string& message) {
    err += "infcheck: " + message + "\n" + kUsage;
    return 2;
}

}  // namespace

int runInfcheck(const std::vector<std::string>& arguments, std::string& out, std::string& err) {
    bool json = false;
    bool listIds = false;
    bool namedTargets = false;
    std::vector<const Target*> targets;
    std::string inf;
    bool haveInf = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--json") {
            json = true;
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
                bool known = false;
                for (const Target* already : targets) known |= already == target;
                if (!known) targets.push_back(target);
            }
        } else if (argument == "--list-targets") {
            out += targetList();
            return 0;
        } else if (argument == "--help" || argument == "-h") {
            out += kUsage;
            return 0;
        } else if (argument.size() > 1 && argument[0] == '-') {
            return badUsage(err, "unknown option '" + argument + "'");
        } else if (haveInf) {
            return badUsage(err, "only one INF at a time");
        } else {
            inf = argument;
            haveInf = true;
        }
    }
    if (!haveInf || inf.empty()) return badUsage(err, "no INF given");
    if (!namedTargets) {
        for (const Target& target : targetTable()) targets.push_back(&target);
    }

    std::string bytes;
    const bool haveBytes = readWhole(inf, &bytes);
    const InfCheck check = checkInf(toolPathArgument(inf.c_str()), haveBytes ? &bytes : nullptr, targets);
    out += json ? jsonReport(inf, check, listIds) : textReport(inf, check, listIds);
    const int code = exitCodeOf(check);
    if (code == 2) err += "infcheck: cannot check '" + inf + "': " + (check.refused.empty() ? "cannot read it" : check.refused) + "\n";
    return code;
}
