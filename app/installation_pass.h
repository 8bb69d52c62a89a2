// The installation pass: the work of a run after the system gate let the
// system through. It drives the window and may set outcome to 2, 3, 4 or 5.
#pragma once

#include "app/install_outcome.h"

class CSetupWnd;

void runInstallationPass(CSetupWnd& window, InstallOutcome& outcome);
