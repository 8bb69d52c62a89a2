// The application frame: application object, windows, controls and class
// registration, over the Windows API or its stand-ins.
#pragma once

#include "platform.h"
#include "frame/controls.h"
#include "frame/run.h"
#include "frame/win_app.h"
#include "frame/wnd.h"
#include "frame/wnd_class.h"
