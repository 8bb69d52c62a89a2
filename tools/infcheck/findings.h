// Collects the findings of one INF: one Finding per rule, place and message,
// with the targets it concerns gathered onto it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/infcheck/analysis.h"

class FindingList {
public:
    explicit FindingList(std::vector<Finding>& findings) : findings(findings) {}

    // `rule` must be an ID of ruleTable(). `line` is 1-based; `entry` is the
    // position in `section`, -1 for the whole section.
    void add(const char* rule, uint32_t line, const std::string& section, int64_t entry, const std::string& key,
             const std::string& message, const Target* target = nullptr);

    // By line, then in the order of ruleTable().
    void sort();

private:
    std::vector<Finding>& findings;
    std::map<std::string, size_t> index;
};
