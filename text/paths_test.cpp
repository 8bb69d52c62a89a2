#include "text/cwstring.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string text(const CWString& value) {
    EXPECT_EQ(value.data[value.length], 0);
    return std::u16string(value.data, value.length);
}

TEST(PathsTest, SplitAtTheLastBackslash) {
    struct Case {
        const char16_t* path;
        std::u16string directory;  // of directoryOf and of splitPath
        std::u16string fileName;
    };
    const Case cases[] = {
        {u"C:\\dir\\file.inf", u"C:\\dir", u"file.inf"},
        {u"C:\\x", u"C:", u"x"},
        {u"\\x", u"", u"x"},
        {u"x", u"", u"x"},
        {u"", u"", u""},
        {u"C:\\dir\\", u"C:\\dir", u""},
        {u"C:/dir/x", u"", u"C:/dir/x"},
        {u"\\", u"", u""},
        {u"\\\\server\\share\\velk.inf", u"\\\\server\\share", u"velk.inf"},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(i);
        const CWString path(c.path);
        // The outputs start with other text: they are replaced, not added to.
        CWString directory(u"stale");
        directoryOf(path, directory);
        EXPECT_EQ(text(directory), c.directory);

        CWString splitDirectory(u"stale");
        CWString fileName(u"stale");
        splitPath(path, splitDirectory, fileName);
        EXPECT_EQ(text(splitDirectory), c.directory);
        EXPECT_EQ(text(fileName), c.fileName);
        EXPECT_NE(fileName.data, path.data);
    }
}

TEST(PathsTest, ThePathMayBeOneOfTheOutputs) {
    CWString path(u"C:\\dir\\velk.inf");
    directoryOf(path, path);
    EXPECT_EQ(text(path), u"C:\\dir");

    CWString both(u"C:\\dir\\velk.inf");
    CWString fileName;
    splitPath(both, both, fileName);
    EXPECT_EQ(text(both), u"C:\\dir");
    EXPECT_EQ(text(fileName), u"velk.inf");

    CWString again(u"C:\\dir\\velk.inf");
    CWString directory;
    splitPath(again, directory, again);
    EXPECT_EQ(text(directory), u"C:\\dir");
    EXPECT_EQ(text(again), u"velk.inf");
}

}  // namespace
