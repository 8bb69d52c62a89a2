// For tests: collects what the process writes with OutputDebugStringW while a
// capture object lives, one entry per call, on every build. Over Windows (and
// Wine) it catches the debug-print exception that OutputDebugStringW raises,
// in a vectored exception handler; over the stand-ins it hooks kernel32's
// debug output directly.
#pragma once

#include <string>
#include <vector>

class DebugOutputCapture {
public:
    DebugOutputCapture();
    ~DebugOutputCapture();
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

    // Every string written since construction or the last clear().
    const std::vector<std::u16string>& lines() const;
    void clear();
};
