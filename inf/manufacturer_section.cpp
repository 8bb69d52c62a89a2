// Models-section selection: for every [Manufacturer] line, the decoration
// that fits the running system with the most tokens (the first on a tie), or
// the bare models section name when none fits.
#include "inf/cinf_file.h"
#include "text/routines.h"

namespace {

enum class Architecture { Unrecognised, NeverMatches, Value };

// Token 0 of a decoration. "nt" alone is known but names no architecture.
Architecture lookUpArchitecture(const CWString& token, WORD* value) {
    static const struct {
        const char16_t* name;
        WORD value;
    } known[] = {
        {u"ntx86", PROCESSOR_ARCHITECTURE_INTEL},
        {u"ntia64", PROCESSOR_ARCHITECTURE_IA64},
        {u"ntamd64", PROCESSOR_ARCHITECTURE_AMD64},
    };
    if (compareNoCase(token.data, u"nt") == 0) return Architecture::NeverMatches;
    for (const auto& entry : known) {
        if (compareNoCase(token.data, entry.name) == 0) {
            *value = entry.value;
            return Architecture::Value;
        }
    }
    return Architecture::Unrecognised;
}

bool hasLowerHexPrefix(const CWString& token) {
    return token.length >= 2 && token.data[0] == u'0' && token.data[1] == u'x';
}

}  // namespace

InfStatus CInfFile::readManufacturerSection(CWStringArray& modelsSections) {
    if (!findFirstLine(CWString(u"Manufacturer"), CWString::Empty)) {
        trace(u"Error: [Manufacturer] section not found\n");
        return INF_PARSE_ERROR;
    }
    trace(u"Reading section [Manufacturer]:\n");

    CWString lineText;
    CWString baseName;
    CWString decoration;
    CWString bestDecoration;
    for (;;) {
        if (readLineText(lineText) != INF_OK) return INF_OK;
        trace(u"  Examining line '%s':\n", lineText.data);
        if (readField(1, baseName) != INF_OK) return INF_OK;

        bestDecoration = CWString::Empty;
        uint32_t bestTokenCount = 0;
        for (uint32_t field = 2; readField(field, decoration) == INF_OK; ++field) {
            judgeDecoration(decoration, bestDecoration, bestTokenCount);
        }

        CWString sectionName = bestDecoration.isEmpty() ? baseName : baseName + u"." + bestDecoration;
        modelsSections.append(sectionName);
        trace(u"  Adding '%s' to models section reference list.\n", sectionName.data);

        if (!SetupFindNextLine(&context, &context)) return INF_OK;
    }
}

void CInfFile::judgeDecoration(const CWString& decoration, CWString& bestDecoration, uint32_t& bestTokenCount) {
    CWStringArray tokens = CWStringArray::split(decoration);
    const uint32_t n = tokens.itemCount;
    if (verbose) {
        trace(u"    Examining models section decoration '%s':\n", tokens.join().data);
    }

    // An empty field has no tokens, so no architecture to look at: it is
    // reported as malformed, which is what it is, and never chosen.
    if (n == 0) {
        trace(u"      Warning: decoration '%s' is malformed; ignoring.\n", decoration.data);
        return;
    }

    WORD architecture = 0;
    Architecture kind = lookUpArchitecture(tokens.items[0], &architecture);
    if (kind == Architecture::Unrecognised) {
        trace(u"      Warning: unrecognized NT architecture '%s'.\n", decoration.data);
        return;
    }

    // Tokens 1 onward are numbers; a lower-case 0x prefix means hexadecimal.
    uint32_t values[5] = {};
    for (uint32_t i = 1; i < n; ++i) {
        CWString& token = tokens.items[i];
        uint32_t value = 0;
        bool wellFormed;
        if (hasLowerHexPrefix(token)) {
            token = token.mid(2, token.length - 2);
            wellFormed = scanHexadecimal(token.data, &value);
        } else {
            wellFormed = scanUnsigned(token.data, &value);
        }
        if (!wellFormed) {
            trace(u"      Warning: decoration '%s' is malformed; ignoring.\n", decoration.data);
            return;
        }
        if (i < 5) values[i] = value;
    }

    const WORD productType = static_cast<BYTE>(values[3]);
    const WORD suiteMask = static_cast<WORD>(values[4]);
    if (kind == Architecture::NeverMatches || architecture != systemInfo.wProcessorArchitecture) {
        trace(u"      Decoration doesn't match this system's CPU architecture\n");
    } else if (n >= 2 && values[1] != osVersion.dwMajorVersion) {
        trace(u"      Decoration doesn't match this system's major OS version\n");
    } else if (n >= 3 && values[2] != osVersion.dwMinorVersion) {
        trace(u"      Decoration doesn't match this system's minor OS version\n");
    } else if (n >= 4 && productType != osVersion.wProductType) {
        trace(u"      DDecoration doesn't match this system's OS product type\n");
    } else if (n >= 5 && (suiteMask & osVersion.wSuiteMask) != suiteMask) {
        trace(u"      Decoration doesn't match this system's OS suite mask\n");
    } else if (n > bestTokenCount) {
        bestDecoration = decoration;
        bestTokenCount = n;
        trace(u"      Decoration is the best match so far.\n");
    } else {
        trace(u"      Decoration matches this system but is not the best match.\n");
    }
}
