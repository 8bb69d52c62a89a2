// The rules about the package around the models choice: the [Version]
// signature, DriverVer, string keys, catalog and source files, encoding and
// install sections. They read the INF as the project's INF engine does (the
// reading of the installer's Setup API), with the file's lines.
#pragma once

#include <string>

#include "platform/setupapi/inf_engine.h"
#include "tools/infcheck/findings.h"

// `inf` must have been opened with both styles allowed: a file that is not
// a WIN4 INF only because of its signature gets a bad-signature finding.
// `files` may be null: the file rules are then left out.
void checkPackageRules(const infengine::Inf& inf, const std::string& bytes, const PackageFiles* files,
                       FindingList& findings);

// The 1-based line of a section's first header, or of an entry; 0 when the
// INF has no such section or entry.
uint32_t sectionLine(const infengine::Inf& inf, const std::u16string& section);
uint32_t entryLine(const infengine::Inf& inf, const std::u16string& section, uint32_t entry);
