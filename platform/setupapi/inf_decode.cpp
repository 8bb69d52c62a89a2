// Bytes of an INF file to UTF-16 text (encoding rules in README.md).
#include "platform/setupapi/inf_engine.h"

#include "text/utf8.h"

namespace infengine {
namespace {

// Windows-1252 0x80-0x9F; the five unassigned bytes map to the C1 control
// of the same value, as the system conversion does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void decodeAnsi(const uint8_t* p, size_t n, std::u16string* out) {
    out->resize(n);
    for (size_t i = 0; i < n; ++i) {
        uint8_t b = p[i];
        (*out)[i] = (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : char16_t(b);
    }
}

void decodeUtf16(const uint8_t* p, size_t n, bool bigEndian, std::u16string* out) {
    size_t units = n / 2;
    out->resize(units);
    for (size_t i = 0; i < units; ++i) {
        uint8_t a = p[2 * i], b = p[2 * i + 1];
        (*out)[i] = bigEndian ? char16_t((a << 8) | b) : char16_t((b << 8) | a);
    }
}

bool looksLikeUtf16Le(const uint8_t* p, size_t n) {
    if (n < 2 || n % 2 != 0) return false;
    size_t units = n / 2, narrow = 0;
    for (size_t i = 0; i < units; ++i) {
        if (p[2 * i + 1] == 0 && p[2 * i] != 0) ++narrow;
    }
    return narrow * 2 > units;
}

}  // namespace

std::u16string decodeText(const uint8_t* data, size_t size) {
    std::u16string text;
    // A BOM counts only in a file of whole UTF-16 units (Wine's test too);
    // otherwise the bytes are ANSI text, whose first line then is no header.
    bool even = size % 2 == 0;
    if (even && size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        decodeUtf16(data + 2, size - 2, false, &text);
    } else if (even && size >= 2 && data[0] == 0xFE && data[1] == 0xFF) {
        decodeUtf16(data + 2, size - 2, true, &text);
    } else if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
        text = fromUtf8(reinterpret_cast<const char*>(data + 3), size - 3);
    } else if (looksLikeUtf16Le(data, size)) {
        decodeUtf16(data, size, false, &text);
    } else {
        decodeAnsi(data, size, &text);
    }
    size_t eof = text.find(char16_t(0x1A));
    if (eof != std::u16string::npos) text.resize(eof);
    // A NUL reads as a blank, as Windows reads it in an ANSI file: nothing is
    // cut at it and nothing but the NUL is lost.
    for (char16_t& c : text) {
        if (c == 0) c = u' ';
    }
    return text;
}

}  // namespace infengine
