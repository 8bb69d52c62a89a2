#include "text/cwstring.h"

#include <cstring>
#include <utility>

#include "text/allocation.h"

namespace {

// Plain flag, constant-initialised, so it can be read before Empty exists
// and after it is gone.
bool emptyLive = false;

uint32_t measure(const char16_t* text) {
    uint32_t n = 0;
    if (text != nullptr) {
        while (text[n] != 0) ++n;
    }
    return n;
}

// A new terminated buffer holding `first` then `second`.
char16_t* joined(const char16_t* first, uint32_t firstLength, const char16_t* second, uint32_t secondLength) {
    char16_t* buffer = allocateUnits(uint64_t{firstLength} + secondLength + 1);
    if (firstLength != 0) std::memcpy(buffer, first, firstLength * sizeof(char16_t));
    if (secondLength != 0) std::memcpy(buffer + firstLength, second, secondLength * sizeof(char16_t));
    return buffer;
}

}  // namespace

// Built first and released last: the earliest priority open to programs.
// Other statics (the application object above all) copy it while they are
// built and torn down.
const CWString CWString::Empty __attribute__((init_priority(101))){CWString::ProgramEmpty{}};

CWString::CWString(ProgramEmpty) : data(allocateUnits(1)), length(0) { emptyLive = true; }

bool CWString::emptyIsLive() { return emptyLive; }

CWString::CWString() : data(allocateUnits(1)), length(0) {}

CWString::CWString(const char16_t* text) : data(nullptr), length(measure(text)) {
    data = joined(text, length, nullptr, 0);
}

CWString::CWString(uint32_t size) : data(allocateUnits(uint64_t{size} + 1)), length(size) {}

CWString::CWString(const CWString& other)
    : data(joined(other.data, other.length, nullptr, 0)), length(other.length) {}

CWString::CWString(CWString&& other) noexcept : data(other.data), length(other.length) {
    other.data = allocateUnits(1);
    other.length = 0;
}

CWString& CWString::operator=(const CWString& other) {
    // New buffer first: assigning a value to itself keeps its text.
    char16_t* buffer = joined(other.data, other.length, nullptr, 0);
    delete[] data;
    data = buffer;
    length = other.length;
    return *this;
}

CWString& CWString::operator=(CWString&& other) noexcept {
    std::swap(data, other.data);
    std::swap(length, other.length);
    return *this;
}

CWString::~CWString() {
    delete[] data;
    if (this == &Empty) emptyLive = false;
}

CWString CWString::mid(uint32_t start, uint32_t count) const {
    if (start > length) start = length;
    if (count > length - start) count = length - start;
    return CWString(joined(data + start, count, nullptr, 0), count, Adopt{});
}

void CWString::append(const char16_t* text) {
    const uint32_t extra = measure(text);
    char16_t* buffer = joined(data, length, text, extra);
    delete[] data;
    data = buffer;
    length += extra;
}

void CWString::append(const CWString& other) {
    // Read other's length before ours changes: it may be this very value.
    const uint32_t extra = other.length;
    char16_t* buffer = joined(data, length, other.data, extra);
    delete[] data;
    data = buffer;
    length += extra;
}

CWString operator+(const CWString& left, const CWString& right) {
    char16_t* buffer = joined(left.data, left.length, right.data, right.length);
    return CWString(buffer, left.length + right.length, CWString::Adopt{});
}

CWString operator+(const CWString& left, const char16_t* right) {
    const uint32_t extra = measure(right);
    char16_t* buffer = joined(left.data, left.length, right, extra);
    return CWString(buffer, left.length + extra, CWString::Adopt{});
}
