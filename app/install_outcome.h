// InstallOutcome: the outcome code of a run and the exit code of the process.
#pragma once

#include <cstdint>

typedef int32_t InstallOutcome;

enum : InstallOutcome {
    OUTCOME_SUCCESS = 0,             // updated for at least one device; also the initial value
    OUTCOME_UNSUPPORTED_SYSTEM = 1,  // before Windows 2000, or 32-bit on 64-bit Windows
    OUTCOME_OPEN_FAILED = 2,         // the INF file could not be opened
    OUTCOME_PARSE_FAILED = 3,        // the INF file could not be parsed
    OUTCOME_NO_HARDWARE = 4,         // no device ID led to an update
    OUTCOME_UPDATE_FAILED = 5,       // the driver update for a device ID failed
};
