#include "text/inf_status.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(InfStatusTest, EveryCodeHasItsText) {
    struct Case {
        InfStatus status;
        std::u16string text;
    };
    const Case cases[] = {
        {INF_OK, u"OK"},
        {INF_FILE_NOT_FOUND, u"INF file not found"},
        {INF_PATH_NOT_FOUND, u"INF path not found"},
        {INF_SECTION_NOT_FOUND, u"INF section not found"},
        {INF_PARSE_ERROR, u"Error parsing INF file"},
        {INF_OUT_OF_MEMORY, u"Error allocating memory"},
        {INF_UNEXPECTED, u"Unexpected error"},
        {INF_WOW64, u"Cannot execute this 32-bit program on 64-bit Windows"},
        {INF_NO_SUCH_HARDWARE_ID, u"No such hardware ID found in the system"},
        {9, u"Unexpected error"},
        {-1, u"Unexpected error"},
        {INT32_MIN, u"Unexpected error"},
        {INT32_MAX, u"Unexpected error"},
    };
    for (const Case& c : cases) {
        const CWString text = statusText(c.status);
        EXPECT_EQ(std::u16string(text.data, text.length), c.text) << c.status;
        EXPECT_EQ(text.data[text.length], 0) << c.status;
    }
}

}  // namespace
