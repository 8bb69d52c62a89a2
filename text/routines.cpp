#include "text/routines.h"

namespace {

char16_t foldAsciiUpper(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

bool isSpace(char16_t unit) {
    return unit == u' ' || (unit >= u'\t' && unit <= u'\r');
}

// Value of a digit in the given base, or -1.
int digitValue(char16_t unit, uint32_t base) {
    int value = -1;
    if (unit >= u'0' && unit <= u'9') {
        value = unit - u'0';
    } else if (base == 16 && unit >= u'a' && unit <= u'f') {
        value = unit - u'a' + 10;
    } else if (base == 16 && unit >= u'A' && unit <= u'F') {
        value = unit - u'A' + 10;
    }
    return (value >= 0 && static_cast<uint32_t>(value) < base) ? value : -1;
}

bool scanNumber(const char16_t* text, uint32_t base, uint32_t* value) {
    if (text == nullptr) return false;
    const char16_t* p = text;
    while (isSpace(*p)) ++p;
    bool negative = false;
    if (*p == u'+' || *p == u'-') {
        negative = *p == u'-';
        ++p;
    }
    // The prefix counts only with a hexadecimal digit behind it; otherwise
    // the '0' alone is the number.
    if (base == 16 && p[0] == u'0' && (p[1] == u'x' || p[1] == u'X') && digitValue(p[2], 16) >= 0) p += 2;
    if (digitValue(*p, base) < 0) return false;
    uint64_t magnitude = 0;
    bool overflow = false;
    for (int digit = digitValue(*p, base); digit >= 0; digit = digitValue(*++p, base)) {
        if (!overflow) {
            magnitude = magnitude * base + static_cast<uint32_t>(digit);
            overflow = magnitude > UINT32_MAX;
        }
    }
    uint32_t result = UINT32_MAX;
    if (!overflow) {
        result = static_cast<uint32_t>(magnitude);
        if (negative) result = 0u - result;
    }
    *value = result;
    return true;
}

// Writes units into a fixed buffer, keeping room for the terminator, and
// remembers the first unit that did not fit.
class Output {
public:
    Output(char16_t* buffer, size_t capacity) : buffer_(buffer), limit_(capacity == 0 ? 0 : capacity - 1) {}

    bool full() const { return cut_; }

    void put(char16_t unit) {
        if (cut_) return;
        if (written_ == limit_) {
            cut_ = true;
            // Never end on the first half of a pair whose second half is lost.
            if (written_ > 0 && isHighSurrogate(buffer_[written_ - 1]) && isLowSurrogate(unit)) --written_;
            return;
        }
        buffer_[written_++] = unit;
    }

    void put(const char16_t* text) {
        for (; *text != 0 && !cut_; ++text) put(*text);
    }

    void putNumber(uint32_t value, uint32_t base) {
        char16_t digits[32];
        size_t count = 0;
        do {
            const uint32_t digit = value % base;
            digits[count++] = static_cast<char16_t>(digit < 10 ? u'0' + digit : u'a' + digit - 10);
            value /= base;
        } while (value != 0);
        while (count > 0) put(digits[--count]);
    }

    size_t finish(size_t capacity) {
        if (capacity != 0) buffer_[written_] = 0;
        return written_;
    }

private:
    static bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
    static bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

    char16_t* buffer_;
    size_t limit_;
    size_t written_ = 0;
    bool cut_ = false;
};

}  // namespace

int compareNoCase(const char16_t* left, const char16_t* right) {
    if (left == nullptr) left = u"";
    if (right == nullptr) right = u"";
    for (;; ++left, ++right) {
        const char16_t a = foldAsciiUpper(*left);
        const char16_t b = foldAsciiUpper(*right);
        if (a != b) return a < b ? -1 : 1;
        if (a == 0) return 0;
    }
}

bool scanUnsigned(const char16_t* text, uint32_t* value) { return scanNumber(text, 10, value); }

bool scanHexadecimal(const char16_t* text, uint32_t* value) { return scanNumber(text, 16, value); }

size_t formatText(char16_t* buffer, size_t capacity, const char16_t* format, ...) {
    va_list args;
    va_start(args, format);
    const size_t written = formatTextV(buffer, capacity, format, args);
    va_end(args);
    return written;
}

size_t formatTextV(char16_t* buffer, size_t capacity, const char16_t* format, va_list args) {
    Output out(buffer, capacity);
    if (format == nullptr) format = u"";
    const char16_t* p = format;
    while (*p != 0 && !out.full()) {
        if (*p != u'%') {
            out.put(*p++);
            continue;
        }
        if (p[1] == u'%') {
            out.put(u'%');
            p += 2;
        } else if (p[1] == u's') {
            const char16_t* text = va_arg(args, const char16_t*);
            out.put(text != nullptr ? text : u"(null)");
            p += 2;
        } else if (p[1] == u'l' && (p[2] == u'u' || p[2] == u'x')) {
            out.putNumber(va_arg(args, uint32_t), p[2] == u'u' ? 10 : 16);
            p += 3;
        } else {
            // Unknown: the '%' as it stands; what follows is plain text.
            out.put(*p++);
        }
    }
    return out.finish(capacity);
}
