// InfStatus: the result code of the INF reader and of the driver update.
#pragma once

#include <cstdint>

#include "text/cwstring.h"

typedef int32_t InfStatus;

enum : InfStatus {
    INF_OK = 0,
    INF_FILE_NOT_FOUND = 1,
    INF_PATH_NOT_FOUND = 2,
    INF_SECTION_NOT_FOUND = 3,
    INF_PARSE_ERROR = 4,
    INF_OUT_OF_MEMORY = 5,
    INF_UNEXPECTED = 6,
    INF_WOW64 = 7,
    INF_NO_SUCH_HARDWARE_ID = 8,
};

CWString statusText(InfStatus status);
