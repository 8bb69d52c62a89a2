#include "platform/kernel32/paths.h"

#include <climits>
#include <unistd.h>
#include <vector>

#include "text/utf8.h"

namespace standin {
namespace {

bool isSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// Characters Windows refuses in a file name (the drive colon is handled
// before the name is looked at).
bool isForbidden(char16_t c) {
    return c < 0x20 || c == u'<' || c == u'>' || c == u'"' || c == u'|' || c == u'?' || c == u'*' || c == u':';
}

std::string currentDirectory() {
    std::vector<char> buffer(PATH_MAX + 1);
    if (getcwd(buffer.data(), buffer.size()) == nullptr) return "/";
    return buffer.data();
}

// Applies one component to a stack of components: "." stays, ".." climbs
// but never above the root, as Windows does.
void push(std::vector<std::string>& parts, const std::string& part) {
    if (part.empty() || part == ".") return;
    if (part == "..") {
        if (!parts.empty()) parts.pop_back();
        return;
    }
    parts.push_back(part);
}

// Applies the components of a host path to `parts`.
void pushHost(std::vector<std::string>& parts, const std::string& path) {
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        push(parts, path.substr(start, end - start));
        start = end + 1;
    }
}

}  // namespace

bool toHostPath(const std::u16string& windowsPath, std::string* hostPath, DWORD* error) {
    auto failWith = [error](DWORD code) {
        if (error != nullptr) *error = code;
        return false;
    };
    if (windowsPath.empty()) return failWith(ERROR_PATH_NOT_FOUND);
    if (windowsPath.size() >= 2 && isSeparator(windowsPath[0]) && isSeparator(windowsPath[1]))
        return failWith(ERROR_PATH_NOT_FOUND);  // a network path: there is no network

    size_t position = 0;
    bool fromRoot = false;
    const char16_t first = windowsPath[0];
    if (windowsPath.size() >= 2 && windowsPath[1] == u':' &&
        ((first >= u'A' && first <= u'Z') || (first >= u'a' && first <= u'z'))) {
        if (first != u'Z' && first != u'z') return failWith(ERROR_PATH_NOT_FOUND);
        position = 2;
        // "Z:name" is relative to the current directory of drive Z:, which
        // is the current directory.
        fromRoot = windowsPath.size() > 2 && isSeparator(windowsPath[2]);
    } else {
        fromRoot = isSeparator(first);
    }

    std::vector<std::string> parts;
    if (!fromRoot) pushHost(parts, currentDirectory());
    size_t start = position;
    while (start <= windowsPath.size()) {
        size_t end = start;
        while (end < windowsPath.size() && !isSeparator(windowsPath[end])) ++end;
        const std::u16string name = windowsPath.substr(start, end - start);
        for (char16_t c : name)
            if (isForbidden(c)) return failWith(ERROR_INVALID_NAME);
        std::string utf8;
        if (!toUtf8Strict(name, &utf8)) return failWith(ERROR_INVALID_NAME);
        push(parts, utf8);
        start = end + 1;
    }

    std::string result;
    for (const std::string& part : parts) result += "/" + part;
    *hostPath = result.empty() ? "/" : result;
    return true;
}

std::u16string toWindowsPath(const std::string& hostPath) {
    std::vector<std::string> parts;
    if (hostPath.empty() || hostPath[0] != '/') pushHost(parts, currentDirectory());
    pushHost(parts, hostPath);
    std::string result = "Z:";
    for (const std::string& part : parts) result += "\\" + part;
    if (parts.empty()) result += "\\";
    return fromUtf8(result);
}

}  // namespace standin
