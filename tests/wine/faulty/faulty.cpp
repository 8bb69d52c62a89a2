// A program with every fault that check-pe must find: it imports the gate's
// run-time-only function and a setupapi function at load time, and with
// faulty.rc it carries the wrong manifest, icons and version resource.
#include <windows.h>
#include <setupapi.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    SetupCloseInfFile(nullptr);
    return wow64;
}
