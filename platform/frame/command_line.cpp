#include "platform/frame/command_line.h"

namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

const char16_t* commandLineTail(const char16_t* commandLine) {
    if (commandLine == nullptr) return u"";
    const char16_t* p = commandLine;
    if (*p == u'"') {
        ++p;
        while (*p != 0 && *p != u'"') ++p;
        if (*p == u'"') ++p;
    } else {
        while (*p != 0 && !isBlank(*p)) ++p;
    }
    while (isBlank(*p)) ++p;
    return p;
}
