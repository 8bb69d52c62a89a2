// The system gate of a run: the installer works on Windows 2000 and later,
// and not as a 32-bit process on 64-bit Windows.
#pragma once

#include "app/install_outcome.h"
#include "platform/platform.h"

class CSetupWnd;

// The version test: TRUE when the version query succeeds and reports major
// version 5 or more.
BOOL isWindows2000OrLater();

// TRUE when IsWow64Process exists and says this process runs under WOW64.
BOOL isWow64();

// Applies both tests in order. The first that fails sets its message on the
// status line, shows the line and sets outcome to 1; returns whether the
// system passed. A passing system leaves window and outcome alone.
bool passesSystemGate(CSetupWnd& window, InstallOutcome& outcome);
