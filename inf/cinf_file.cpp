// CInfFile: construction, open with the system identity, the line and field
// readers over the Setup API's size-query protocol, and the trace.
#include "inf/cinf_file.h"

#include <cstdarg>

#include "text/routines.h"

namespace {

typedef void(WINAPI* GetNativeSystemInfoFn)(LPSYSTEM_INFO);

InfStatus openErrorStatus(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return INF_FILE_NOT_FOUND;
    case ERROR_PATH_NOT_FOUND: return INF_PATH_NOT_FOUND;
    case ERROR_NOT_ENOUGH_MEMORY: return INF_OUT_OF_MEMORY;
    default: return INF_UNEXPECTED;
    }
}

}  // namespace

// The owner sets verbose and fills osVersion; they start zeroed so that no
// path can read an indeterminate value.
CInfFile::CInfFile() : handle(INVALID_HANDLE_VALUE), context(), verbose(0), osVersion(), systemInfo() {}

CInfFile::~CInfFile() { close(); }

void CInfFile::close() {
    if (handle != INVALID_HANDLE_VALUE) {
        SetupCloseInfFile(handle);
        handle = INVALID_HANDLE_VALUE;
    }
}

InfStatus CInfFile::open(const char16_t* infPath) {
    HMODULE kernel32 = GetModuleHandleW(wstr(u"kernel32.dll"));
    FARPROC proc = GetProcAddress(kernel32, "GetNativeSystemInfo");
    if (proc != nullptr) {
        reinterpret_cast<GetNativeSystemInfoFn>(reinterpret_cast<void*>(proc))(&systemInfo);
    } else {
        GetSystemInfo(&systemInfo);
    }

    path = CWString(infPath);
    splitPath(path, dir, filename);
    trace(u"CInfFile::open: dir='%s' filename='%s' path='%s'\n", dir.data, filename.data, path.data);

    UINT errorLine = 0;
    handle = SetupOpenInfFileW(wstr(path.data), nullptr, INF_STYLE_WIN4, &errorLine);
    if (handle == INVALID_HANDLE_VALUE) return openErrorStatus(GetLastError());

    if (verbose) {
        trace(u"CInfFile::open: opened .INF file. Architecture=%lu OS=%lu.%lu ProductType=%lu SuiteMask=0x%lx\n",
              static_cast<uint32_t>(systemInfo.wProcessorArchitecture),
              static_cast<uint32_t>(osVersion.dwMajorVersion), static_cast<uint32_t>(osVersion.dwMinorVersion),
              static_cast<uint32_t>(osVersion.wProductType), static_cast<uint32_t>(osVersion.wSuiteMask));
    }

    InfStatus status = getOriginalFilename();
    if (status != INF_OK) {
        trace(u"*** Failed to get original filename, error=%s\n", statusText(status).data);
        close();
        return status;
    }
    trace(u"CInfFile::open: orignal filename=%s\n", originalFilename.data);
    return INF_OK;
}

InfStatus CInfFile::getInfInformation(std::unique_ptr<BYTE[]>& information) {
    DWORD required = 0;
    if (!SetupGetInfInformationW(handle, INFINFO_INF_SPEC_IS_HINF, nullptr, 0, &required)) return INF_UNEXPECTED;
    // The block is read as an SP_INF_INFORMATION: a smaller answer is no block.
    if (required < sizeof(SP_INF_INFORMATION) - ANYSIZE_ARRAY) return INF_UNEXPECTED;
    std::unique_ptr<BYTE[]> block(new BYTE[required]());
    if (!SetupGetInfInformationW(handle, INFINFO_INF_SPEC_IS_HINF, reinterpret_cast<PSP_INF_INFORMATION>(block.get()),
                                 required, nullptr)) {
        return INF_UNEXPECTED;
    }
    information = std::move(block);
    return INF_OK;
}

InfStatus CInfFile::getOriginalFilename() {
    std::unique_ptr<BYTE[]> information;
    InfStatus status = getInfInformation(information);
    if (status != INF_OK) return status;

    SP_ORIGINAL_FILE_INFO_W original = {};
    original.cbSize = sizeof(SP_ORIGINAL_FILE_INFO_W);
    if (!SetupQueryInfOriginalFileInformationW(reinterpret_cast<PSP_INF_INFORMATION>(information.get()), 0, nullptr,
                                               &original)) {
        return INF_UNEXPECTED;
    }
    // A name that fills the array without a terminator is cut at its end.
    original.OriginalInfName[MAX_PATH - 1] = 0;
    originalFilename = CWString(ustr(original.OriginalInfName));
    return INF_OK;
}

InfStatus CInfFile::readLineText(CWString& text) {
    DWORD required = 0;
    if (!SetupGetLineTextW(&context, nullptr, nullptr, nullptr, nullptr, 0, &required)) return INF_UNEXPECTED;
    // A size without room for the terminator cannot be fetched into.
    if (required == 0) return INF_UNEXPECTED;
    CWString buffer(required - 1);
    if (!SetupGetLineTextW(&context, nullptr, nullptr, nullptr, wstr(buffer.data), required, nullptr)) {
        return INF_UNEXPECTED;
    }
    text = buffer.mid(0, required - 1);
    return INF_OK;
}

InfStatus CInfFile::readField(uint32_t fieldNumber, CWString& text) {
    DWORD required = 0;
    if (!SetupGetStringFieldW(&context, fieldNumber, nullptr, 0, &required)) return INF_UNEXPECTED;
    if (required == 0) return INF_UNEXPECTED;
    CWString buffer(required - 1);
    if (!SetupGetStringFieldW(&context, fieldNumber, wstr(buffer.data), required, nullptr)) return INF_UNEXPECTED;
    text = buffer.mid(0, required - 1);
    return INF_OK;
}

void CInfFile::trace(const char16_t* format, ...) {
    if (!verbose) return;
    char16_t line[256];
    va_list args;
    va_start(args, format);
    formatTextV(line, sizeof line / sizeof line[0], format, args);
    va_end(args);
    OutputDebugStringW(wstr(line));
}

BOOL CInfFile::findFirstLine(const CWString& section, const CWString& key) {
    return SetupFindFirstLineW(handle, wstr(section.data), key.isEmpty() ? nullptr : wstr(key.data), &context);
}
