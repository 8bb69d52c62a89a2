#include "tools/infcheck/report.h"

#include <cstdio>

#include "text/utf8.h"

namespace {

std::string version(uint32_t major, uint32_t minor) { return std::to_string(major) + "." + std::to_string(minor); }

std::string hex4(uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%04x", static_cast<unsigned>(value));
    return buffer;
}

std::string padded(const std::string& text, size_t width) {
    return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

std::string location(const Finding& finding) {
    std::string where = "[" + finding.section + "]";
    if (finding.line >= 0) where += " line " + std::to_string(finding.line);
    if (!finding.key.empty()) where += " '" + finding.key + "'";
    return where;
}

std::string joined(const std::vector<std::string>& items) {
    std::string result;
    for (const std::string& item : items) result += (result.empty() ? "" : ", ") + item;
    return result;
}

std::string statusError(const InfCheck& check) {
    if (!check.refused.empty()) return "too large to check: " + check.refused;
    return toUtf8(std::u16string(statusText(check.openStatus).data, statusText(check.openStatus).length));
}

std::string jsonStrings(const std::vector<std::u16string>& items) {
    std::string result = "[";
    for (size_t i = 0; i < items.size(); ++i) result += (i ? ", " : "") + jsonString(toUtf8(items[i]));
    return result + "]";
}

std::string jsonStrings(const std::vector<std::string>& items) {
    std::string result = "[";
    for (size_t i = 0; i < items.size(); ++i) result += (i ? ", " : "") + jsonString(items[i]);
    return result + "]";
}

std::string jsonNullable(bool present, const std::u16string& text) { return present ? jsonString(toUtf8(text)) : "null"; }

// "found" (or the ID count), "empty" or "missing".
std::string sectionState(const LineChoice& choice, bool count) {
    if (choice.installerSectionExists) return count ? std::to_string(idsOf(choice).size()) : "found";
    return choice.installerSectionEmpty ? "empty" : "missing";
}

}  // namespace

int exitCodeOf(const InfCheck& check) {
    if (check.openStatus != INF_OK || !check.refused.empty()) return 2;
    return check.findings.empty() ? 0 : 1;
}

std::string jsonString(const std::string& text) {
    std::string result = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            result += '\\';
            result += static_cast<char>(c);
        } else if (c < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            result += buffer;
        } else {
            result += static_cast<char>(c);
        }
    }
    return result + "\"";
}

std::string textReport(const std::string& infArgument, const InfCheck& check, bool listIds) {
    std::string out = "infcheck: " + infArgument + "\n";
    if (exitCodeOf(check) == 2) return out + "cannot check the INF: " + statusError(check) + "\n";

    for (const ManufacturerLine& line : check.lines) {
        out += "[Manufacturer] line " + std::to_string(line.index) + " '" + toUtf8(line.key) + "': " + toUtf8(line.base);
        for (const std::u16string& decoration : line.decorations) out += ", " + toUtf8(decoration);
        out += "\n";
    }
    out += "\n" + padded("target", 18) + padded("Windows", 12) + padded("sees", 6) + padded("line", 6) +
           padded("installer section (IDs)", 36) + "Windows section\n";
    for (const TargetCheck& target : check.targets) {
        const Target& t = *target.target;
        std::string first = padded(t.name, 18) + padded(version(t.major, t.minor) + "." + std::to_string(t.build), 12) +
                            padded(version(t.seenMajor, t.seenMinor), 6);
        if (target.lines.empty()) out += first + "(no [Manufacturer] line)\n";
        for (size_t i = 0; i < target.lines.size(); ++i) {
            const LineChoice& choice = target.lines[i];
            std::string installer = "-";
            if (choice.installerHasSection) {
                installer = toUtf8(choice.installerSection) + " (" + sectionState(choice, true) + ")";
            }
            const std::string windows = choice.windowsChoice == kNoSection ? "-" : toUtf8(choice.windowsSection);
            out += (i == 0 ? first : std::string(36, ' ')) + padded(std::to_string(i), 6) + padded(installer, 36) +
                   windows + (choice.differs ? "   <- differs" : "") + "\n";
            if (listIds) {
                for (const std::u16string& id : idsOf(choice)) out += std::string(42, ' ') + toUtf8(id) + "\n";
            }
        }
    }

    out += "\n";
    for (const Finding& finding : check.findings) {
        out += finding.kind + ": " + location(finding) + ": " + finding.message + "\n";
        if (!finding.targets.empty()) out += "    on " + joined(finding.targets) + "\n";
    }
    out += check.findings.empty() ? "no findings\n" : std::to_string(check.findings.size()) + " finding(s)\n";
    return out;
}

std::string jsonReport(const std::string& infArgument, const InfCheck& check, bool listIds) {
    std::string out = "{\n  \"inf\": " + jsonString(infArgument) + ",\n";
    if (exitCodeOf(check) == 2) {
        return out + "  \"readable\": false,\n  \"error\": " + jsonString(statusError(check)) +
               ",\n  \"exitCode\": 2\n}\n";
    }
    out += "  \"readable\": true,\n  \"manufacturer\": [";
    for (size_t i = 0; i < check.lines.size(); ++i) {
        const ManufacturerLine& line = check.lines[i];
        out += std::string(i ? "," : "") + "\n    {\"line\": " + std::to_string(line.index) +
               ", \"key\": " + jsonString(toUtf8(line.key)) + ", \"base\": " + jsonNullable(line.hasBase, line.base) +
               ", \"decorations\": " + jsonStrings(line.decorations) + "}";
    }
    out += check.lines.empty() ? "],\n" : "\n  ],\n";

    out += "  \"targets\": [";
    for (size_t t = 0; t < check.targets.size(); ++t) {
        const TargetCheck& target = check.targets[t];
        const Target& info = *target.target;
        out += std::string(t ? "," : "") + "\n    {\"name\": " + jsonString(info.name) +
               ", \"release\": " + jsonString(info.release) +
               ", \"architecture\": " + jsonString(architectureName(info.architecture)) +
               ", \"version\": " + jsonString(version(info.major, info.minor)) +
               ", \"build\": " + std::to_string(info.build) +
               ", \"productType\": " + std::to_string(info.productType) +
               ", \"suiteMask\": " + jsonString(hex4(info.suiteMask)) +
               ", \"installerSees\": " + jsonString(version(info.seenMajor, info.seenMinor)) +
               ", \"idCount\": " + std::to_string(target.idCount);
        if (listIds) out += ", \"ids\": " + jsonStrings(idsOf(target));
        out += ",\n     \"lines\": [";
        for (size_t i = 0; i < target.lines.size(); ++i) {
            const LineChoice& choice = target.lines[i];
            out += std::string(i ? "," : "") + "\n      {\"line\": " + std::to_string(i) +
                   ", \"installer\": " + jsonNullable(choice.installerHasSection, choice.installerSection) +
                   ", \"installerSection\": " + jsonString(sectionState(choice, false)) +
                   ", \"idCount\": " + std::to_string(idsOf(choice).size()) +
                   ", \"windows\": " + jsonNullable(choice.windowsChoice != kNoSection, choice.windowsSection) +
                   ", \"differs\": " + (choice.differs ? "true" : "false");
            if (listIds) out += ", \"ids\": " + jsonStrings(idsOf(choice));
            out += "}";
        }
        out += target.lines.empty() ? "]}" : "\n     ]}";
    }
    out += check.targets.empty() ? "],\n" : "\n  ],\n";

    out += "  \"findings\": [";
    for (size_t i = 0; i < check.findings.size(); ++i) {
        const Finding& finding = check.findings[i];
        out += std::string(i ? "," : "") + "\n    {\"kind\": " + jsonString(finding.kind) +
               ", \"section\": " + jsonString(finding.section) +
               ", \"line\": " + (finding.line >= 0 ? std::to_string(finding.line) : "null") +
               ", \"key\": " + jsonString(finding.key) + ", \"message\": " + jsonString(finding.message) +
               ", \"targets\": " + jsonStrings(finding.targets) + "}";
    }
    out += check.findings.empty() ? "],\n" : "\n  ],\n";
    return out + "  \"exitCode\": " + std::to_string(exitCodeOf(check)) + "\n}\n";
}
