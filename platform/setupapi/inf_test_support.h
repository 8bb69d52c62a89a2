// Shared by the engine's tests: open INF text from a string and describe
// sections and lines compactly, so that tables of cases stay readable.
#pragma once

#include <string>

#include "inf_engine.h"

namespace infengine {
namespace testing {

// UTF-16 to UTF-8 for messages; CR shows as <CR>, an unpaired surrogate as <D800>.
inline std::string utf8(const std::u16string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c == u'\r') {
            out += "<CR>";
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            char buf[12];
            snprintf(buf, sizeof buf, "<%04X>", unsigned(c));
            out += buf;
            continue;
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
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
