// CSetupWnd: the installer's one window. A fixed 400x210 frame centred in the
// maximised-window area, with a status line, a progress bar, a result line,
// a restart note and a Finish button. The run drives it only through the
// view operations, and no messages are processed while it runs, so each
// change it wants seen is followed by repaint().
#pragma once

#include "platform/frame/frame.h"

class CSetupWnd : public CWnd {
    DECLARE_DYNAMIC(CSetupWnd)

public:
    // Creates and shows the frame with all five controls hidden. Nothing is
    // checked: a control that could not be created is driven all the same.
    CSetupWnd();
    ~CSetupWnd() override;

    void setStatusText(const char16_t* text);
    void showStatus();
    void showProgress();
    void setProgress(int position);  // 0 to 10000
    void setResultText(const char16_t* text);
    void showResult();
    void showRebootNote();
    void showFinish();  // shown, then given the keyboard focus
    void repaint();     // paints every invalid part before returning

    CBrush background;
    CStatic statusLine;
    CStatic resultLine;
    CStatic rebootNote;
    CProgressCtrl progressBar;
    CButton finishButton;

protected:
    // Finish and closing the frame both destroy the window, which ends the
    // message loop; the object lives on until the application deletes it.
    void onFinish();

    DECLARE_MESSAGE_MAP()
};
