// CWString::Empty must outlive every other static object: the application
// object copies it while it is built and while it is torn down. This program
// holds such objects of ordinary priority, one linked before the library that
// defines Empty and one after it, and checks both ends of their lives.
#include "text/cwstring.h"
#include "text/empty_order_late.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool emptyUsable() {
    if (!CWString::emptyIsLive()) return false;
    const CWString copy(CWString::Empty);
    return copy.length == 0 && copy.data[0] == 0 && copy.data != CWString::Empty.data;
}

class StaticUser {
public:
    StaticUser() : usableAtStart_(emptyUsable()), name_(CWString::Empty) {}
    ~StaticUser() {
        // After main: a failure can only show in the exit status.
        if (!emptyUsable()) {
            std::fputs("CWString::Empty was released before a later static object\n", stderr);
            std::fflush(stderr);
            std::_Exit(3);
        }
        name_ = CWString::Empty;
    }
    bool usableAtStart() const { return usableAtStart_; }

private:
    bool usableAtStart_;
    CWString name_;
};

StaticUser staticUser;

TEST(EmptyOrderTest, EmptyIsBuiltBeforeOtherStatics) {
    EXPECT_TRUE(staticUser.usableAtStart());
    EXPECT_TRUE(lateUserSawEmpty());
    EXPECT_TRUE(CWString::emptyIsLive());
}

}  // namespace
