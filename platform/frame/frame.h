// The application frame: application object, windows, controls and class
// registration, over the Windows API or its stand-ins.
#pragma once

#include "platform/platform.h"
#include "platform/frame/controls.h"
#include "platform/frame/run.h"
#include "platform/frame/win_app.h"
#include "platform/frame/wnd.h"
#include "platform/frame/wnd_class.h"
