#include "tools/infcheck/rules.h"

const char* severityName(Severity severity) {
    switch (severity) {
        case Severity::Error: return "error";
        case Severity::Warning: return "warning";
        case Severity::Note: return "note";
    }
    return "error";
}

const std::vector<Rule>& ruleTable() {
    static const std::vector<Rule> table = {
        {"bad-signature", Severity::Error, "The [Version] signature is not one that Windows accepts",
         "Windows opens an INF only when the first Signature line of [Version] is \"$Windows NT$\" or \"$Chicago$\"; "
         "write one of them."},
        {"no-manufacturer", Severity::Error, "No [Manufacturer] section with a line in it",
         "Without a [Manufacturer] line the installer stops with a parse error and Windows finds no device in the "
         "package; add the section."},
        {"driver-version", Severity::Error, "DriverVer is missing or malformed",
         "Windows ranks drivers by the DriverVer date and version, and skips a package that is not newer as \"not "
         "better\"; write DriverVer = mm/dd/yyyy,w.x.y.z in [Version]."},
        {"undefined-string", Severity::Error, "A %strkey% token has no [Strings] entry",
         "Windows leaves an undefined token as written, so the device shows the raw %token%; define the key in "
         "[Strings], or write %% for a literal percent sign."},
        {"catalog-missing", Severity::Error, "The catalog file that [Version] names is not in the package",
         "Without its catalog the package is unsigned, and 64-bit Windows does not install it; ship the .cat "
         "file beside the INF or correct the name."},
        {"no-catalog", Severity::Warning, "A package for 64-bit Windows names no catalog file",
         "64-bit Windows installs only signed packages, and the signature is the catalog that CatalogFile names; "
         "add CatalogFile to [Version] and ship the signed catalog."},
        {"source-file-missing", Severity::Error, "A file listed in [SourceDisksFiles] is not in the package",
         "Windows copies the files of [SourceDisksFiles] from the package folder and fails the installation "
         "when one is missing; ship the file where its disk and subdirectory say, or drop the entry."},
        {"utf8-without-bom", Severity::Warning, "Non-ASCII text in a UTF-8 file without a byte-order mark",
         "Windows reads an INF without a byte-order mark in the ANSI code page (Windows-1252), so non-ASCII "
         "names come out garbled; save the file as UTF-16LE with a byte-order mark."},
        {"install-section-missing", Severity::Error, "A models line names an install section that does not exist",
         "Windows looks for the install section under the name the models line gives (with .NT or .NT<arch> "
         "appended first) and cannot install the device without it; add the section or correct the name."},
        {"missing-section", Severity::Error, "A models section that [Manufacturer] names is missing",
         "Windows (and the installer) find no device in a models section that is not there; add the section, "
         "empty if the package offers nothing there."},
        {"malformed-decoration", Severity::Warning, "A [Manufacturer] decoration that Windows cannot read",
         "Windows never uses a models section whose decoration it cannot read (unknown platform such as "
         "NT$ARCH$, a field that is not a number, more than six fields); correct the decoration."},
        {"invalid-build", Severity::Warning, "A decoration names a build number at or below 10.0.14310",
         "Microsoft's pages call a build number at or below 14310 invalid; infcheck reads it as a minimum build, "
         "as Windows compares builds from 14310 on; name a build above 14310 or leave the build out."},
        {"unused-decoration", Severity::Note, "A decoration that fits none of the Windows systems of the table",
         "Neither Windows nor the installer uses the section on any system infcheck knows; drop the decoration "
         "or correct its version."},
        {"windows-uses-nothing", Severity::Note,
         "Windows uses no models section of a line on some systems: no decoration fits and there is no "
         "undecorated section",
         "Windows installs nothing from the line on those systems; add a section decorated for them, or an "
         "undecorated one, if the package is meant for them."},
        {"differs", Severity::Error, "The installer reads another models section than Windows uses",
         "The installer hands the driver update IDs from a section Windows will not use, so devices that only "
         "Windows' section lists are never installed; give both the same section (see the README)."},
        {"no-ids", Severity::Error, "The installer collects no ID where Windows would use the package",
         "Every device then gets \"No suitable hardware\" from the installer; list the IDs in the section the "
         "installer reads there."},
        {"empty-id", Severity::Warning, "A models line with an empty or missing hardware ID",
         "With an empty hardware ID the installer tries only the compatible IDs of the line; without the field "
         "it stops reading the section there; write the hardware ID."},
        {"generic-id", Severity::Warning, "A class-level ID (USB\\Class_.., PCI\\CC_.., ...) the installer collects",
         "The installer forces the driver onto every device that reports a class-level ID; list the vendor's "
         "own IDs instead."},
        {"duplicate-id", Severity::Note, "An ID the installer collects more than once",
         "The installer hands it to the driver update once per listing; list each ID once per section."},
    };
    return table;
}

const Rule* findRule(const std::string& id) {
    for (const Rule& rule : ruleTable()) {
        if (id == rule.id) return &rule;
    }
    return nullptr;
}
