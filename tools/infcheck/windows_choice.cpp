#include "tools/infcheck/windows_choice.h"

#include <tuple>

#include "platform/platform.h"

namespace {

// Windows 10 1607 preview: the first build that reads a build number field.
constexpr uint32_t kFirstBuildWithBuildField = 14310;

char16_t lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

std::u16string toLower(const std::u16string& text) {
    std::u16string result = text;
    for (char16_t& c : result) c = lower(c);
    return result;
}

bool readNumber(const std::u16string& text, uint32_t* value) {
    size_t position = 0;
    uint32_t base = 10;
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
        base = 16;
        position = 2;
    }
    if (position >= text.size()) return false;
    uint64_t result = 0;
    for (; position < text.size(); ++position) {
        const char16_t c = lower(text[position]);
        uint32_t digit;
        if (c >= u'0' && c <= u'9') {
            digit = c - u'0';
        } else if (base == 16 && c >= u'a' && c <= u'f') {
            digit = c - u'a' + 10;
        } else {
            return false;
        }
        result = result * base + digit;
        if (result > 0xFFFFFFFFu) return false;
    }
    *value = static_cast<uint32_t>(result);
    return true;
}

int suiteBits(uint32_t mask) {
    int bits = 0;
    for (; mask != 0; mask &= mask - 1) ++bits;
    return bits;
}

Decoration invalid(const std::string& problem) {
    Decoration decoration;
    decoration.problem = problem;
    return decoration;
}

}  // namespace

Decoration parseDecoration(const std::u16string& text) {
    if (text.empty()) return invalid("empty decoration");
    std::vector<std::u16string> tokens;
    size_t start = 0;
    for (;;) {
        const size_t dot = text.find(u'.', start);
        tokens.push_back(text.substr(start, dot == std::u16string::npos ? std::u16string::npos : dot - start));
        if (dot == std::u16string::npos) break;
        start = dot + 1;
    }

    Decoration decoration;
    const std::u16string platform = toLower(tokens[0]);
    static const struct {
        const char16_t* name;
        uint16_t architecture;
    } known[] = {
        {u"ntx86", PROCESSOR_ARCHITECTURE_INTEL}, {u"ntia64", PROCESSOR_ARCHITECTURE_IA64},
        {u"ntamd64", PROCESSOR_ARCHITECTURE_AMD64}, {u"ntarm", PROCESSOR_ARCHITECTURE_ARM},
        {u"ntarm64", PROCESSOR_ARCHITECTURE_ARM64},
    };
    if (platform == u"nt") {
        decoration.neutral = true;
    } else {
        bool found = false;
        for (const auto& entry : known) {
            if (platform == entry.name) {
                decoration.architecture = entry.architecture;
                found = true;
            }
        }
        if (!found) return invalid("unrecognised platform");
    }

    if (tokens.size() > 6) return invalid("more than six fields");
    bool* present[] = {&decoration.hasMajor, &decoration.hasMinor, &decoration.hasProductType,
                       &decoration.hasSuiteMask, &decoration.hasBuild};
    uint32_t* values[] = {&decoration.major, &decoration.minor, &decoration.productType, &decoration.suiteMask,
                          &decoration.build};
    for (size_t i = 1; i < tokens.size(); ++i) {
        if (tokens[i].empty()) continue;
        if (!readNumber(tokens[i], values[i - 1])) return invalid("a field is not a number");
        *present[i - 1] = true;
    }
    if (decoration.hasMinor && !decoration.hasMajor) return invalid("a minor version without a major version");
    if (decoration.hasBuild && !decoration.hasMajor) return invalid("a build number without a version");
    decoration.valid = true;
    return decoration;
}

bool baseAppliesOn(const Target& target) {
    return target.neutralForAll || target.architecture == PROCESSOR_ARCHITECTURE_INTEL;
}

bool appliesOn(const Decoration& decoration, const Target& target) {
    if (!decoration.valid) return false;
    if (decoration.neutral ? !baseAppliesOn(target) : decoration.architecture != target.architecture) return false;
    if (decoration.hasMajor &&
        std::make_tuple(decoration.major, decoration.minor) > std::make_tuple(target.major, target.minor)) {
        return false;
    }
    if (decoration.hasBuild) {
        if (target.build < kFirstBuildWithBuildField) return false;
        if (decoration.major == target.major && decoration.minor == target.minor && target.build < decoration.build) {
            return false;
        }
    }
    if (decoration.hasProductType && decoration.productType != target.productType) return false;
    if (decoration.hasSuiteMask && (decoration.suiteMask & target.suiteMask) != decoration.suiteMask) return false;
    return true;
}

int chooseWindowsDecoration(const std::vector<std::u16string>& decorations, const Target& target, bool baseExists) {
    std::vector<Decoration> parsed;
    for (const std::u16string& decoration : decorations) parsed.push_back(parseDecoration(decoration));
    return chooseWindowsDecoration(parsed, target, baseExists);
}

int chooseWindowsDecoration(const std::vector<Decoration>& decorations, const Target& target, bool baseExists) {
    return chooseWindows(decorations, target, baseExists).chosen;
}

WindowsChoice chooseWindows(const std::vector<Decoration>& decorations, const Target& target, bool baseExists) {
    // Rank: version, then build, then a named architecture over plain "nt",
    // then product type, then suite mask (more bits: a closer match); the
    // first on the line on a tie.
    WindowsChoice choice;
    int best = -1;
    std::tuple<int64_t, uint32_t, uint32_t, bool, bool, bool> bestRank;
    int bestBits = 0;
    for (size_t i = 0; i < decorations.size(); ++i) {
        const Decoration& decoration = decorations[i];
        if (!appliesOn(decoration, target)) continue;
        const auto rank = std::make_tuple(decoration.hasMajor ? static_cast<int64_t>(decoration.major) : -1,
                                          decoration.minor, decoration.build, !decoration.neutral,
                                          decoration.hasProductType, decoration.hasSuiteMask);
        const int bits = decoration.hasSuiteMask ? suiteBits(decoration.suiteMask) : 0;
        if (best >= 0 && rank == bestRank && decoration.hasSuiteMask &&
            decoration.suiteMask != decorations[best].suiteMask) {
            choice.suiteMaskTie = true;
        }
        if (best < 0 || rank > bestRank || (rank == bestRank && bits > bestBits)) {
            if (best < 0 || rank > bestRank) choice.suiteMaskTie = false;
            best = static_cast<int>(i);
            bestRank = rank;
            bestBits = bits;
        }
    }
    if (best >= 0) {
        choice.chosen = best;
    } else {
        choice.chosen = baseExists && baseAppliesOn(target) ? kBaseSection : kNoSection;
    }
    return choice;
}

bool hasPrereleaseBuild(const Decoration& decoration) {
    return decoration.valid && decoration.hasBuild &&
           std::make_tuple(decoration.major, decoration.minor, decoration.build) <=
               std::make_tuple(10u, 0u, kFirstBuildWithBuildField);
}
