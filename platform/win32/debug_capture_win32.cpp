// DebugOutputCapture over Windows: OutputDebugStringW raises a debug-print
// exception that a debugger would take; a vectored handler takes it instead
// and lets the program go on. Newer systems raise the wide form
// (DBG_PRINTEXCEPTION_WIDE_C, with the UTF-16 text); older ones, and a wide
// raise nobody handled, the narrow form (DBG_PRINTEXCEPTION_C). Once the
// wide form is handled the narrow one does not follow, so every call is
// captured once. Wine 8 raises only the narrow form, once per call, so text
// outside the ANSI code page arrives there as '?'. The handler API is looked up at run time: Windows 2000 has
// none, and the capture then sees nothing.
#include "platform/debug_capture.h"

#include "platform/platform.h"

namespace {

constexpr DWORD printExceptionWide = 0x4001000A;
constexpr DWORD printExceptionNarrow = 0x40010006;

std::vector<std::u16string> captured;
PVOID handler = nullptr;

typedef PVOID(WINAPI* AddHandlerFn)(ULONG, PVECTORED_EXCEPTION_HANDLER);
typedef ULONG(WINAPI* RemoveHandlerFn)(PVOID);

template <typename Fn>
Fn kernel32Function(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

LONG CALLBACK onException(PEXCEPTION_POINTERS pointers) {
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    if (record->NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
    // Parameters: the length in characters including the terminator, then
    // the text.
    const size_t length = static_cast<size_t>(record->ExceptionInformation[0]);
    const ULONG_PTR text = record->ExceptionInformation[1];
    if (record->ExceptionCode == printExceptionWide) {
        const char16_t* wide = reinterpret_cast<const char16_t*>(text);
        std::u16string line(wide, length > 0 ? length - 1 : 0);
        captured.push_back(line);
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    if (record->ExceptionCode == printExceptionNarrow) {
        // The narrow text is in the ANSI code page: widen it the system's way.
        const char* narrow = reinterpret_cast<const char*>(text);
        const int count = length > 0 ? static_cast<int>(length - 1) : 0;
        std::u16string line(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, narrow, count, nullptr, 0)), u'\0');
        if (!line.empty()) MultiByteToWideChar(CP_ACP, 0, narrow, count, reinterpret_cast<LPWSTR>(&line[0]),
                                               static_cast<int>(line.size()));
        captured.push_back(line);
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

DebugOutputCapture::DebugOutputCapture() {
    captured.clear();
    auto add = kernel32Function<AddHandlerFn>("AddVectoredExceptionHandler");
    if (add != nullptr) handler = add(1, onException);
}

DebugOutputCapture::~DebugOutputCapture() {
    auto remove = kernel32Function<RemoveHandlerFn>("RemoveVectoredExceptionHandler");
    if (remove != nullptr && handler != nullptr) remove(handler);
    handler = nullptr;
}

const std::vector<std::u16string>& DebugOutputCapture::lines() const { return captured; }

void DebugOutputCapture::clear() { captured.clear(); }
