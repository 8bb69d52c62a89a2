// The whole installation pass over a generated INF with 20,000 device IDs,
// the driver update service answering at once ("no such device"), so that
// what is timed is the installer's own code: opening and parsing the INF,
// collecting the IDs, the update loop with its trace and window updates.
//
//   installation_pass_bench [ids]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/installation_pass.h"
#include "platform/faults/faults.h"
#include "platform/machine/machine.h"
#include "platform/testing/scratch_dir.h"
#include "ui/setup_wnd.h"

namespace {

std::string generateInf(unsigned ids) {
    std::string inf =
        "[Version]\r\nSignature=\"$Windows NT$\"\r\nDriverVer=06/01/2024,2.1.0.0\r\n"
        "[Manufacturer]\r\n%Mfg% = Models, NTx86, NTx86.5.1, NTamd64\r\n"
        "[Models.NTx86.5.1]\r\n";
    char line[160];
    for (unsigned i = 0; i < ids / 2; ++i) {
        std::snprintf(line, sizeof line, "%%Dev%u%% = Inst, USB\\VID_F055&PID_%04X&REV_%04X, USB\\VID_F055&PID_%04X\r\n",
                      i % 16, i & 0xFFFF, i >> 16, i & 0xFFFF);
        inf += line;
    }
    inf += "[Strings]\r\nMfg = \"VELK\"\r\n";
    for (unsigned i = 0; i < 16; ++i) inf += "Dev" + std::to_string(i) + " = \"VELK adapter " + std::to_string(i) + "\"\r\n";
    return inf;
}

}  // namespace

int main(int argc, char** argv) {
    const unsigned ids = argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)) : 20000;
    ScratchDirectory scratch;
    scratch.write("velk.inf", generateInf(ids));
    standin::machine().modulePath = scratch.windowsPath("install.exe");
    standin::injectFailure("UpdateDriverForPlugAndPlayDevicesW", ERROR_NO_SUCH_DEVINST, 1, -1);

    CSetupWnd window;
    InstallOutcome outcome = OUTCOME_SUCCESS;
    const auto start = std::chrono::steady_clock::now();
    runInstallationPass(window, outcome);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf("installation pass: %u IDs, outcome %d, service calls %d\n", ids, outcome,
                standin::callCount("UpdateDriverForPlugAndPlayDevicesW"));
    std::printf("  time in the installer's code: %.3f s (%.1f us per ID)\n", seconds, seconds * 1e6 / ids);
    return outcome == OUTCOME_NO_HARDWARE ? 0 : 1;
}
