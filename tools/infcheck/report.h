// infcheck's two report forms: a table for people and JSON for CI. Both say
// the same: per target and [Manufacturer] line the installer's section and
// its ID count beside Windows' section, then the findings.
#pragma once

#include <string>

#include "tools/infcheck/analysis.h"

// What the exit code is for a finished check: 0 nothing found, 1 findings,
// 2 the INF could not be read.
int exitCodeOf(const InfCheck& check);

std::string textReport(const std::string& infArgument, const InfCheck& check, bool listIds);
std::string jsonReport(const std::string& infArgument, const InfCheck& check, bool listIds);

// JSON string literal of UTF-8 text, quotes included.
std::string jsonString(const std::string& text);
