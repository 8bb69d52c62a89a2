// The Windows entry: everything happens in the application object.
#include "frame/run.h"
#include "platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return runApplication(); }
