#include "app/installation_pass.h"

// Placeholder until the pass lands: it leaves the window and the outcome as
// they are.
void runInstallationPass(CSetupWnd&, InstallOutcome&) {}
