// The installation pass: finds velk.inf beside the executable, opens and
// parses it, asks for a driver update for every device ID it yields while the
// progress bar advances, then shows the summary and sets the outcome.
#include "app/installation_pass.h"

#include <cstdint>

#include "inf/cinf_file.h"
#include "text/cwstring.h"
#include "text/cwstring_array.h"
#include "ui/setup_wnd.h"

namespace {

// The longest path Windows hands out, in units, terminator included.
constexpr DWORD kLongestModulePath = 32768;

}  // namespace

// The full path of the running executable. A path that fills the buffer may
// have been cut, and a cut path can name another folder (whose velk.inf would
// then be installed), so the call is repeated with a larger buffer until the
// path fits. Empty when the path cannot be read or does not fit even the
// largest buffer.
CWString getModulePath() {
    for (DWORD size = 512;; size *= 2) {
        CWString buffer(size + 1);
        DWORD count = GetModuleFileNameW(nullptr, wstr(buffer.data), size);
        if (count == 0) return CWString();
        if (count < size) return buffer.mid(0, count);
        // Even the largest buffer is full: the path cannot be trusted.
        if (size >= kLongestModulePath) return CWString();
    }
}

// Position of the bar after `done` of `count` IDs, 0 to 10000. Computed in 64
// bits: 10000 * done overflows 32 bits from 214,749 IDs on.
int progressPosition(uint32_t done, uint32_t count) {
    return static_cast<int>(static_cast<int64_t>(10000) * done / count);
}

void runInstallationPass(CSetupWnd& window, InstallOutcome& outcome) {
    window.showStatus();
    window.repaint();

    CWString modulePath = getModulePath();
    CWString directory;
    directoryOf(modulePath, directory);
    CWString infPath = directory + u"\\" + u"velk.inf";
    CWStringArray deviceIds;
    CInfFile inf;  // destroyed first: the INF is closed before Finish is waited for

    inf.verbose = 1;
    inf.osVersion.dwOSVersionInfoSize = sizeof(inf.osVersion);
    // Without its own path the installer does not know its folder, and the
    // package is never looked for elsewhere: "\velk.inf" would name the root
    // of the current drive.
    const bool ownFolderKnown = !modulePath.isEmpty();
    if (!ownFolderKnown || !GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&inf.osVersion)) ||
        inf.open(infPath.data) != INF_OK) {
        window.setStatusText(u"Failed to open 'velk.inf'");
        outcome = OUTCOME_OPEN_FAILED;
        return;
    }
    if (inf.parse(deviceIds) != INF_OK) {
        window.setStatusText(u"Failed to parse 'velk.inf'");
        outcome = OUTCOME_PARSE_FAILED;
        return;
    }

    window.showProgress();
    window.repaint();

    int32_t updatedAny = 0;
    int32_t rebootPending = 0;
    bool failed = false;
    for (uint32_t i = 0; i < deviceIds.itemCount; ++i) {
        int32_t deviceFound = 0;
        int32_t rebootRequired = 0;
        int32_t notBetter = 0;
        if (inf.installDriver(deviceIds.items[i], deviceFound, rebootRequired, notBetter) != INF_OK) {
            failed = true;
            break;
        }
        if (deviceFound && !notBetter) {
            rebootPending |= rebootRequired;
            updatedAny = 1;
        }
        window.setProgress(progressPosition(i + 1, deviceIds.itemCount));
        window.repaint();
    }

    window.setStatusText(u"Searching for hardware... Done");
    if (failed) {
        window.setResultText(u"An error occurred while updating the driver.\n");
        outcome = OUTCOME_UPDATE_FAILED;
    } else if (updatedAny) {
        window.setResultText(u"The driver was successfully updated for at least one device.\n");
    } else {
        window.setResultText(u"No suitable hardware was found.\n");
        outcome = OUTCOME_NO_HARDWARE;
    }
    window.showResult();
    if (rebootPending) window.showRebootNote();
    window.repaint();
}
