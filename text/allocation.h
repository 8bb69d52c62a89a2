// Exact-size allocation for the text values. A request whose byte size does
// not fit in 32 bits fails like any failed allocation (failAllocation), so a
// wrapped size can never yield a short buffer, on 32-bit and 64-bit builds alike.
#pragma once

#include <cstddef>
#include <cstdint>

// A buffer of `units` code units, every unit 0. Release with delete[].
char16_t* allocateUnits(uint64_t units);

// Raw storage for `count` objects of `size` bytes; nothing is constructed.
// Release with ::operator delete.
void* allocateBlock(uint64_t count, size_t size);

// What a failed allocation does. Where the build has exceptions, it throws
// std::bad_alloc. The Windows builds have none (the exception runtime would
// more than double the executables, and the installer catches nothing): there
// it writes "out of memory" to standard error and ends the process
// abnormally (abort), as an uncaught std::bad_alloc would have.
[[noreturn]] void failAllocation();
