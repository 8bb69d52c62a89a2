#include "ui/setup_wnd.h"

namespace {

constexpr int frameWidth = 400;
constexpr int frameHeight = 210;
constexpr int iconId = 102;

constexpr UINT finishId = 1;
constexpr UINT statusId = 2;
constexpr UINT progressId = 3;
constexpr UINT resultId = 4;
constexpr UINT rebootId = 5;

void setFont(CWnd& control, HFONT font) {
    control.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

}  // namespace

IMPLEMENT_DYNAMIC(CSetupWnd, CWnd)

BEGIN_MESSAGE_MAP(CSetupWnd, CWnd)
ON_BN_CLICKED(finishId, &CSetupWnd::onFinish)
ON_MESSAGE_VOID(WM_CLOSE, &CSetupWnd::onFinish)
END_MESSAGE_MAP()

CSetupWnd::CSetupWnd() {
    background.Attach(GetSysColorBrush(COLOR_BTNFACE));
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId));
    const char16_t* className = AfxRegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW), background, icon);

    const int x = (GetSystemMetrics(SM_CXMAXIMIZED) - frameWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYMAXIMIZED) - frameHeight) / 2;
    CreateEx(WS_EX_STATICEDGE, className, u"VELK Driver Installer", WS_SYSMENU, x, y, frameWidth, frameHeight,
             nullptr, nullptr);

    RECT rc = {};
    GetClientRect(&rc);

    statusLine.Create(u"Searching for hardware...", WS_CHILD | SS_LEFT,
                      RECT{rc.left + 10, rc.top + 10, rc.right - 10, rc.top + 40}, this, statusId);
    setFont(statusLine, font);

    progressBar.Create(WS_CHILD | PBS_SMOOTH, RECT{rc.left + 10, rc.top + 50, rc.right - 10, rc.top + 70}, this,
                       progressId);
    progressBar.SetRange32(0, 10000);

    resultLine.Create(u"No hardware found", WS_CHILD | SS_LEFT,
                      RECT{rc.left + 10, rc.top + 80, rc.right - 10, rc.top + 100}, this, resultId);
    setFont(resultLine, font);

    rebootNote.Create(u"NOTE: The driver will not be fully updated until you restart your computer.",
                      WS_CHILD | SS_LEFT, RECT{rc.left + 10, rc.top + 110, rc.right - 10, rc.top + 160}, this,
                      rebootId);
    setFont(rebootNote, font);

    finishButton.Create(u"&Finish", WS_CHILD | BS_CENTER | BS_VCENTER,
                        RECT{rc.right - 90, rc.bottom - 35, rc.right - 10, rc.bottom - 10}, this, finishId);
    setFont(finishButton, font);

    ShowWindow(SW_SHOW);
    UpdateWindow();
}

CSetupWnd::~CSetupWnd() = default;

void CSetupWnd::setStatusText(const char16_t* text) { statusLine.SetWindowText(text); }

void CSetupWnd::showStatus() { statusLine.ShowWindow(SW_SHOW); }

void CSetupWnd::showProgress() { progressBar.ShowWindow(SW_SHOW); }

void CSetupWnd::setProgress(int position) { progressBar.SetPos(position); }

void CSetupWnd::setResultText(const char16_t* text) { resultLine.SetWindowText(text); }

void CSetupWnd::showResult() { resultLine.ShowWindow(SW_SHOW); }

void CSetupWnd::showRebootNote() { rebootNote.ShowWindow(SW_SHOW); }

void CSetupWnd::showFinish() {
    finishButton.ShowWindow(SW_SHOW);
    finishButton.SetFocus();
}

void CSetupWnd::repaint() { UpdateWindow(); }

void CSetupWnd::onFinish() { DestroyWindow(); }
