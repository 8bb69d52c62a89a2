// Driver update for one device ID: the Plug and Play driver update service
// installs the package's driver on every present device the ID matches; its
// answer becomes a status and the found, restart and not-better flags.
#include "inf/cinf_file.h"

InfStatus CInfFile::installDriver(const CWString& deviceId, int32_t& deviceFound, int32_t& rebootRequired,
                                  int32_t& notBetter) {
    if (verbose) trace(u"Installing driver for hardware ID %s:\n", deviceId.data);
    deviceFound = 0;
    rebootRequired = 0;

    // The service is given the full path that was opened: a bare file name
    // would be looked up in the current directory, which need not be ours.
    BOOL reboot = FALSE;
    if (UpdateDriverForPlugAndPlayDevicesW(nullptr, wstr(deviceId.data), wstr(path.data), INSTALLFLAG_FORCE,
                                           &reboot)) {
        deviceFound = 1;
        notBetter = 0;
        rebootRequired |= reboot;
        if (verbose) trace(u"  Installed driver for '%s'.\n", deviceId.data);
        return INF_OK;
    }

    switch (GetLastError()) {
    case ERROR_NO_MORE_ITEMS:
        deviceFound = 1;
        notBetter = 1;
        return INF_OK;
    case ERROR_NO_SUCH_DEVINST:
        return INF_OK;
    case ERROR_IN_WOW64:
        return INF_WOW64;
    default:
        return INF_UNEXPECTED;
    }
}
