// For command-line tools that hand a path from their command line to the
// installer's code, which sees Windows paths: on Windows the argument made
// absolute (a bare file name would otherwise be looked up by the Setup API in
// the system's INF folder, not in the current directory); over the stand-ins
// the host path made absolute and then shown in its Windows form (Z:\...).
#pragma once

#include <string>

std::u16string toolPathArgument(const char* argument);
