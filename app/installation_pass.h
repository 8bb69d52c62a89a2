// The installation pass: the work of a run after the system gate let the
// system through. It drives the window and may set outcome to 2, 3, 4 or 5.
#pragma once

#include <cstdint>

#include "app/install_outcome.h"
#include "text/cwstring.h"

class CSetupWnd;

void runInstallationPass(CSetupWnd& window, InstallOutcome& outcome);

// The full path of the running executable; empty when it cannot be read or
// is longer than the longest path Windows hands out.
CWString getModulePath();

// The progress bar's position after `done` of `count` device IDs.
int progressPosition(uint32_t done, uint32_t count);
