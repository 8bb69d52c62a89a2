#include "tools/infcheck/findings.h"

#include <algorithm>

void FindingList::add(const char* rule, uint32_t line, const std::string& section, int64_t entry,
                      const std::string& key, const std::string& message, const Target* target) {
    const std::string identity =
        std::string(rule) + '\n' + std::to_string(line) + '\n' + section + '\n' + std::to_string(entry) + '\n' + message;
    auto found = index.find(identity);
    if (found == index.end()) {
        Finding finding;
        finding.rule = rule;
        const Rule* known = findRule(rule);
        finding.severity = known != nullptr ? known->severity : Severity::Error;
        finding.line = line != 0 ? line : 1;  // the file as a whole: its first line
        finding.section = section;
        finding.entry = entry;
        finding.key = key;
        finding.message = message;
        found = index.emplace(identity, findings.size()).first;
        findings.push_back(finding);
    }
    std::vector<std::string>& targets = findings[found->second].targets;
    if (target != nullptr && (targets.empty() || targets.back() != target->name)) targets.push_back(target->name);
}

void FindingList::sort() {
    auto rank = [](const Finding& finding) {
        const std::vector<Rule>& rules = ruleTable();
        for (size_t i = 0; i < rules.size(); ++i) {
            if (finding.rule == rules[i].id) return i;
        }
        return rules.size();
    };
    std::stable_sort(findings.begin(), findings.end(), [&](const Finding& a, const Finding& b) {
        return a.line != b.line ? a.line < b.line : rank(a) < rank(b);
    });
    index.clear();
}
