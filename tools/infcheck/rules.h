// The rules infcheck reports under: a stable ID each, a severity and the
// descriptions that reports (SARIF's rule list, the README) show.
#pragma once

#include <string>
#include <vector>

// error: the package will not install as intended; warning: it may not;
// note: worth knowing, harmless as it stands.
enum class Severity { Error, Warning, Note };

const char* severityName(Severity severity);  // "error", "warning", "note"

struct Rule {
    const char* id;
    Severity severity;
    const char* summary;  // one line: what is wrong
    const char* help;     // one sentence: why it matters and what to change
};

// Every rule, in the order reports list findings of equal line.
const std::vector<Rule>& ruleTable();

// The rule with this ID; nullptr when there is none.
const Rule* findRule(const std::string& id);
