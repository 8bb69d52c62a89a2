// What the kernel32 stand-ins offer the Linux entry, the other stand-ins and
// the tests beyond the Windows calls themselves.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace standin {

// Start-up of the Linux entry: records argv for GetCommandLineW and loads the
// machine from VELK_MACHINE. A description that cannot be loaded ends the
// process with its message on stderr and kExitBadMachine.
void startProcess(int argc, char** argv);
constexpr int kExitBadMachine = 70;

// The Windows command line for an argv: the program name as a Windows path,
// then the arguments, separated by single blanks; a part holding a blank, a
// tab or a double quote, or an empty one, is quoted.
std::u16string buildCommandLine(const std::vector<std::string>& argv);

// Sets what GetCommandLineW returns.
void setCommandLine(const std::vector<std::string>& argv);

// The module handles GetModuleHandleW gives out.
HMODULE executableModule();
HMODULE kernel32Module();

}  // namespace standin
