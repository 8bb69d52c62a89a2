#include "app/driver_installer.h"

#include "app/installation_pass.h"
#include "app/system_gate.h"
#include "ui/setup_wnd.h"

BOOL CDriverInstaller::run(CSetupWnd& window, BOOL noPause) {
    outcome = OUTCOME_SUCCESS;
    // A refusal shows its message without a forced repaint: the message
    // loop paints it while Finish is waited for.
    if (passesSystemGate(window, outcome)) runInstallationPass(window, outcome);
    if (noPause) return FALSE;
    window.showFinish();
    return TRUE;
}
