#include "platform/frame/win_app.h"

namespace {

CWinApp* currentApp = nullptr;

}  // namespace

CWinApp::CWinApp() : m_pMainWnd(nullptr), m_lpCmdLine(u"") { currentApp = this; }

CWinApp::~CWinApp() {
    if (currentApp == this) currentApp = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

CWinApp* AfxGetApp() { return currentApp; }
