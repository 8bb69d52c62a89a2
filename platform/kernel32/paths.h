// Path mapping between the Windows form the stand-ins show the installer and
// the host's file system: the host root is drive Z: and separators are
// backslashes (/opt/drv/install <-> Z:\opt\drv\install). A relative Windows
// path resolves against the current directory; "\x" is the root of the
// current drive (Z:). Any other drive letter does not exist.
#pragma once

#include <string>

#include "platform/platform.h"

namespace standin {

// Host path for a Windows path. Returns false, with the Windows error code
// (ERROR_PATH_NOT_FOUND for an unknown drive, ERROR_INVALID_NAME for an
// unusable name), when the path cannot name a host file.
bool toHostPath(const std::u16string& windowsPath, std::string* hostPath, DWORD* error);

// Windows form of an absolute host path.
std::u16string toWindowsPath(const std::string& hostPath);

}  // namespace standin
