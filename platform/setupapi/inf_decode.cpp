// Bytes of an INF file to UTF-16 text (encoding rules in inf_engine.h).
#include "inf_engine.h"

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

void decodeUtf8(const uint8_t* p, size_t n, std::u16string* out) {
    out->clear();
    out->reserve(n);
    size_t i = 0;
    while (i < n) {
        uint8_t b = p[i];
        if (b < 0x80) {
            out->push_back(b);
            ++i;
            continue;
        }
        size_t need;
        uint32_t cp, min;
        if ((b & 0xE0) == 0xC0) {
            need = 1, cp = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            need = 2, cp = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            need = 3, cp = b & 0x07, min = 0x10000;
        } else {
            out->push_back(0xFFFD);
            ++i;
            continue;
        }
        bool ok = i + need < n;  // the last continuation byte must exist
        for (size_t k = 1; ok && k <= need; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) ok = false;
            else cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out->push_back(0xFFFD);
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out->push_back(char16_t(0xD800 + (cp >> 10)));
            out->push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out->push_back(char16_t(cp));
        }
        i += need + 1;
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
        decodeUtf8(data + 3, size - 3, &text);
    } else if (looksLikeUtf16Le(data, size)) {
        decodeUtf16(data, size, false, &text);
    } else {
        decodeAnsi(data, size, &text);
    }
    size_t eof = text.find(char16_t(0x1A));
    if (eof != std::u16string::npos) text.resize(eof);
    return text;
}

}  // namespace infengine
