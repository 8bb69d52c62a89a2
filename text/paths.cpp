// directoryOf and splitPath: the path is cut at its last backslash only;
// '/' and ':' are ordinary characters.
#include "text/cwstring.h"

namespace {

constexpr char16_t kBackslash = u'\\';

// Position of the last backslash, or false when there is none.
bool lastBackslash(const CWString& path, uint32_t& position) {
    for (uint32_t i = path.length; i > 0; --i) {
        if (path.data[i - 1] == kBackslash) {
            position = i - 1;
            return true;
        }
    }
    return false;
}

}  // namespace

void directoryOf(const CWString& path, CWString& directory) {
    uint32_t p = 0;
    if (lastBackslash(path, p)) {
        directory = path.mid(0, p);
    } else {
        directory = CWString::Empty;
    }
}

void splitPath(const CWString& path, CWString& directory, CWString& fileName) {
    // Both halves are taken before either output is replaced, so the path
    // may be one of the outputs.
    uint32_t p = 0;
    if (lastBackslash(path, p)) {
        CWString name = path.mid(p + 1, path.length - p - 1);
        CWString dir = path.mid(0, p);
        fileName = name;
        directory = dir;
    } else {
        CWString name = path;
        fileName = name;
        directory = CWString::Empty;
    }
}
