// The pieces of the installation pass that a whole run cannot pin down: the
// module path at every length and the progress position at every count.
#include <gtest/gtest.h>

#include <string>

#include "app/installation_pass.h"
#include "machine/machine.h"

namespace {

TEST(ModulePath, ComesBackWholeAtEveryLength) {
    // 511 fits the first buffer; 512 fills it exactly, as does anything longer,
    // and a path that was cut could name another folder.
    for (size_t length : {20u, 511u, 512u, 513u, 1500u, 32767u}) {
        std::u16string path = u"Z:\\" + std::u16string(length - 15, u'd') + u"\\install.exe";
        ASSERT_EQ(path.size(), length);
        standin::resetMachine();
        standin::machine().modulePath = path;
        CWString got = getModulePath();
        EXPECT_EQ(std::u16string(got.data, got.length), path) << length;
    }
    standin::resetMachine();
}

TEST(ProgressPosition, TruncatesAndNeverOverflows) {
    const struct {
        uint32_t done, count;
        int position;
    } cases[] = {
        {1, 3, 3333},         {2, 3, 6666},           {3, 3, 10000},          {1, 4, 2500},
        {1, 1, 10000},        {1, 20000, 0},          {2, 20000, 1},          {214749, 214749, 10000},
        {214748, 300000, 7158}, {4000000000u, 4000000000u, 10000}, {1, 4000000000u, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(progressPosition(c.done, c.count), c.position) << c.done << "/" << c.count;
    }
}

}  // namespace
