#include "app/setup_app.h"

#include "text/routines.h"
#include "ui/setup_wnd.h"

BOOL CSetupApp::InitInstance() {
    INITCOMMONCONTROLSEX controls;
    controls.dwSize = 8;     // the size of the record
    controls.dwICC = 0xFF;   // every class from list view to animation, the progress bar among them
    InitCommonControlsEx(&controls);

    CWinApp::InitInstance();

    setupWnd = new CSetupWnd;
    m_pMainWnd = setupWnd;

    // The whole tail, A-Z folded: "-nopause " or "/nopause" do not count.
    const BOOL noPause = compareNoCase(m_lpCmdLine, u"-nopause") == 0 ? TRUE : FALSE;
    return installer.run(*setupWnd, noPause);
}

int CSetupApp::ExitInstance() {
    if (setupWnd != nullptr) {
        if (m_pMainWnd == setupWnd) m_pMainWnd = nullptr;
        delete setupWnd;
        setupWnd = nullptr;
    }
    CWinApp::ExitInstance();
    return installer.outcome;
}
