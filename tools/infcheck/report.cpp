#include "tools/infcheck/report.h"

#include <algorithm>
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

std::string joined(const std::vector<std::string>& items) {
    std::string result;
    for (const std::string& item : items) result += (result.empty() ? "" : ", ") + item;
    return result;
}

// The message with the targets it concerns, for the one-line forms.
std::string fullMessage(const Finding& finding) {
    return finding.targets.empty() ? finding.message : finding.message + " (on " + joined(finding.targets) + ")";
}

// 1 where a file has no line to point at (it cannot be read at all).
uint32_t lineOf(const InfCheck& check) { return check.errorLine != 0 ? check.errorLine : 1; }

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

std::string textOfFile(const FileReport& report, bool listIds) {
    const InfCheck& check = report.check;
    std::string out = "infcheck: " + report.file + "\n";
    if (!check.unreadable.empty()) {
        return out + "error " + report.file + ":" + std::to_string(lineOf(check)) + ": cannot check it: " +
               check.unreadable + "\n";
    }
    if (!check.installerOpens) out += "(the installer cannot open this INF: no models choice to show)\n";

    for (const ManufacturerLine& line : check.lines) {
        out += "[Manufacturer] line " + std::to_string(line.sourceLine) + " '" + toUtf8(line.key) + "': " +
               toUtf8(line.base);
        for (const std::u16string& decoration : line.decorations) out += ", " + toUtf8(decoration);
        out += "\n";
    }
    if (check.installerOpens) {
        out += "\n" + padded("target", 18) + padded("Windows", 12) + padded("sees", 6) + padded("line", 6) +
               padded("installer section (IDs)", 36) + "Windows section\n";
    }
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
            out += (i == 0 ? first : std::string(36, ' ')) + padded(std::to_string(check.lines[i].sourceLine), 6) +
                   padded(installer, 36) + windows + (choice.differs ? "   <- differs" : "") + "\n";
            if (listIds) {
                for (const std::u16string& id : idsOf(choice)) out += std::string(42, ' ') + toUtf8(id) + "\n";
            }
        }
    }

    out += "\n";
    for (const Finding& finding : check.findings) {
        out += std::string(severityName(finding.severity)) + " " + report.file + ":" + std::to_string(finding.line) +
               ": [" + finding.rule + "] " + finding.message + "\n";
        if (!finding.targets.empty()) out += "    on " + joined(finding.targets) + "\n";
    }
    out += check.findings.empty() ? "no findings\n" : std::to_string(check.findings.size()) + " finding(s)\n";
    return out;
}

std::string jsonOfFile(const FileReport& report, bool listIds) {
    const InfCheck& check = report.check;
    std::string out = "    {\n      \"inf\": " + jsonString(report.file) + ",\n";
    if (!check.unreadable.empty()) {
        return out + "      \"readable\": false,\n      \"error\": " + jsonString(check.unreadable) +
               ",\n      \"errorLine\": " + (check.errorLine != 0 ? std::to_string(check.errorLine) : "null") +
               ",\n      \"exitCode\": 2\n    }";
    }
    out += "      \"readable\": true,\n      \"installerOpens\": " + std::string(check.installerOpens ? "true" : "false") +
           ",\n      \"manufacturer\": [";
    for (size_t i = 0; i < check.lines.size(); ++i) {
        const ManufacturerLine& line = check.lines[i];
        out += std::string(i ? "," : "") + "\n        {\"line\": " + std::to_string(line.sourceLine) +
               ", \"key\": " + jsonString(toUtf8(line.key)) + ", \"base\": " + jsonNullable(line.hasBase, line.base) +
               ", \"decorations\": " + jsonStrings(line.decorations) + "}";
    }
    out += check.lines.empty() ? "],\n" : "\n      ],\n";

    out += "      \"targets\": [";
    for (size_t t = 0; t < check.targets.size(); ++t) {
        const TargetCheck& target = check.targets[t];
        const Target& info = *target.target;
        out += std::string(t ? "," : "") + "\n        {\"name\": " + jsonString(info.name) +
               ", \"release\": " + jsonString(info.release) +
               ", \"architecture\": " + jsonString(architectureName(info.architecture)) +
               ", \"version\": " + jsonString(version(info.major, info.minor)) +
               ", \"build\": " + std::to_string(info.build) +
               ", \"productType\": " + std::to_string(info.productType) +
               ", \"suiteMask\": " + jsonString(hex4(info.suiteMask)) +
               ", \"installerSees\": " + jsonString(version(info.seenMajor, info.seenMinor)) +
               ", \"idCount\": " + std::to_string(target.idCount);
        if (listIds) out += ", \"ids\": " + jsonStrings(idsOf(target));
        out += ",\n         \"lines\": [";
        for (size_t i = 0; i < target.lines.size(); ++i) {
            const LineChoice& choice = target.lines[i];
            out += std::string(i ? "," : "") + "\n          {\"line\": " + std::to_string(check.lines[i].sourceLine) +
                   ", \"installer\": " + jsonNullable(choice.installerHasSection, choice.installerSection) +
                   ", \"installerSection\": " + jsonString(sectionState(choice, false)) +
                   ", \"idCount\": " + std::to_string(idsOf(choice).size()) +
                   ", \"windows\": " + jsonNullable(choice.windowsChoice != kNoSection, choice.windowsSection) +
                   ", \"differs\": " + (choice.differs ? "true" : "false");
            if (listIds) out += ", \"ids\": " + jsonStrings(idsOf(choice));
            out += "}";
        }
        out += target.lines.empty() ? "]}" : "\n         ]}";
    }
    out += check.targets.empty() ? "],\n" : "\n      ],\n";

    out += "      \"findings\": [";
    for (size_t i = 0; i < check.findings.size(); ++i) {
        const Finding& finding = check.findings[i];
        out += std::string(i ? "," : "") + "\n        {\"rule\": " + jsonString(finding.rule) +
               ", \"severity\": " + jsonString(severityName(finding.severity)) +
               ", \"file\": " + jsonString(report.file) + ", \"line\": " + std::to_string(finding.line) +
               ", \"section\": " + jsonString(finding.section) +
               ", \"entry\": " + (finding.entry >= 0 ? std::to_string(finding.entry) : "null") +
               ", \"key\": " + jsonString(finding.key) + ", \"message\": " + jsonString(finding.message) +
               ", \"targets\": " + jsonStrings(finding.targets) + "}";
    }
    out += check.findings.empty() ? "],\n" : "\n      ],\n";
    return out + "      \"exitCode\": " + std::to_string(exitCodeOf(check)) + "\n    }";
}

// A relative path as a URI reference: '/' separators, reserved and non-ASCII
// bytes percent-encoded; an absolute path as a file: URI.
std::string uriOf(const std::string& path) {
    std::string file = path;
    std::replace(file.begin(), file.end(), '\\', '/');
    std::string prefix;
    if (!file.empty() && file[0] == '/') {
        prefix = "file://";
    } else if (file.size() >= 2 && file[1] == ':') {
        prefix = "file:///";
    }
    std::string out;
    for (unsigned char c : file) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            std::string("-._~/:").find(static_cast<char>(c)) != std::string::npos) {
            out += static_cast<char>(c);
        } else {
            char buffer[4];
            std::snprintf(buffer, sizeof buffer, "%%%02X", c);
            out += buffer;
        }
    }
    return prefix + out;
}

std::string sarifLocation(const std::string& file, uint32_t line) {
    return "{\"physicalLocation\": {\"artifactLocation\": {\"uri\": " + jsonString(uriOf(file)) +
           "}, \"region\": {\"startLine\": " + std::to_string(line) + "}}}";
}

// SARIF messages are sentences.
std::string sentence(const std::string& text) { return text.empty() || text.back() == '.' ? text : text + "."; }

}  // namespace

int exitCodeOf(const InfCheck& check) {
    if (!check.unreadable.empty()) return 2;
    return check.findings.empty() ? 0 : 1;
}

int exitCodeOf(const std::vector<FileReport>& files) {
    int code = 0;
    for (const FileReport& file : files) code = std::max(code, exitCodeOf(file.check));
    return code;
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

std::string textReport(const std::vector<FileReport>& files, bool listIds) {
    std::string out;
    size_t findings = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        out += (i ? "\n" : "") + textOfFile(files[i], listIds);
        findings += files[i].check.findings.size();
    }
    if (files.size() > 1) {
        out += "\n" + std::to_string(files.size()) + " INF(s), " + std::to_string(findings) + " finding(s)\n";
    }
    return out;
}

std::string jsonReport(const std::vector<FileReport>& files, bool listIds) {
    std::string out = "{\n  \"files\": [";
    for (size_t i = 0; i < files.size(); ++i) out += std::string(i ? ",\n" : "\n") + jsonOfFile(files[i], listIds);
    out += files.empty() ? "],\n" : "\n  ],\n";
    return out + "  \"exitCode\": " + std::to_string(exitCodeOf(files)) + "\n}\n";
}

std::string sarifReport(const std::vector<FileReport>& files) {
    const std::vector<Rule>& rules = ruleTable();
    std::string out =
        "{\n  \"$schema\": \"https://json.schemastore.org/sarif-2.1.0.json\",\n  \"version\": \"2.1.0\",\n"
        "  \"runs\": [\n    {\n      \"tool\": {\n        \"driver\": {\n          \"name\": \"infcheck\",\n"
        "          \"version\": \"1.0\",\n          \"rules\": [";
    for (size_t i = 0; i < rules.size(); ++i) {
        const Rule& rule = rules[i];
        out += std::string(i ? "," : "") + "\n            {\"id\": " + jsonString(rule.id) +
               ", \"shortDescription\": {\"text\": " + jsonString(sentence(rule.summary)) + "}" +
               ", \"fullDescription\": {\"text\": " + jsonString(sentence(rule.help)) + "}" +
               ", \"help\": {\"text\": " + jsonString(sentence(rule.help)) + "}" +
               ", \"defaultConfiguration\": {\"level\": " + jsonString(severityName(rule.severity)) + "}}";
    }
    out += "\n          ]\n        }\n      },\n";

    std::string notifications;
    for (const FileReport& file : files) {
        if (file.check.unreadable.empty()) continue;
        notifications += std::string(notifications.empty() ? "\n" : ",\n") +
                         "            {\"level\": \"error\", \"message\": {\"text\": " +
                         jsonString(sentence("Cannot check it: " + file.check.unreadable)) +
                         "}, \"locations\": [" + sarifLocation(file.file, lineOf(file.check)) + "]}";
    }
    out += "      \"invocations\": [\n        {\"executionSuccessful\": " +
           std::string(notifications.empty() ? "true" : "false") + ", \"toolExecutionNotifications\": [" +
           notifications + (notifications.empty() ? "]}\n" : "\n          ]}\n") + "      ],\n";

    out += "      \"results\": [";
    bool first = true;
    for (const FileReport& file : files) {
        for (const Finding& finding : file.check.findings) {
            size_t index = 0;
            while (index < rules.size() && finding.rule != rules[index].id) ++index;
            out += std::string(first ? "\n" : ",\n") + "        {\"ruleId\": " + jsonString(finding.rule) +
                   ", \"ruleIndex\": " + std::to_string(index) +
                   ", \"level\": " + jsonString(severityName(finding.severity)) +
                   ", \"message\": {\"text\": " + jsonString(sentence(fullMessage(finding))) + "}" +
                   ", \"locations\": [" + sarifLocation(file.file, finding.line) + "]}";
            first = false;
        }
    }
    out += first ? "]\n" : "\n      ]\n";
    return out + "    }\n  ]\n}\n";
}

std::string annotationReport(const std::vector<FileReport>& files) {
    std::string out;
    for (const FileReport& file : files) {
        if (!file.check.unreadable.empty()) {
            out += "error " + file.file + ":" + std::to_string(lineOf(file.check)) + ": [unreadable] cannot check it: " +
                   file.check.unreadable + "\n";
        }
        for (const Finding& finding : file.check.findings) {
            out += std::string(severityName(finding.severity)) + " " + file.file + ":" + std::to_string(finding.line) +
                   ": [" + finding.rule + "] " + fullMessage(finding) + "\n";
        }
    }
    return out;
}
