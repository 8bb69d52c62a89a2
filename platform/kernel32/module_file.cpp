// GetModuleFileNameW: the executable's path in its Windows form, or the
// machine's `module` when a test wants an odd install location.
#include <climits>
#include <unistd.h>
#include <vector>

#include "platform/faults/faults.h"
#include "platform/kernel32/kernel32.h"
#include "platform/kernel32/paths.h"
#include "platform/machine/machine.h"
#include "platform/platform.h"

namespace {

std::u16string executablePath() {
    std::vector<char> buffer(PATH_MAX + 1);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) return u"Z:\\install";
    return standin::toWindowsPath(std::string(buffer.data(), static_cast<size_t>(length)));
}

}  // namespace

DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
    if (standin::failureInjected("GetModuleFileNameW")) return 0;
    std::u16string path;
    if (module == nullptr || module == standin::executableModule()) {
        const std::u16string& configured = standin::machine().modulePath;
        path = configured.empty() ? executablePath() : configured;
    } else if (module == standin::kernel32Module()) {
        path = u"C:\\WINDOWS\\system32\\kernel32.dll";
    } else {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (fileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (path.size() < size) {
        std::copy(path.begin(), path.end(), fileName);
        fileName[path.size()] = 0;
        return static_cast<DWORD>(path.size());
    }
    // Too small: the documented behaviour since Vista (XP left the copy
    // unterminated): size - 1 units and a terminator, the size as result,
    // and ERROR_INSUFFICIENT_BUFFER.
    std::copy(path.begin(), path.begin() + (size - 1), fileName);
    fileName[size - 1] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}
