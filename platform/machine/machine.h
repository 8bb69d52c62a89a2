// The machine the stand-ins pretend to be: version, processor, screen, where
// debug output goes, and the devices the driver update service sees. One
// process-wide description, read once at start-up from the file named by
// VELK_MACHINE (format: README.md beside this file); in-process tests change
// fields directly through machine().
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace standin {

enum class Wow64Answer { No, Yes, Missing };
enum class DebugTarget { None, Stderr, File };
enum class ServiceAnswer { Unset, Updated, Restart, NotBetter, Error };

struct Device {
    std::u16string instance;
    std::vector<std::u16string> hardwareIds;
    std::vector<std::u16string> compatibleIds;
    bool hasDriver = false;  // false: no driver installed ("driver = none")
    int driverMonth = 0;
    int driverDay = 0;
    int driverYear = 0;
    uint16_t driverVersion[4] = {0, 0, 0, 0};
    bool inUse = false;
    ServiceAnswer answer = ServiceAnswer::Unset;  // Unset: the service decides
    DWORD answerError = 0;                        // with ServiceAnswer::Error
};

struct Machine {
    bool versionFails = false;
    DWORD majorVersion = 5;
    DWORD minorVersion = 1;
    DWORD buildNumber = 2600;
    std::u16string csdVersion;
    WORD servicePackMajor = 0;
    WORD servicePackMinor = 0;
    BYTE productType = VER_NT_WORKSTATION;
    WORD suiteMask = 0;
    WORD processorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;  // of the machine, not the process
    bool nativeSystemInfo = true;                               // GetNativeSystemInfo can be looked up
    Wow64Answer wow64 = Wow64Answer::No;
    int screenWidth = 1024;  // the area of a maximised window
    int screenHeight = 768;
    DebugTarget debug = DebugTarget::None;
    std::string debugPath;       // with DebugTarget::File
    std::string dumpPath;        // empty: no dump of the final window tree
    std::u16string modulePath;   // empty: the real executable's path
    std::string serviceLogPath;  // empty: the service keeps no log
    std::vector<Device> devices;
};

// The current description; the built-in default until one is loaded.
Machine& machine();

// Back to the built-in default machine.
void resetMachine();

// Parses a description. On failure returns false with the 1-based number of
// the offending line (0 when the text as a whole is refused) and what is wrong.
bool parseMachine(const std::string& text, Machine* out, int* errorLine, std::string* error);

// Reads and parses a description file into machine(). On failure machine()
// is unchanged and *error reads "<path>:<line>: <what>" (or "<path>: <what>").
bool loadMachine(const char* path, std::string* error);

// Largest description file accepted; descriptions are a few lines.
constexpr size_t kMaxMachineFileSize = 1 << 20;

}  // namespace standin
