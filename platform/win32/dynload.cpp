// Loads setupapi.dll and newdev.dll from the system directory by full path and
// forwards each call. A library or function that cannot be had fails the call
// with the loader's error as the last error, as a failed import would have
// kept the program from starting at all.
#include "platform/platform.h"

namespace {

HMODULE loadSystemLibrary(const wchar_t* name) {
    wchar_t path[MAX_PATH + 32];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    if (path[length - 1] != L'\\') path[length++] = L'\\';
    for (const wchar_t* p = name; *p; ++p) path[length++] = *p;
    path[length] = 0;
    return LoadLibraryW(path);
}

FARPROC lookup(HMODULE* module, const wchar_t* library, const char* name) {
    if (*module == nullptr) *module = loadSystemLibrary(library);
    if (*module == nullptr) return nullptr;
    return GetProcAddress(*module, name);
}

HMODULE setupapi;
HMODULE newdev;

template <typename Fn>
Fn setupapiFunction(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(lookup(&setupapi, L"setupapi.dll", name)));
}

}  // namespace

#undef SetupOpenInfFileW
#undef SetupCloseInfFile
#undef SetupGetInfInformationW
#undef SetupQueryInfOriginalFileInformationW
#undef SetupFindFirstLineW
#undef SetupFindNextLine
#undef SetupGetLineTextW
#undef SetupGetStringFieldW
#undef UpdateDriverForPlugAndPlayDevicesW

#define FORWARD(result, failure, name, params, args)                                 \
    result dyn_##name params {                                                      \
        static auto fn = setupapiFunction<decltype(&::name)>(#name);                \
        if (fn == nullptr) {                                                        \
            if (GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_PROC_NOT_FOUND); \
            return failure;                                                         \
        }                                                                           \
        return fn args;                                                             \
    }

FORWARD(HINF, INVALID_HANDLE_VALUE, SetupOpenInfFileW,
        (PCWSTR fileName, PCWSTR infClass, DWORD infStyle, UINT* errorLine),
        (fileName, infClass, infStyle, errorLine))
FORWARD(BOOL, FALSE, SetupGetInfInformationW,
        (LPCVOID infSpec, DWORD searchControl, PSP_INF_INFORMATION buffer, DWORD size, PDWORD required),
        (infSpec, searchControl, buffer, size, required))
FORWARD(BOOL, FALSE, SetupQueryInfOriginalFileInformationW,
        (PSP_INF_INFORMATION info, UINT index, PSP_ALTPLATFORM_INFO platform, PSP_ORIGINAL_FILE_INFO_W original),
        (info, index, platform, original))
FORWARD(BOOL, FALSE, SetupFindFirstLineW, (HINF inf, PCWSTR section, PCWSTR key, PINFCONTEXT context),
        (inf, section, key, context))
FORWARD(BOOL, FALSE, SetupFindNextLine, (const INFCONTEXT* in, PINFCONTEXT out), (const_cast<PINFCONTEXT>(in), out))
FORWARD(BOOL, FALSE, SetupGetLineTextW,
        (const INFCONTEXT* context, HINF inf, PCWSTR section, PCWSTR key, PWSTR buffer, DWORD size, PDWORD required),
        (const_cast<PINFCONTEXT>(context), inf, section, key, buffer, size, required))
FORWARD(BOOL, FALSE, SetupGetStringFieldW,
        (const INFCONTEXT* context, DWORD index, PWSTR buffer, DWORD size, PDWORD required),
        (const_cast<PINFCONTEXT>(context), index, buffer, size, required))

void dyn_SetupCloseInfFile(HINF inf) {
    static auto fn = setupapiFunction<decltype(&::SetupCloseInfFile)>("SetupCloseInfFile");
    if (fn != nullptr) fn(inf);
}

BOOL dyn_UpdateDriverForPlugAndPlayDevicesW(HWND parent, LPCWSTR hardwareId, LPCWSTR fullInfPath,
                                            DWORD installFlags, PBOOL rebootRequired) {
    static auto fn = reinterpret_cast<decltype(&::UpdateDriverForPlugAndPlayDevicesW)>(
        reinterpret_cast<void*>(lookup(&newdev, L"newdev.dll", "UpdateDriverForPlugAndPlayDevicesW")));
    if (fn == nullptr) {
        if (GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_PROC_NOT_FOUND);
        return FALSE;
    }
    return fn(parent, hardwareId, fullInfPath, installFlags, rebootRequired);
}
