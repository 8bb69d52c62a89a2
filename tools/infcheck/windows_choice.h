// How Windows chooses the models section of one [Manufacturer] line, by its
// documented rules (not the installer's):
//   nt[Architecture][.[Major][.[Minor][.[ProductType][.[SuiteMask][.[Build]]]]]]
// - the version is a minimum; the applicable decoration with the highest
//   version (then build) wins, so a version outranks product type and suite;
//   of fitting suite masks the one with the most bits wins (closest match),
//   then the first on the line;
// - fields may be empty; an empty version applies to every version;
// - ProductType must equal the system's; every SuiteMask bit must be set in
//   the system's;
// - a build is looked at only when major.minor equal the system's, and only
//   from build 14310 on; older systems take such a decoration as invalid;
// - plain "nt" is platform-neutral: every platform before Server 2003 SP1,
//   x86 only from then on; the same holds for the undecorated section, which
//   Windows uses when no decoration applies and the INF has it; else none.
// Pure functions over the decoration texts and a target, for easy testing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/infcheck/targets.h"

struct Decoration {
    bool valid = false;
    std::string problem;  // why it is not valid, for people
    bool neutral = false;  // plain "nt"
    uint16_t architecture = 0;
    bool hasMajor = false, hasMinor = false, hasProductType = false, hasSuiteMask = false, hasBuild = false;
    uint32_t major = 0, minor = 0, productType = 0, suiteMask = 0, build = 0;
};

// Reads one decoration; case does not matter. Numbers are decimal, or
// hexadecimal after "0x"/"0X".
Decoration parseDecoration(const std::u16string& text);

// Whether Windows would consider this decoration on the target.
bool appliesOn(const Decoration& decoration, const Target& target);

// Whether the undecorated models section serves the target when no
// decoration applies.
bool baseAppliesOn(const Target& target);

// The outcome for one [Manufacturer] line: the index of the chosen
// decoration, or kBaseSection (the undecorated name) or kNoSection (the INF
// offers this system nothing from this line: no decoration fits and the
// undecorated section does not serve the system or is not in the INF).
constexpr int kBaseSection = -1;
constexpr int kNoSection = -2;

struct WindowsChoice {
    int chosen = kNoSection;
    // Several fitting decorations differed only in their suite masks; the
    // one with the most bits won (the pages say only "most closely matches").
    bool suiteMaskTie = false;
};
WindowsChoice chooseWindows(const std::vector<Decoration>& decorations, const Target& target, bool baseExists);

int chooseWindowsDecoration(const std::vector<std::u16string>& decorations, const Target& target,
                            bool baseExists = true);
// The same over decorations read once with parseDecoration.
int chooseWindowsDecoration(const std::vector<Decoration>& decorations, const Target& target, bool baseExists = true);

// A build number at or below 10.0.14310, which Microsoft's pages call invalid;
// infcheck reads it as a minimum build all the same.
bool hasPrereleaseBuild(const Decoration& decoration);
