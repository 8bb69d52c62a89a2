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
    // Ends with the system's out-of-memory status (STATUS_NO_MEMORY), not with
    // abort()'s 3, which a deployment tool would read as the installer's own
    // outcome 3 ("the INF could not be parsed").
    std::fputs("out of memory\n", stderr);
    std::fflush(stderr);
    std::_Exit(static_cast<int>(0xC0000017u));
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
