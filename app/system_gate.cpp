#include "app/system_gate.h"

#include "ui/setup_wnd.h"

namespace {

typedef BOOL(WINAPI* IsWow64ProcessFn)(HANDLE process, PBOOL wow64);

void refuse(CSetupWnd& window, InstallOutcome& outcome, const char16_t* message) {
    window.setStatusText(message);
    window.showStatus();
    outcome = OUTCOME_UNSUPPORTED_SYSTEM;
}

}  // namespace

BOOL isWindows2000OrLater() {
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof(version);  // 284: the extended record
    if (!GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&version))) return FALSE;
    return version.dwMajorVersion >= 5 ? TRUE : FALSE;
}

BOOL isWow64() {
    // Looked up, not imported: Windows 2000 and early XP lack the function.
    HMODULE kernel32 = GetModuleHandleW(wstr(u"kernel32.dll"));
    if (kernel32 == nullptr) return FALSE;
    auto isWow64Process = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel32, "IsWow64Process")));
    if (isWow64Process == nullptr) return FALSE;
    BOOL wow64 = FALSE;
    isWow64Process(GetCurrentProcess(), &wow64);  // only the answer counts, not the call's result
    return wow64 != FALSE ? TRUE : FALSE;
}

bool passesSystemGate(CSetupWnd& window, InstallOutcome& outcome) {
    if (!isWindows2000OrLater()) {
        refuse(window, outcome, u"This installer is incompatible with version of Windows before Windows 2000.");
        return false;
    }
    if (isWow64()) {
        refuse(window, outcome,
               u"This installer is incompatible with 64-bit editions of Windows. Please use install64.exe.");
        return false;
    }
    return true;
}
