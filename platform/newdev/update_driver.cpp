// The Plug and Play driver update service over the devices of the machine
// description: UpdateDriverForPlugAndPlayDevicesW as Microsoft documents it.
// How a call is decided, how several devices combine and the log: README.md.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/faults/faults.h"
#include "platform/kernel32/paths.h"
#include "platform/machine/machine.h"
#include "platform/newdev/driver_version.h"
#include "platform/newdev/service_log.h"
#include "platform/platform.h"

namespace {

using standin::Device;
using standin::DriverVersion;
using standin::ServiceAnswer;
using standin::ServiceLogLine;

constexpr DWORD kKnownFlags = INSTALLFLAG_FORCE | INSTALLFLAG_READONLY | INSTALLFLAG_NONINTERACTIVE;

std::string hex(DWORD code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
    return text;
}

char16_t foldAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool sameId(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    return true;
}

bool deviceMatches(const Device& device, const std::u16string& id) {
    for (const auto& own : device.hardwareIds)
        if (sameId(own, id)) return true;
    for (const auto& own : device.compatibleIds)
        if (sameId(own, id)) return true;
    return false;
}

DriverVersion currentDriver(const Device& device) {
    DriverVersion v;
    v.year = device.driverYear;
    v.month = device.driverMonth;
    v.day = device.driverDay;
    for (int k = 0; k < 4; ++k) v.parts[k] = device.driverVersion[k];
    return v;
}

void installOn(Device& device, const DriverVersion& v) {
    device.hasDriver = true;
    device.driverYear = v.year;
    device.driverMonth = v.month;
    device.driverDay = v.day;
    for (int k = 0; k < 4; ++k) device.driverVersion[k] = v.parts[k];
}

std::string describe(const Device& device) {
    return device.hasDriver ? standin::formatDriverVersion(currentDriver(device)) : std::string("none");
}

// Fails the call: the log gets one line without a device.
BOOL fail(const std::u16string& id, DWORD error, const char* why) {
    standin::appendServiceLog(standin::machine().serviceLogPath, ServiceLogLine{id, u"", "error " + hex(error), why});
    SetLastError(error);
    return FALSE;
}

// Finds the INF as a file of the host; its absolute Windows path on success.
bool locateInf(const std::u16string& path, std::u16string* windowsPath) {
    std::string host;
    DWORD error = 0;
    if (path.empty() || !standin::toHostPath(path, &host, &error)) return false;
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(host, ec);
    if (ec || !std::filesystem::exists(absolute, ec)) return false;
    *windowsPath = standin::toWindowsPath(absolute.lexically_normal().string());
    return true;
}

// The package's DriverVer through the stand-in Setup API, so that the same INF
// reader as the installer's answers. An INF that does not open: its error.
bool readPackageVersion(const std::u16string& infPath, DriverVersion* version, DWORD* error) {
    UINT errorLine = 0;
    HINF inf = SetupOpenInfFileW(infPath.c_str(), nullptr, INF_STYLE_WIN4, &errorLine);
    if (inf == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    std::u16string fields[2];
    INFCONTEXT context;
    if (SetupFindFirstLineW(inf, u"Version", u"DriverVer", &context)) {
        for (DWORD k = 0; k < 2; ++k) {
            std::vector<WCHAR> buffer(4096);
            DWORD required = 0;
            if (SetupGetStringFieldW(&context, k + 1, buffer.data(), static_cast<DWORD>(buffer.size()), &required))
                fields[k] = buffer.data();
        }
    }
    SetupCloseInfFile(inf);
    *version = standin::parseDriverVer(fields[0], fields[1]);
    return true;
}

}  // namespace

BOOL UpdateDriverForPlugAndPlayDevicesW(HWND, LPCWSTR hardwareId, LPCWSTR fullInfPath, DWORD installFlags,
                                        PBOOL rebootRequired) {
    const std::u16string id = hardwareId != nullptr ? std::u16string(hardwareId) : u"(null)";
    if (standin::failureInjected("UpdateDriverForPlugAndPlayDevicesW"))
        return fail(id, GetLastError(), "scripted failure");
    if ((installFlags & ~kKnownFlags) != 0) return fail(id, ERROR_INVALID_FLAGS, "unknown install flags");
    if (hardwareId == nullptr || fullInfPath == nullptr) return fail(id, ERROR_INVALID_PARAMETER, "no ID or no INF");

    standin::Machine& machine = standin::machine();
    if (machine.wow64 == standin::Wow64Answer::Yes)
        return fail(id, ERROR_IN_WOW64, "32-bit caller on 64-bit Windows");

    std::u16string infPath;
    if (!locateInf(fullInfPath, &infPath)) return fail(id, ERROR_FILE_NOT_FOUND, "INF not found");
    DriverVersion package;
    DWORD openError = 0;
    if (!readPackageVersion(infPath, &package, &openError)) return fail(id, openError, "INF does not open");

    const bool force = (installFlags & INSTALLFLAG_FORCE) != 0;
    bool matched = false;
    bool updated = false;
    bool reboot = false;
    DWORD firstError = 0;
    bool failed = false;
    for (Device& device : machine.devices) {
        if (!deviceMatches(device, id)) continue;
        matched = true;
        ServiceLogLine line{id, device.instance, "", ""};
        ServiceAnswer answer = device.answer;
        if (answer == ServiceAnswer::Unset) {
            if (!force && device.hasDriver && standin::compareDriverVersions(package, currentDriver(device)) <= 0)
                answer = ServiceAnswer::NotBetter;
            else
                answer = device.inUse ? ServiceAnswer::Restart : ServiceAnswer::Updated;
        } else {
            line.detail = "fixed answer; ";
        }
        switch (answer) {
        case ServiceAnswer::Updated:
        case ServiceAnswer::Restart:
            line.result = answer == ServiceAnswer::Restart ? "restart" : "updated";
            line.detail += describe(device) + " -> " + standin::formatDriverVersion(package);
            if (device.answer == ServiceAnswer::Unset && device.inUse) line.detail += ", in use";
            installOn(device, package);
            updated = true;
            reboot = reboot || answer == ServiceAnswer::Restart;
            break;
        case ServiceAnswer::NotBetter:
            line.result = "not-better";
            line.detail += describe(device) + " kept, package " + standin::formatDriverVersion(package);
            break;
        case ServiceAnswer::Error:
        case ServiceAnswer::Unset:
            line.result = "error " + hex(device.answerError);
            line.detail += "device failed";
            if (!failed) firstError = device.answerError;
            failed = true;
            break;
        }
        standin::appendServiceLog(machine.serviceLogPath, line);
    }

    if (!matched) return fail(id, ERROR_NO_SUCH_DEVINST, "no present device has this ID");
    if (failed) {
        SetLastError(firstError);
        return FALSE;
    }
    if (!updated) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    if (rebootRequired != nullptr) *rebootRequired = reboot ? TRUE : FALSE;
    return TRUE;
}
