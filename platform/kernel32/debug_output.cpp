// OutputDebugStringW: the machine's `debug` decides where the text goes (as
// UTF-8, unchanged otherwise); active DebugOutputCapture objects see every call.
#include <cstdio>

#include "platform/faults/faults.h"
#include "platform/kernel32/debug_sink.h"
#include "platform/machine/machine.h"
#include "platform/platform.h"
#include "text/utf8.h"

void OutputDebugStringW(LPCWSTR text) {
    standin::failureInjected("OutputDebugStringW");  // counted only: it cannot fail
    if (text == nullptr) return;
    const std::u16string line(ustr(text));
    standin::deliverDebugOutput(line);
    const standin::Machine& m = standin::machine();
    if (m.debug == standin::DebugTarget::None) return;
    const std::string utf8 = toUtf8(line);
    if (m.debug == standin::DebugTarget::Stderr) {
        std::fwrite(utf8.data(), 1, utf8.size(), stderr);
        std::fflush(stderr);
        return;
    }
    // Opened per call, so that every line is on disk at once, even when the
    // process ends abnormally right after.
    std::FILE* file = std::fopen(m.debugPath.c_str(), "ab");
    if (file == nullptr) {
        static bool warned = false;
        if (!warned) std::fprintf(stderr, "debug output: cannot write %s\n", m.debugPath.c_str());
        warned = true;
        return;
    }
    std::fwrite(utf8.data(), 1, utf8.size(), file);
    std::fclose(file);
}
