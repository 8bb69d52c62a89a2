#include "platform/frame/run.h"

#include "platform/frame/command_line.h"
#include "platform/frame/win_app.h"
#include "platform/frame/wnd.h"

int runApplication() {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return -1;
    app->m_lpCmdLine = commandLineTail(ustr(GetCommandLineW()));

    if (!app->InitInstance()) {
        if (app->m_pMainWnd != nullptr) app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }

    // Only the end of the main window ends the loop: without one (or when its
    // creation failed) the loop would wait for ever.
    if (app->m_pMainWnd != nullptr && app->m_pMainWnd->m_hWnd != nullptr) {
        MSG msg;
        // GetMessageW gives 0 for WM_QUIT and -1 on failure; both end the loop.
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return app->ExitInstance();
}
