#include "text/utf8.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

// Converts, reporting through *clean whether every unit was well formed.
std::string convert16to8(const std::u16string& text, bool* clean) {
    std::string out;
    out.reserve(text.size());
    *clean = true;
    for (size_t i = 0; i < text.size();) {
        const char32_t c = nextCodePoint(text, &i);
        if (isSurrogate(c)) *clean = false;
        appendUtf8(out, c);
    }
    return out;
}

}  // namespace

char32_t nextCodePoint(const std::u16string& text, size_t* index) {
    const size_t i = *index;
    const char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        *index = i + 2;
        return 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
    }
    *index = i + 1;
    return c;
}

void appendUtf8(std::string& out, char32_t c) {
    if (isSurrogate(c) || c > 0x10FFFF) c = kReplacement;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::u16string fromUtf8(const std::string& text) { return fromUtf8(text.data(), text.size()); }

std::u16string fromUtf8(const char* data, size_t size) {
    std::u16string out;
    out.reserve(size);
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const size_t n = size;
    size_t i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        int extra = 0;
        char32_t c = 0;
        char32_t minimum = 0;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1, c = b & 0x1F, minimum = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, c = b & 0x0F, minimum = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, c = b & 0x07, minimum = 0x10000;
        } else {
            appendUtf16(out, kReplacement);
            ++i;
            continue;
        }
        int taken = 0;
        while (taken < extra && i + 1 + taken < n && (p[i + 1 + taken] & 0xC0) == 0x80) {
            c = (c << 6) | (p[i + 1 + taken] & 0x3F);
            ++taken;
        }
        if (taken < extra || c < minimum || c > 0x10FFFF || isSurrogate(c)) {
            // A malformed sequence costs one replacement for its lead byte;
            // the following bytes are looked at again on their own.
            appendUtf16(out, kReplacement);
            i += 1;
            continue;
        }
        appendUtf16(out, c);
        i += 1 + extra;
    }
    return out;
}

std::string toUtf8(const std::u16string& text) {
    bool clean;
    return convert16to8(text, &clean);
}

std::string toUtf8(const char16_t* text) {
    if (text == nullptr) return std::string();
    return toUtf8(std::u16string(text));
}

bool toUtf8Strict(const std::u16string& text, std::string* out) {
    bool clean;
    *out = convert16to8(text, &clean);
    return clean;
}
