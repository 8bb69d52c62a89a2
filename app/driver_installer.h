// CDriverInstaller: the one installation run, executed synchronously inside
// the application's start-up, before any message loop.
#pragma once

#include "app/install_outcome.h"
#include "platform/platform.h"

class CSetupWnd;

class CDriverInstaller {
public:
    CDriverInstaller() : outcome(OUTCOME_SUCCESS) {}

    // System gate, then the installation pass when the system passed, then
    // the ending: with noPause FALSE; otherwise the Finish button is shown
    // and focused and the result is TRUE (wait for the user).
    BOOL run(CSetupWnd& window, BOOL noPause);

    InstallOutcome outcome;
};
