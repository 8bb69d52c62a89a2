// The date and version of a driver, as an INF's [Version] DriverVer line gives
// them ("mm/dd/yyyy[,w.x.y.z]") and as the machine description records the
// driver a device has. The service ranks drivers by date, then by version.
#pragma once

#include <cstdint>
#include <string>

namespace standin {

struct DriverVersion {
    int year = 0;  // 0 with month and day 0: no usable date
    int month = 0;
    int day = 0;
    uint16_t parts[4] = {0, 0, 0, 0};
};

// Reads the two DriverVer fields. A date that is not m/d/yyyy with a month of
// 1-12, a day of 1-31 and a year of 1-9999 counts as no date; a missing or
// unreadable version counts as 0.0.0.0, and missing trailing parts as 0, the
// way an INF without DriverVer ranks below every dated driver.
DriverVersion parseDriverVer(const std::u16string& date, const std::u16string& version);

// Negative, zero or positive as a is older than, the same as, or newer than b.
int compareDriverVersions(const DriverVersion& a, const DriverVersion& b);

// "mm/dd/yyyy,w.x.y.z", the form the description and the service log use.
std::string formatDriverVersion(const DriverVersion& v);

}  // namespace standin
