// infcheck's command line, apart from main() so that tests can run it in-process.
#pragma once

#include <string>
#include <vector>

// `arguments` excludes the program name. Writes the report to `out` and
// messages to `err`; returns the exit code for the whole run: 0 nothing
// found, 1 findings, 2 a file could not be checked or the command line is
// wrong.
int runInfcheck(const std::vector<std::string>& arguments, std::string& out, std::string& err);
