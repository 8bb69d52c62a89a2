// The name index: ASCII case folding only, first insert wins, growth keeps
// every entry findable.
#include "platform/setupapi/name_index.h"

#include <gtest/gtest.h>

#include <string>

namespace infengine {
namespace {

TEST(NameIndex, FoldsAsciiOnlyAndKeepsTheFirstValue) {
    NameIndex index;
    EXPECT_EQ(index.insert(u"Strings", 1), 1u);
    EXPECT_EQ(index.insert(u"STRINGS", 2), 1u);
    EXPECT_EQ(index.insert(u"Secci\u00F3n", 3), 3u);
    EXPECT_EQ(index.insert(u"", 4), 4u);
    uint32_t value = 0;
    EXPECT_TRUE(index.find(u"strings", &value));
    EXPECT_EQ(value, 1u);
    EXPECT_TRUE(index.find(u"SECCI\u00F3N", &value));
    EXPECT_FALSE(index.find(u"SECCI\u00D3N", &value));
    EXPECT_FALSE(index.find(u"strings ", &value));
    EXPECT_TRUE(index.find(u"", &value));
    EXPECT_EQ(value, 4u);
}

TEST(NameIndex, ManyNames) {
    NameIndex index;
    for (uint32_t i = 0; i < 100000; ++i) {
        std::string name = "Name" + std::to_string(i);
        index.insert(std::u16string(name.begin(), name.end()), i);
    }
    EXPECT_EQ(index.size(), 100000u);
    for (uint32_t i = 0; i < 100000; i += 997) {
        std::string name = "NAME" + std::to_string(i);
        uint32_t value = 0;
        ASSERT_TRUE(index.find(std::u16string(name.begin(), name.end()), &value));
        EXPECT_EQ(value, i);
    }
    uint32_t value;
    EXPECT_FALSE(index.find(u"Name100000", &value));
}

}  // namespace
}  // namespace infengine
