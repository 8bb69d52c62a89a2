// The application's run: start-up hook, message loop, exit hook.
#pragma once

// Runs the registered application object (win_app.h) and returns the process
// exit code: the result of its ExitInstance. In order: the command-line tail
// is set; InitInstance; on FALSE the main window, if any, is destroyed and
// ExitInstance follows at once, without a message loop; on TRUE messages are
// dispatched until the main window is destroyed, then ExitInstance. Without
// an application object the result is -1.
int runApplication();
