// infcheck: compares the installer's choice of models sections with Windows'
// own across the Windows releases, for authors of driver packages.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/infcheck/cli.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string out;
    std::string err;
    const int code = runInfcheck(arguments, out, err);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fwrite(err.data(), 1, err.size(), stderr);
    return code;
}
