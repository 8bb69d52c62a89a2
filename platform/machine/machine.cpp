#include "platform/machine/machine.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "text/ascii.h"
#include "text/utf8.h"

namespace standin {
namespace {

Machine& current() {
    static Machine instance;
    return instance;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string trim(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// Unsigned number in decimal, or hexadecimal with 0x; nothing else on the
// text, no sign, and at most `limit`.
bool parseNumber(const std::string& text, uint64_t limit, uint64_t* value) {
    size_t i = 0;
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        i = 2;
    }
    if (i >= text.size()) return false;
    uint64_t result = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return false;
        result = result * base + static_cast<uint64_t>(digit);
        if (result > limit) return false;
    }
    *value = result;
    return true;
}

bool parseDecimal(const std::string& text, uint64_t limit, uint64_t* value) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return false;
    return parseNumber(text, limit, value);
}

// "a<sep>b<sep>..." into exactly `count` decimal parts, each at most `limit`.
bool parseParts(const std::string& text, char separator, size_t count, uint64_t limit, uint64_t* parts) {
    size_t start = 0;
    for (size_t k = 0; k < count; ++k) {
        const size_t end = (k + 1 == count) ? text.size() : text.find(separator, start);
        if (end == std::string::npos) return false;
        if (!parseDecimal(text.substr(start, end - start), limit, &parts[k])) return false;
        start = end + 1;
    }
    return true;
}

bool parseYesNo(const std::string& value, bool* out) {
    const std::string v = lowerAscii(value);
    if (v == "yes") return *out = true, true;
    if (v == "no") return *out = false, true;
    return false;
}

struct Parser {
    Machine machine;
    std::string error;

    bool fail(const std::string& what) {
        error = what;
        return false;
    }

    Device* lastDevice(const std::string& key) {
        if (machine.devices.empty()) {
            fail("'" + key + "' comes before any 'device' line");
            return nullptr;
        }
        return &machine.devices.back();
    }

    bool apply(const std::string& key, const std::string& value) {
        uint64_t n = 0;
        uint64_t parts[4];
        const std::string v = lowerAscii(value);
        if (key == "os") {
            if (v == "fail") return machine.versionFails = true, true;
            if (!parseParts(value, '.', 2, 0xFFFFFFFFu, parts)) return fail("os: expected <major>.<minor> or fail");
            machine.versionFails = false;
            machine.majorVersion = static_cast<DWORD>(parts[0]);
            machine.minorVersion = static_cast<DWORD>(parts[1]);
        } else if (key == "build") {
            if (!parseDecimal(value, 0xFFFFFFFFu, &n)) return fail("build: expected a decimal number");
            machine.buildNumber = static_cast<DWORD>(n);
        } else if (key == "csd") {
            std::u16string text = fromUtf8(value);
            if (text.size() > 127) return fail("csd: longer than 127 characters");
            machine.csdVersion = text;
        } else if (key == "service-pack") {
            if (!parseParts(value, '.', 2, 0xFFFF, parts)) return fail("service-pack: expected <major>.<minor>");
            machine.servicePackMajor = static_cast<WORD>(parts[0]);
            machine.servicePackMinor = static_cast<WORD>(parts[1]);
        } else if (key == "product-type") {
            if (!parseNumber(value, 0xFF, &n)) return fail("product-type: expected a number from 0 to 255");
            machine.productType = static_cast<BYTE>(n);
        } else if (key == "suite-mask") {
            if (!parseNumber(value, 0xFFFF, &n)) return fail("suite-mask: expected a number from 0 to 0xFFFF");
            machine.suiteMask = static_cast<WORD>(n);
        } else if (key == "arch") {
            if (v == "x86" || v == "intel") n = PROCESSOR_ARCHITECTURE_INTEL;
            else if (v == "amd64" || v == "x64") n = PROCESSOR_ARCHITECTURE_AMD64;
            else if (v == "ia64") n = PROCESSOR_ARCHITECTURE_IA64;
            else if (v == "arm") n = PROCESSOR_ARCHITECTURE_ARM;
            else if (v == "arm64") n = PROCESSOR_ARCHITECTURE_ARM64;
            else if (!parseNumber(value, 0xFFFF, &n)) return fail("arch: expected x86, amd64, ia64, arm, arm64 or a number");
            machine.processorArchitecture = static_cast<WORD>(n);
        } else if (key == "native-system-info") {
            if (!parseYesNo(value, &machine.nativeSystemInfo)) return fail("native-system-info: expected yes or no");
        } else if (key == "wow64") {
            if (v == "no") machine.wow64 = Wow64Answer::No;
            else if (v == "yes") machine.wow64 = Wow64Answer::Yes;
            else if (v == "missing") machine.wow64 = Wow64Answer::Missing;
            else return fail("wow64: expected no, yes or missing");
        } else if (key == "screen") {
            const size_t x = v.find('x');
            uint64_t w = 0, h = 0;
            if (x == std::string::npos || !parseDecimal(v.substr(0, x), 32767, &w) ||
                !parseDecimal(v.substr(x + 1), 32767, &h) || w == 0 || h == 0)
                return fail("screen: expected <width>x<height>, each 1 to 32767");
            machine.screenWidth = static_cast<int>(w);
            machine.screenHeight = static_cast<int>(h);
        } else if (key == "debug") {
            if (v == "none") machine.debug = DebugTarget::None;
            else if (v == "stderr") machine.debug = DebugTarget::Stderr;
            else machine.debug = DebugTarget::File, machine.debugPath = value;
        } else if (key == "dump") {
            machine.dumpPath = value;
        } else if (key == "module") {
            machine.modulePath = fromUtf8(value);
        } else if (key == "service-log") {
            machine.serviceLogPath = value;
        } else if (key == "device") {
            Device device;
            device.instance = fromUtf8(value);
            machine.devices.push_back(device);
        } else if (key == "hwid" || key == "compatid") {
            Device* device = lastDevice(key);
            if (device == nullptr) return false;
            (key == "hwid" ? device->hardwareIds : device->compatibleIds).push_back(fromUtf8(value));
        } else if (key == "driver") {
            Device* device = lastDevice(key);
            if (device == nullptr) return false;
            if (v == "none") {
                device->hasDriver = false;
                return true;
            }
            const size_t comma = value.find(',');
            uint64_t date[3];
            if (comma == std::string::npos || !parseParts(trim(value.substr(0, comma)), '/', 3, 9999, date) ||
                !parseParts(trim(value.substr(comma + 1)), '.', 4, 0xFFFF, parts) || date[0] < 1 || date[0] > 12 ||
                date[1] < 1 || date[1] > 31 || date[2] < 1)
                return fail("driver: expected <mm/dd/yyyy>,<a.b.c.d> or none");
            device->hasDriver = true;
            device->driverMonth = static_cast<int>(date[0]);
            device->driverDay = static_cast<int>(date[1]);
            device->driverYear = static_cast<int>(date[2]);
            for (int k = 0; k < 4; ++k) device->driverVersion[k] = static_cast<uint16_t>(parts[k]);
        } else if (key == "in-use") {
            Device* device = lastDevice(key);
            if (device == nullptr) return false;
            if (!parseYesNo(value, &device->inUse)) return fail("in-use: expected yes or no");
        } else if (key == "answer") {
            Device* device = lastDevice(key);
            if (device == nullptr) return false;
            if (v == "updated") device->answer = ServiceAnswer::Updated;
            else if (v == "restart") device->answer = ServiceAnswer::Restart;
            else if (v == "not-better") device->answer = ServiceAnswer::NotBetter;
            else if (parseNumber(value, 0xFFFFFFFFu, &n))
                device->answer = ServiceAnswer::Error, device->answerError = static_cast<DWORD>(n);
            else return fail("answer: expected updated, restart, not-better or an error code");
        } else {
            return fail("unknown key '" + key + "'");
        }
        return true;
    }
};

// Keys whose value may be empty.
bool mayBeEmpty(const std::string& key) { return key == "csd"; }

}  // namespace

Machine& machine() { return current(); }

void resetMachine() { current() = Machine(); }

bool parseMachine(const std::string& text, Machine* out, int* errorLine, std::string* error) {
    Parser parser;
    *errorLine = 0;
    if (text.size() > kMaxMachineFileSize) {
        *error = "larger than " + std::to_string(kMaxMachineFileSize) + " bytes";
        return false;
    }
    if (text.find('\0') != std::string::npos) {
        // Locate the line for the message.
        *errorLine = 1;
        for (size_t i = 0; text[i] != '\0'; ++i)
            if (text[i] == '\n') ++*errorLine;
        *error = "holds a NUL byte";
        return false;
    }
    int lineNumber = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        ++lineNumber;
        const std::string line = trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == '#') continue;
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            *errorLine = lineNumber;
            *error = "expected 'key = value'";
            return false;
        }
        const std::string key = lowerAscii(trim(line.substr(0, equals)));
        const std::string value = trim(line.substr(equals + 1));
        if (key.empty()) {
            *errorLine = lineNumber;
            *error = "expected 'key = value'";
            return false;
        }
        if (value.empty() && !mayBeEmpty(key)) {
            *errorLine = lineNumber;
            *error = key + ": missing value";
            return false;
        }
        if (!parser.apply(key, value)) {
            *errorLine = lineNumber;
            *error = parser.error;
            return false;
        }
    }
    *out = std::move(parser.machine);
    return true;
}

bool loadMachine(const char* path, std::string* error) {
    const std::string name = path != nullptr ? path : "";
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) {
        *error = name + ": cannot read: " + std::strerror(errno);
        return false;
    }
    std::string text;
    char buffer[4096];
    bool tooLarge = false;
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (text.size() + got > kMaxMachineFileSize) {
            tooLarge = true;
            break;
        }
        text.append(buffer, got);
    }
    const int readError = std::ferror(file) != 0 ? errno : 0;
    std::fclose(file);
    if (readError != 0) {
        *error = name + ": cannot read: " + std::strerror(readError);
        return false;
    }
    if (tooLarge) {
        *error = name + ": larger than " + std::to_string(kMaxMachineFileSize) + " bytes";
        return false;
    }
    Machine parsed;
    int line = 0;
    std::string what;
    if (!parseMachine(text, &parsed, &line, &what)) {
        *error = line > 0 ? name + ":" + std::to_string(line) + ": " + what : name + ": " + what;
        return false;
    }
    current() = std::move(parsed);
    return true;
}

}  // namespace standin
