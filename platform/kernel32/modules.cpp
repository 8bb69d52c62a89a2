// Module handles and the run-time look-ups of kernel32, from the machine
// description: which functions exist and what they report about the
// processor and WOW64.
#include <cstring>

#include "platform/faults/faults.h"
#include "platform/kernel32/kernel32.h"
#include "platform/machine/machine.h"
#include "platform/platform.h"

namespace {

// Distinct addresses serve as module handles; nothing is behind them.
char executableImage;
char kernel32Image;

const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));

bool equalsNoCase(const WCHAR* text, const char* ascii) {
    for (; *ascii != '\0'; ++text, ++ascii) {
        WCHAR c = *text;
        if (c >= u'A' && c <= u'Z') c = static_cast<WCHAR>(c - u'A' + u'a');
        if (c != static_cast<WCHAR>(*ascii)) return false;
    }
    return *text == 0;
}

void fillSystemInfo(LPSYSTEM_INFO info, WORD architecture) {
    std::memset(info, 0, sizeof *info);
    info->wProcessorArchitecture = architecture;
    info->dwPageSize = 4096;
    info->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(static_cast<ULONG_PTR>(0x10000));
    info->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(static_cast<ULONG_PTR>(0x7FFEFFFF));
    info->dwActiveProcessorMask = 1;
    info->dwNumberOfProcessors = 1;
    switch (architecture) {
    case PROCESSOR_ARCHITECTURE_INTEL: info->dwProcessorType = 586; break;    // PROCESSOR_INTEL_PENTIUM
    case PROCESSOR_ARCHITECTURE_AMD64: info->dwProcessorType = 8664; break;   // PROCESSOR_AMD_X8664
    case PROCESSOR_ARCHITECTURE_IA64: info->dwProcessorType = 2200; break;    // PROCESSOR_INTEL_IA64
    default: info->dwProcessorType = 0; break;
    }
    info->dwAllocationGranularity = 65536;
    info->wProcessorLevel = 6;
}

void WINAPI standinGetNativeSystemInfo(LPSYSTEM_INFO info) {
    standin::failureInjected("GetNativeSystemInfo");  // counted only: it cannot fail
    if (info == nullptr) return;
    fillSystemInfo(info, standin::machine().processorArchitecture);
}

BOOL WINAPI standinIsWow64Process(HANDLE process, PBOOL wow64) {
    if (standin::failureInjected("IsWow64Process")) return FALSE;
    if (process != kCurrentProcess) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (wow64 == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *wow64 = standin::machine().wow64 == standin::Wow64Answer::Yes ? TRUE : FALSE;
    return TRUE;
}

// FARPROC stands for any function type; void(*)() is the one pointer type
// that converts to and from every other without a warning.
template <typename F>
FARPROC asFarProc(F* function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

}  // namespace

namespace standin {
HMODULE executableModule() { return reinterpret_cast<HMODULE>(&executableImage); }
HMODULE kernel32Module() { return reinterpret_cast<HMODULE>(&kernel32Image); }
}  // namespace standin

HMODULE GetModuleHandleW(LPCWSTR moduleName) {
    if (standin::failureInjected("GetModuleHandleW")) return nullptr;
    if (moduleName == nullptr) return standin::executableModule();
    if (equalsNoCase(moduleName, "kernel32.dll") || equalsNoCase(moduleName, "kernel32"))
        return standin::kernel32Module();
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
    if (standin::failureInjected("GetProcAddress")) return nullptr;
    if (module != standin::kernel32Module() && module != standin::executableModule()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // Names below 0x10000 are ordinals, which nothing here exports.
    const bool byName = reinterpret_cast<ULONG_PTR>(procName) >= 0x10000;
    if (module == standin::kernel32Module() && byName) {
        const standin::Machine& m = standin::machine();
        if (std::strcmp(procName, "GetNativeSystemInfo") == 0 && m.nativeSystemInfo)
            return asFarProc(&standinGetNativeSystemInfo);
        if (std::strcmp(procName, "IsWow64Process") == 0 && m.wow64 != standin::Wow64Answer::Missing)
            return asFarProc(&standinIsWow64Process);
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

HANDLE GetCurrentProcess() {
    standin::failureInjected("GetCurrentProcess");  // counted only: a pseudo handle, it cannot fail
    return kCurrentProcess;
}

void GetSystemInfo(LPSYSTEM_INFO info) {
    standin::failureInjected("GetSystemInfo");  // counted only: it cannot fail
    if (info == nullptr) return;
    // A 32-bit process on a 64-bit machine is told it runs on x86.
    const standin::Machine& m = standin::machine();
    fillSystemInfo(info, m.wow64 == standin::Wow64Answer::Yes ? WORD(PROCESSOR_ARCHITECTURE_INTEL)
                                                               : m.processorArchitecture);
}
