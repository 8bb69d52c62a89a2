#include "text/allocation.h"

#include <new>

namespace {

constexpr uint64_t kMaxBytes = UINT32_MAX;

}  // namespace

char16_t* allocateUnits(uint64_t units) {
    if (units > kMaxBytes / sizeof(char16_t)) throw std::bad_alloc();
    return new char16_t[static_cast<size_t>(units)]();
}

void* allocateBlock(uint64_t count, size_t size) {
    if (size != 0 && count > kMaxBytes / size) throw std::bad_alloc();
    return ::operator new(static_cast<size_t>(count * size));
}
