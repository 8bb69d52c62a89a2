// Window-class registration for frames: a class with AfxWndProc as its
// window procedure and a name made up from the values given, so that equal
// requests share one class.
#pragma once

#include "platform/platform.h"

// Registers and returns the class name; the text stays valid
// until the next call. Failures are not reported: creating a window of the
// class fails instead.
const char16_t* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon);
