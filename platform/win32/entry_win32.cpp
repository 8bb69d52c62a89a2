// The Windows entry: everything happens in the application object.
#include "platform/frame/run.h"
#include "platform/platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return runApplication(); }
