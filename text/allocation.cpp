#include "text/allocation.h"

#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

constexpr uint64_t kMaxBytes = UINT32_MAX;

}  // namespace

void failAllocation() {
#if defined(__cpp_exceptions)
    throw std::bad_alloc();
#else
    std::fputs("out of memory\n", stderr);
    std::abort();
#endif
}

char16_t* allocateUnits(uint64_t units) {
    if (units > kMaxBytes / sizeof(char16_t)) failAllocation();
    return new char16_t[static_cast<size_t>(units)]();
}

void* allocateBlock(uint64_t count, size_t size) {
    if (size != 0 && count > kMaxBytes / size) failAllocation();
    return ::operator new(static_cast<size_t>(count * size));
}
