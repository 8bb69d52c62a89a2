#include "platform/tool_path.h"

#include <vector>

#include "platform/platform.h"

std::u16string toolPathArgument(const char* argument) {
    // Command-line arguments come in the ANSI code page.
    const int units = MultiByteToWideChar(CP_ACP, 0, argument, -1, nullptr, 0);
    if (units <= 0) return std::u16string();
    std::vector<wchar_t> given(static_cast<size_t>(units));
    MultiByteToWideChar(CP_ACP, 0, argument, -1, given.data(), units);

    const DWORD needed = GetFullPathNameW(given.data(), 0, nullptr, nullptr);
    if (needed != 0) {
        std::vector<wchar_t> full(needed);
        const DWORD written = GetFullPathNameW(given.data(), needed, full.data(), nullptr);
        if (written != 0 && written < needed) return std::u16string(ustr(full.data()), written);
    }
    return std::u16string(ustr(given.data()));
}
