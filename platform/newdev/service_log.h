// The driver update service's own log: what it did, one line per device (or
// one line for a call that stopped before looking at devices), appended to
// the file the machine description names with `service-log`. Format: README.md.
#pragma once

#include <string>

namespace standin {

struct ServiceLogLine {
    std::u16string id;        // the ID the caller asked for
    std::u16string instance;  // empty: the call stopped before any device
    std::string result;       // updated, restart, not-better or error 0xXXXXXXXX
    std::string detail;
};

// The line as written, without its line end. Control characters in the ID or
// the instance become \xNN, so that one entry stays one line.
std::string formatServiceLogLine(const ServiceLogLine& line);

// Appends the line to `path`; nothing when path is empty or cannot be opened
// (a log that cannot be written must not change what the service answers).
void appendServiceLog(const std::string& path, const ServiceLogLine& line);

}  // namespace standin
