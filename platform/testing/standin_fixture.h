// For tests of the Linux build that drive windows over the stand-ins: every
// test starts and ends with the default machine and no windows, so that no
// state passes from one test to the next.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/machine/machine.h"
#include "platform/user32/user32.h"

class StandinTest : public ::testing::Test {
protected:
    void SetUp() override {
        standin::resetMachine();
        standin::resetWindows();
    }
    void TearDown() override {
        standin::resetWindows();
        standin::resetMachine();
    }
};

// The one top-level window with its controls; a failure, and an empty
// description, when there is not exactly one.
inline standin::WindowInfo topWindow() {
    std::vector<standin::WindowInfo> tree = standin::windowTree();
    if (tree.size() != 1) {
        ADD_FAILURE() << tree.size() << " top-level windows";
        return standin::WindowInfo{};
    }
    return tree[0];
}
