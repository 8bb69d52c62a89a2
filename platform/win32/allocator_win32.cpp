// The installer's global allocation functions. The C++ runtime's throw
// std::bad_alloc on failure, and with them comes its whole exception machinery
// (unwinder, personality routine, thread library), which code built without
// exceptions cannot use. These take the same memory from the C runtime and
// fail as the text values' size checks do (failAllocation: the process ends
// abnormally). Like legacy_imports_win32.cpp this object is linked into the
// executable itself, so that its definitions come before the runtime's.
#include <cstdlib>
#include <new>

#include "text/allocation.h"

namespace {

void* allocate(std::size_t size) {
    // malloc(0) may return null; the C++ contract wants a unique pointer.
    void* block = std::malloc(size != 0 ? size : 1);
    if (block == nullptr) failAllocation();
    return block;
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
