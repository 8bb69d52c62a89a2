// CSetupApp: the installer's application object. Start-up creates the window
// and runs the installation; the exit hook turns the outcome into the
// process exit code.
#pragma once

#include "app/driver_installer.h"
#include "platform/frame/frame.h"

class CSetupWnd;

class CSetupApp : public CWinApp {
public:
    CSetupApp() : setupWnd(nullptr) {}
    ~CSetupApp() override = default;

    // FALSE with -nopause (end at once), otherwise TRUE with Finish shown.
    BOOL InitInstance() override;
    // Deletes the window object; returns the outcome.
    int ExitInstance() override;

    CDriverInstaller installer;
    CSetupWnd* setupWnd;  // owned from start-up to ExitInstance
};
