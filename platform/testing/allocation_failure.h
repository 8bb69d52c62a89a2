// EXPECT_ALLOCATION_FAILURE(statement): the statement fails as a failed
// allocation does in this build (failAllocation, text/allocation.h): it
// throws std::bad_alloc where the build has exceptions; where it has none
// (the Windows builds) the process ends with "out of memory", which a death
// test sees in a child process. The death test cannot see what the statement
// left behind: checks of that belong to builds with exceptions.
#pragma once

#include <gtest/gtest.h>

#include <new>

#if defined(__cpp_exceptions)
#define VELK_BUILD_HAS_EXCEPTIONS 1
#define EXPECT_ALLOCATION_FAILURE(statement) EXPECT_THROW(statement, std::bad_alloc)
#else
#define VELK_BUILD_HAS_EXCEPTIONS 0
#define EXPECT_ALLOCATION_FAILURE(statement) EXPECT_DEATH(statement, "out of memory")
#endif
