#include "text/inf_status.h"

namespace {

const char16_t kUnexpected[] = u"Unexpected error";

// Indexed by code; 6 and any code without an entry read "Unexpected error".
const char16_t* const kTexts[] = {
    u"OK",
    u"INF file not found",
    u"INF path not found",
    u"INF section not found",
    u"Error parsing INF file",
    u"Error allocating memory",
    kUnexpected,
    u"Cannot execute this 32-bit program on 64-bit Windows",
    u"No such hardware ID found in the system",
};

constexpr InfStatus kCodeCount = static_cast<InfStatus>(sizeof(kTexts) / sizeof(kTexts[0]));

}  // namespace

CWString statusText(InfStatus status) {
    if (status < 0 || status >= kCodeCount) return CWString(kUnexpected);
    return CWString(kTexts[status]);
}
