// GetVersionExW from the machine description.
#include <algorithm>
#include <cstring>

#include "platform/faults/faults.h"
#include "platform/machine/machine.h"
#include "platform/platform.h"

BOOL GetVersionExW(LPOSVERSIONINFOW info) {
    if (standin::failureInjected("GetVersionExW")) return FALSE;
    if (info == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // Only the two documented record sizes are accepted.
    const DWORD size = info->dwOSVersionInfoSize;
    if (size != sizeof(OSVERSIONINFOW) && size != sizeof(OSVERSIONINFOEXW)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    const standin::Machine& m = standin::machine();
    if (m.versionFails) {
        SetLastError(ERROR_GEN_FAILURE);
        return FALSE;
    }
    info->dwMajorVersion = m.majorVersion;
    info->dwMinorVersion = m.minorVersion;
    info->dwBuildNumber = m.buildNumber;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::fill(std::begin(info->szCSDVersion), std::end(info->szCSDVersion), WCHAR(0));
    const size_t length = std::min<size_t>(m.csdVersion.size(), 127);
    std::copy(m.csdVersion.begin(), m.csdVersion.begin() + static_cast<std::ptrdiff_t>(length), info->szCSDVersion);
    if (size == sizeof(OSVERSIONINFOEXW)) {
        // Only a record declared as the extended one is written past the
        // short record's end.
        auto* ex = reinterpret_cast<LPOSVERSIONINFOEXW>(info);
        ex->wServicePackMajor = m.servicePackMajor;
        ex->wServicePackMinor = m.servicePackMinor;
        ex->wSuiteMask = m.suiteMask;
        ex->wProductType = m.productType;
        ex->wReserved = 0;
    }
    return TRUE;
}
