// libFuzzer target: INF text through the text values and routines. The
// input bytes are taken as UTF-16 units; every property checked here holds
// for any text, so a violation aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "text/cwstring.h"
#include "text/cwstring_array.h"
#include "text/routines.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

bool same(const CWString& a, const CWString& b) {
    return a.length == b.length && std::memcmp(a.data, b.data, a.length * sizeof(char16_t)) == 0;
}

void checkSplitJoin(const CWString& text) {
    const CWStringArray pieces = CWStringArray::split(text);
    const CWString joined = pieces.join();
    bool hasZero = false;
    for (uint32_t i = 0; i < text.length; ++i) hasZero = hasZero || text.data[i] == 0;
    const bool endsWithDot = text.length > 0 && text.data[text.length - 1] == u'.';
    if (!hasZero && !endsWithDot) require(same(joined, text));
    if (!hasZero && endsWithDot) require(same(joined, text.mid(0, text.length - 1)));
    for (uint32_t i = 0; i < pieces.itemCount; ++i) require(pieces.items[i].data[pieces.items[i].length] == 0);
}

void checkPaths(const CWString& path) {
    CWString directory;
    CWString fileName;
    splitPath(path, directory, fileName);
    CWString only;
    directoryOf(path, only);
    require(same(only, directory));
    if (directory.length + fileName.length != path.length) {
        // A backslash lay between them.
        require(same(directory + u"\\" + fileName, path));
    } else {
        require(directory.isEmpty() && same(fileName, path));
    }
}

void checkRoutines(const CWString& text) {
    uint32_t value = 0;
    scanUnsigned(text.data, &value);
    scanHexadecimal(text.data, &value);
    require(compareNoCase(text.data, text.data) == 0);

    char16_t line[256];
    const size_t written = formatText(line, 256, u"  Examining line '%s': %lu %lx\n", text.data, value, value);
    require(written <= 255 && line[written] == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const uint32_t units = static_cast<uint32_t>(size / sizeof(char16_t));
    CWString text(units);
    if (units != 0) std::memcpy(text.data, bytes, units * sizeof(char16_t));
    checkSplitJoin(text);
    checkPaths(text);
    checkRoutines(text);
    return 0;
}
