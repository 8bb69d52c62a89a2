// Shared by the engine's tests: open INF text from a string and describe
// sections and lines compactly, so that tables of cases stay readable.
#pragma once

#include <string>

#include "platform/setupapi/inf_engine.h"
#include "text/utf8.h"

namespace infengine {
namespace testing {

// UTF-16 to UTF-8 for messages; CR shows as <CR>, an unpaired surrogate as <D800>.
inline std::string utf8(const std::u16string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const char32_t c = nextCodePoint(text, &i);
        if (c == u'\r') {
            out += "<CR>";
        } else if (isSurrogate(c)) {
            char buf[12];
            snprintf(buf, sizeof buf, "<%04X>", unsigned(c));
            out += buf;
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

// Bytes as Latin-1 (the same as Windows-1252 from 0xA0 up).
inline std::u16string u16(const std::string& bytes) {
    std::u16string out;
    for (char c : bytes) out += char16_t(static_cast<unsigned char>(c));
    return out;
}

struct Opened {
    std::unique_ptr<Inf> inf;
    OpenResult result;
};

inline Opened openBytes(const std::string& bytes, Options options = Options()) {
    Opened o;
    o.inf = Inf::open(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), options, &o.result);
    return o;
}

constexpr const char* kHead = "[Version]\r\nSignature=\"$Chicago$\"\r\n";

// "key : v1|v2" per line, lines joined by " / "; "#" when field 0 fails,
// "(none)" when the section has no lines, "(missing)" when it does not exist.
inline std::string describe(const Inf& inf, const std::string& section) {
    uint32_t s;
    if (!inf.findSection(u16(section), &s)) return "(missing)";
    if (inf.lineCount(s) == 0) return "(none)";
    std::string out;
    std::u16string text;
    for (uint32_t l = 0; l < inf.lineCount(s); ++l) {
        if (l > 0) out += " / ";
        out += inf.field(s, l, 0, &text) ? utf8(text) : "#";
        out += " :";
        for (uint32_t f = 1; inf.field(s, l, f, &text); ++f) out += (f == 1 ? " " : "|") + utf8(text);
    }
    return out;
}

}  // namespace testing
}  // namespace infengine
