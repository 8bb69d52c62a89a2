// The toolchain's C++ runtime (its threads library, winpthreads) imports
// GetTickCount64 (Windows Vista) and the vectored exception handler calls
// (Windows XP). Imported at load time they would keep the installer from
// starting at all on Windows 2000, so this object fills the import slots that
// those references resolve to: each function is looked up in kernel32 when it
// is called, with a fallback where it is absent. The object must be linked
// into the executable itself (not taken from a library), so that its slots
// are defined before the runtime's libraries are searched.
#include "platform/platform.h"

namespace {

FARPROC kernel32Function(const char* name) {
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    return kernel32 != nullptr ? GetProcAddress(kernel32, name) : nullptr;
}

template <typename Fn>
Fn lookup(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(kernel32Function(name)));
}

ULONGLONG WINAPI tickCount64() {
    if (auto fn = lookup<ULONGLONG(WINAPI*)()>("GetTickCount64")) return fn();
    // Wraps after 49.7 days; the runtime only measures short waits with it.
    return GetTickCount();
}

PVOID WINAPI addVectoredExceptionHandler(ULONG first, PVECTORED_EXCEPTION_HANDLER handler) {
    if (auto fn = lookup<PVOID(WINAPI*)(ULONG, PVECTORED_EXCEPTION_HANDLER)>("AddVectoredExceptionHandler"))
        return fn(first, handler);
    return nullptr;  // the runtime treats this as "no handler installed"
}

ULONG WINAPI removeVectoredExceptionHandler(PVOID handle) {
    if (auto fn = lookup<ULONG(WINAPI*)(PVOID)>("RemoveVectoredExceptionHandler")) return fn(handle);
    return 0;
}

}  // namespace

// The slots' names: __imp_ + the function's symbol, which carries a leading
// underscore and the stdcall argument size on 32-bit x86.
#if defined(__i386__)
#define VELK_IMPORT_SLOT(name, argumentBytes) "__imp__" #name "@" #argumentBytes
#else
#define VELK_IMPORT_SLOT(name, argumentBytes) "__imp_" #name
#endif

extern "C" {
extern decltype(&tickCount64) velkGetTickCount64Slot __asm__(VELK_IMPORT_SLOT(GetTickCount64, 0));
extern decltype(&addVectoredExceptionHandler) velkAddVehSlot __asm__(VELK_IMPORT_SLOT(AddVectoredExceptionHandler, 8));
extern decltype(&removeVectoredExceptionHandler) velkRemoveVehSlot __asm__(VELK_IMPORT_SLOT(RemoveVectoredExceptionHandler, 4));
decltype(&tickCount64) velkGetTickCount64Slot = tickCount64;
decltype(&addVectoredExceptionHandler) velkAddVehSlot = addVectoredExceptionHandler;
decltype(&removeVectoredExceptionHandler) velkRemoveVehSlot = removeVectoredExceptionHandler;
}
