// A static user of CWString::Empty in a library linked after velk_text: the
// executable formats run constructors of the same priority in opposite link
// orders, so between this one and the test's own, one of them would meet an
// unbuilt Empty without the explicit priority.
#include "text/empty_order_late.h"

#include <cstdio>
#include <cstdlib>

#include "text/cwstring.h"

namespace {

bool emptyUsable() {
    if (!CWString::emptyIsLive()) return false;
    const CWString copy(CWString::Empty);
    return copy.length == 0 && copy.data[0] == 0 && copy.data != CWString::Empty.data;
}

class LateUser {
public:
    LateUser() : usableAtStart_(emptyUsable()) {}
    ~LateUser() {
        if (!emptyUsable()) {
            std::fputs("CWString::Empty was released before a static object of a later library\n", stderr);
            std::fflush(stderr);
            std::_Exit(3);
        }
    }
    bool usableAtStart() const { return usableAtStart_; }

private:
    bool usableAtStart_;
};

LateUser lateUser;

}  // namespace

bool lateUserSawEmpty() { return lateUser.usableAtStart(); }
