// The Linux build's process entry: what Windows does before a GUI program's
// entry point (the command line, the machine), then the application's run.
#include "platform/frame/run.h"
#include "platform/kernel32/kernel32.h"
#include "platform/user32/user32.h"

int main(int argc, char** argv) {
    standin::startProcess(argc, argv);
    standin::setTerminalDrawing(true);
    return runApplication();
}
