#include "platform/newdev/driver_version.h"

#include <cstdio>

namespace standin {
namespace {

// One decimal number of at most `maxDigits` digits from text[*pos]; no sign.
bool readNumber(const std::u16string& text, size_t* pos, int maxDigits, long* value) {
    size_t i = *pos;
    long result = 0;
    int digits = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        if (++digits > maxDigits) return false;
        result = result * 10 + (text[i] - u'0');
        ++i;
    }
    if (digits == 0) return false;
    *pos = i;
    *value = result;
    return true;
}

bool parseDate(const std::u16string& text, DriverVersion* out) {
    long month = 0, day = 0, year = 0;
    size_t pos = 0;
    if (!readNumber(text, &pos, 2, &month) || pos >= text.size() || text[pos++] != u'/') return false;
    if (!readNumber(text, &pos, 2, &day) || pos >= text.size() || text[pos++] != u'/') return false;
    if (!readNumber(text, &pos, 4, &year) || pos != text.size()) return false;
    if (month < 1 || month > 12 || day < 1 || day > 31 || year < 1) return false;
    out->year = static_cast<int>(year);
    out->month = static_cast<int>(month);
    out->day = static_cast<int>(day);
    return true;
}

bool parseVersion(const std::u16string& text, uint16_t parts[4]) {
    uint16_t read[4] = {0, 0, 0, 0};
    size_t pos = 0;
    for (int k = 0; k < 4; ++k) {
        long value = 0;
        if (!readNumber(text, &pos, 5, &value) || value > 0xFFFF) return false;
        read[k] = static_cast<uint16_t>(value);
        if (pos == text.size()) break;
        if (k == 3 || text[pos++] != u'.') return false;
    }
    if (pos != text.size()) return false;
    for (int k = 0; k < 4; ++k) parts[k] = read[k];
    return true;
}

}  // namespace

DriverVersion parseDriverVer(const std::u16string& date, const std::u16string& version) {
    DriverVersion result;
    parseDate(date, &result);
    parseVersion(version, result.parts);
    return result;
}

int compareDriverVersions(const DriverVersion& a, const DriverVersion& b) {
    const int keys[2][7] = {{a.year, a.month, a.day, a.parts[0], a.parts[1], a.parts[2], a.parts[3]},
                            {b.year, b.month, b.day, b.parts[0], b.parts[1], b.parts[2], b.parts[3]}};
    for (int k = 0; k < 7; ++k)
        if (keys[0][k] != keys[1][k]) return keys[0][k] < keys[1][k] ? -1 : 1;
    return 0;
}

std::string formatDriverVersion(const DriverVersion& v) {
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d,%u.%u.%u.%u", v.month, v.day, v.year, v.parts[0], v.parts[1],
                  v.parts[2], v.parts[3]);
    return text;
}

}  // namespace standin
