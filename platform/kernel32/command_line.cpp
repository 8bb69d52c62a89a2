// GetCommandLineW for the Linux build: Linux hands the process an argv, a
// Windows program gets one line; the line is built the way a Windows
// launcher would write it.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/faults/faults.h"
#include "platform/kernel32/kernel32.h"
#include "platform/kernel32/paths.h"
#include "platform/platform.h"
#include "text/utf8.h"

namespace standin {
namespace {

bool needsQuotes(const std::u16string& part) {
    return part.empty() || part.find_first_of(u" \t\"") != std::u16string::npos;
}

// Quotes an argument so that the usual Windows argument splitting gives it
// back: backslashes are literal except before a quote, where they are doubled.
std::u16string quoteArgument(const std::u16string& argument) {
    if (!needsQuotes(argument)) return argument;
    std::u16string out = u"\"";
    size_t backslashes = 0;
    for (char16_t c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        if (c == u'"') {
            out.append(backslashes * 2 + 1, u'\\');
        } else {
            out.append(backslashes, u'\\');
        }
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, u'\\');
    out += u'"';
    return out;
}

// The program name ends at the next quote when quoted, so it is quoted
// plainly; Windows file names hold no quotes.
std::u16string programName(const std::string& argv0) {
    std::u16string name;
    if (!argv0.empty() && argv0[0] == '/') {
        name = toWindowsPath(argv0);
    } else {
        name = fromUtf8(argv0);
        for (char16_t& c : name)
            if (c == u'/') c = u'\\';
    }
    if (name.find_first_of(u" \t") != std::u16string::npos) return u"\"" + name + u"\"";
    return name;
}

std::u16string& storedLine() {
    static std::u16string line;
    return line;
}

bool& lineSet() {
    static bool set = false;
    return set;
}

std::vector<std::string> ownArguments() {
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> argv;
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\0', start);
        if (end == std::string::npos) end = all.size();
        argv.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return argv;
}

}  // namespace

std::u16string buildCommandLine(const std::vector<std::string>& argv) {
    std::u16string line = argv.empty() ? std::u16string() : programName(argv[0]);
    for (size_t i = 1; i < argv.size(); ++i) line += u" " + quoteArgument(fromUtf8(argv[i]));
    return line;
}

void setCommandLine(const std::vector<std::string>& argv) {
    storedLine() = buildCommandLine(argv);
    lineSet() = true;
}

}  // namespace standin

LPWSTR GetCommandLineW() {
    standin::failureInjected("GetCommandLineW");  // counted only: it cannot fail
    // Without a start-up that recorded argv (a test binary), the process's
    // own arguments serve.
    if (!standin::lineSet()) standin::setCommandLine(standin::ownArguments());
    return wstr(&standin::storedLine()[0]);
}
