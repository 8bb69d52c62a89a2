// infcheck's report forms, over every INF of a run: a table for people, JSON,
// SARIF 2.1.0 for code-scanning views, and one-line annotations for CI logs.
// All say the same findings; the table and JSON also show, per target and
// [Manufacturer] line, the installer's section and its ID count beside
// Windows' section.
#pragma once

#include <string>
#include <vector>

#include "tools/infcheck/analysis.h"

struct FileReport {
    std::string file;  // as the command line gave it, or found below a folder given there
    InfCheck check;
};

// 0 nothing found, 1 findings, 2 a file could not be checked.
int exitCodeOf(const InfCheck& check);
int exitCodeOf(const std::vector<FileReport>& files);

std::string textReport(const std::vector<FileReport>& files, bool listIds);
std::string jsonReport(const std::vector<FileReport>& files, bool listIds);
std::string sarifReport(const std::vector<FileReport>& files);
// "severity file:line: [rule] message", one line per finding.
std::string annotationReport(const std::vector<FileReport>& files);

// JSON string literal of UTF-8 text, quotes included.
std::string jsonString(const std::string& text);
