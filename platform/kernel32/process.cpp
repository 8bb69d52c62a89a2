// Start-up of the Linux build: what Windows has ready before a program's
// first instruction (its command line, the machine it runs on).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/kernel32/kernel32.h"
#include "platform/machine/machine.h"

namespace standin {

void startProcess(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) arguments.push_back(argv[i] != nullptr ? argv[i] : "");
    setCommandLine(arguments);

    const char* description = std::getenv("VELK_MACHINE");
    if (description == nullptr || *description == '\0') return;
    std::string error;
    if (!loadMachine(description, &error)) {
        const char* program = argc > 0 && argv[0] != nullptr ? argv[0] : "install";
        const char* slash = std::strrchr(program, '/');
        std::fprintf(stderr, "%s: machine description %s\n", slash != nullptr ? slash + 1 : program, error.c_str());
        std::exit(kExitBadMachine);
    }
}

}  // namespace standin
