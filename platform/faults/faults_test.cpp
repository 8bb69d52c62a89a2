#include "faults/faults.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Which of six calls fail for a script, as a string of 'x' (failed) and '.'.
std::string pattern(int onCall, int times) {
    standin::clearFailures();
    standin::injectFailure("Call", ERROR_ACCESS_DENIED, onCall, times);
    std::string seen;
    for (int i = 0; i < 6; ++i) {
        SetLastError(0);
        bool failed = standin::failureInjected("Call");
        seen += failed ? 'x' : '.';
        if (failed) {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        }
    }
    EXPECT_EQ(standin::callCount("Call"), 6);
    return seen;
}

TEST(Faults, ScriptsFailTheChosenCalls) {
    const struct {
        int onCall, times;
        const char* calls;
    } cases[] = {
        {1, 1, "x....."}, {3, 1, "..x..."}, {2, 3, ".xxx.."}, {4, -1, "...xxx"}, {0, 1, "x....."}, {1, 0, "......"},
    };
    for (const auto& c : cases) EXPECT_EQ(pattern(c.onCall, c.times), c.calls) << c.onCall << "," << c.times;
}

TEST(Faults, OtherFunctionsAndClearedScriptsDoNotFail) {
    standin::clearFailures();
    standin::injectFailure("A", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(standin::failureInjected("B"));
    standin::clearFailures();
    EXPECT_FALSE(standin::failureInjected("A"));
    EXPECT_EQ(standin::callCount("A"), 1);
    EXPECT_EQ(standin::callCount("never"), 0);
}

}  // namespace
