// CWinApp: the application object. The program defines exactly one, as a
// static object; it registers itself at construction, and runApplication()
// (run.h) drives its start-up hook, the message loop and its exit hook.
#pragma once

#include "platform/platform.h"

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Start-up hook: TRUE runs the message loop until the main window is
    // destroyed, FALSE ends the application at once.
    virtual BOOL InitInstance();
    // Exit hook: its result is the process exit code.
    virtual int ExitInstance();

    // The main window; destroying it ends the message loop and clears this.
    CWnd* m_pMainWnd;
    // The command-line tail (see command_line.h), set before InitInstance.
    const char16_t* m_lpCmdLine;
};

// The registered application object, or null.
CWinApp* AfxGetApp();
