// The eight INF functions of the Setup API over the INF engine, for the
// builds that run against the stand-ins. Handles are engine objects kept in
// a registry, so that a stale or made-up handle or context is refused with
// ERROR_INVALID_HANDLE instead of being followed.
//
// Every successful open, find, line-text and string-field call sets the last
// error to 0, as Windows does (README.md).
//
// Choices where the documentation leaves room (Wine's behaviour otherwise):
// - The file name goes through standin::toHostPath; a relative name resolves
//   against the current directory (no search of the system's inf folder).
//   File-system failures: missing file 2, missing folder 3, a folder or no
//   read permission 5, '\' after a file name 123, anything that is not a
//   regular file 5, a file over 64 MiB 8, an empty file 1006.
// - The error line is written for syntax errors (their line) and for a wrong
//   style (0); other failures leave it untouched.
// - A field index past the last field (and field 0 of a line without a key)
//   fails with ERROR_INVALID_PARAMETER. Wine leaves the last error at 0 there,
//   which reads as success to a caller that asks.
// - A missing section fails SetupFindFirstLineW with ERROR_LINE_NOT_FOUND,
//   as does an empty one.
// - SP_INF_INFORMATION carries, after InfStyle and InfCount, our own version
//   data: a marker, then the original file name and the CatalogFile value of
//   [Version] (each at most MAX_PATH - 1 characters, NUL-terminated).
//   SetupQueryInfOriginalFileInformationW reads them back; it refuses an
//   index outside [0, InfCount) and a block it did not write
//   (ERROR_INVALID_PARAMETER) and a cbSize other than 1044 (1784). The
//   alternate platform is not used.
// - Only INFINFO_INF_SPEC_IS_HINF is served by SetupGetInfInformationW.
// - DIRIDs (%11% and the like) expand for a Windows folder of C:\windows,
//   with the x86 program folders of 64-bit Windows when the machine's
//   processor is 64-bit; %01% is the folder of the INF as a full Windows path.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/setupapi/inf_engine.h"
#include "platform/kernel32/paths.h"
#include "platform/machine/machine.h"
#include "platform/platform.h"
#include "platform/faults/faults.h"

namespace {

constexpr DWORD kErrorClassMismatch = 0xE0000201UL;
constexpr DWORD kVersionDataMarker = 0x464E4956;  // "VINF"
constexpr uint16_t kStandinLanguage = 0x0409;       // the stand-in machine's user language: en-US
// The stand-in machine's Windows folder, for the DIRIDs of %11% and the like.
const char16_t kWindowsDirectory[] = u"C:\\windows";

struct OpenInf {
    std::unique_ptr<infengine::Inf> engine;
    std::u16string originalName;
};

std::mutex registryLock;
std::unordered_set<const void*>& registry() {
    static std::unordered_set<const void*> handles;
    return handles;
}

OpenInf* lookup(const void* handle) {
    std::lock_guard<std::mutex> guard(registryLock);
    return registry().count(handle) ? static_cast<OpenInf*>(const_cast<void*>(handle)) : nullptr;
}

// One text buffer per thread for the reads, so that a walk over a large
// file does not allocate per call.
std::u16string& scratchText() {
    thread_local std::u16string text;
    return text;
}

BOOL fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// Windows clears the last error on every successful open, find and read.
BOOL succeed() {
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

// The engine object and position a context names; sets the last error and
// returns null when it names nothing.
const infengine::Inf* fromContext(const INFCONTEXT* context) {
    if (context == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    OpenInf* inf = lookup(context->Inf);
    if (inf == nullptr || context->CurrentInf != context->Inf) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (context->Line >= inf->engine->lineCount(context->Section)) {
        SetLastError(ERROR_LINE_NOT_FOUND);
        return nullptr;
    }
    return inf->engine.get();
}

// The size-query protocol of the text reads: the size with the NUL, the
// buffer filled only when it is given and large enough.
BOOL returnText(const std::u16string& text, PWSTR buffer, DWORD bufferSize, PDWORD requiredSize) {
    DWORD need = DWORD(text.size() + 1);
    if (requiredSize != nullptr) *requiredSize = need;
    if (buffer != nullptr) {
        if (bufferSize < need) return fail(ERROR_INSUFFICIENT_BUFFER);
        std::memcpy(buffer, text.data(), text.size() * sizeof(WCHAR));
        buffer[text.size()] = 0;
    }
    return succeed();
}

bool isDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

DWORD errorOfMissing(const std::string& host) {
    size_t slash = host.find_last_of('/');
    std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : host.substr(0, slash);
    return isDirectory(parent) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

// Reads the whole file; 0 or the Windows error code.
DWORD readFile(const std::u16string& windowsPath, std::vector<uint8_t>* bytes) {
    std::string host;
    DWORD error = ERROR_SUCCESS;
    if (!standin::toHostPath(windowsPath, &host, &error)) return error != ERROR_SUCCESS ? error : ERROR_INVALID_NAME;
    bool trailing = false;
    while (host.size() > 1 && host.back() == '/') {
        host.pop_back();
        trailing = true;
    }
    char16_t last = windowsPath.empty() ? 0 : windowsPath.back();
    trailing = trailing || last == u'\\' || last == u'/';
    struct stat st;
    if (::stat(host.c_str(), &st) != 0) {
        switch (errno) {
        case ENOENT: return errorOfMissing(host);
        case ENOTDIR: return ERROR_PATH_NOT_FOUND;
        case EACCES: return ERROR_ACCESS_DENIED;
        case ENAMETOOLONG:
        case ELOOP: return ERROR_INVALID_NAME;
        case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
        default: return ERROR_GEN_FAILURE;
        }
    }
    if (S_ISDIR(st.st_mode)) return ERROR_ACCESS_DENIED;
    if (trailing) return ERROR_INVALID_NAME;
    if (!S_ISREG(st.st_mode)) return ERROR_ACCESS_DENIED;
    int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno == EACCES || errno == EPERM ? ERROR_ACCESS_DENIED : ERROR_GEN_FAILURE;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return ERROR_ACCESS_DENIED;
    if (size_t(st.st_size) > infengine::kMaxFileBytes) return ERROR_NOT_ENOUGH_MEMORY;
    // Read to the end rather than trusting the size: the file may change.
    bytes->resize(size_t(st.st_size) + 1);
    size_t got = 0;
    for (;;) {
        if (got == bytes->size()) {
            if (bytes->size() > infengine::kMaxFileBytes) return ERROR_NOT_ENOUGH_MEMORY;
            bytes->resize(bytes->size() * 2);
        }
        ssize_t n = ::read(fd, bytes->data() + got, bytes->size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno == EISDIR ? ERROR_ACCESS_DENIED : ERROR_GEN_FAILURE;
        }
        if (n == 0) break;
        got += size_t(n);
    }
    if (got > infengine::kMaxFileBytes) return ERROR_NOT_ENOUGH_MEMORY;
    bytes->resize(got);
    return ERROR_SUCCESS;
}

bool equalsIgnoringAsciiCase(const std::u16string& a, const std::u16string& b) {
    return infengine::foldAscii(a) == infengine::foldAscii(b);
}

HINF openInf(PCWSTR fileName, PCWSTR infClass, DWORD infStyle, UINT* errorLine) {
    if (fileName == nullptr || (infStyle & (INF_STYLE_OLDNT | INF_STYLE_WIN4)) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::u16string path(ustr(fileName));
    std::vector<uint8_t> bytes;
    DWORD error = readFile(path, &bytes);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    infengine::Options options;
    options.langId = kStandinLanguage;
    options.styles = infStyle;
    std::string host;
    DWORD ignored;
    std::u16string folder = standin::toHostPath(path, &host, &ignored) ? standin::toWindowsPath(host) : path;
    folder.resize(folder.find_last_of(u'\\') == std::u16string::npos ? 0 : folder.find_last_of(u'\\'));
    WORD architecture = standin::machine().processorArchitecture;
    bool windows64 = architecture == PROCESSOR_ARCHITECTURE_AMD64 || architecture == PROCESSOR_ARCHITECTURE_IA64 ||
                     architecture == PROCESSOR_ARCHITECTURE_ARM64;
    options.dirids = infengine::standardDirids(kWindowsDirectory, folder, windows64);
    infengine::OpenResult result;
    std::unique_ptr<OpenInf> inf(new OpenInf());
    inf->engine = infengine::Inf::open(bytes.data(), bytes.size(), options, &result);
    if (!inf->engine) {
        if (errorLine != nullptr && result.error >= infengine::kErrorExpectedSectionName) *errorLine = result.line;
        SetLastError(result.error);
        return INVALID_HANDLE_VALUE;
    }
    if (infClass != nullptr && !equalsIgnoringAsciiCase(inf->engine->versionValue(u"Class"), ustr(infClass))) {
        SetLastError(kErrorClassMismatch);
        return INVALID_HANDLE_VALUE;
    }
    size_t cut = path.find_last_of(u"\\/");
    inf->originalName = cut == std::u16string::npos ? path : path.substr(cut + 1);
    if (inf->originalName.size() >= MAX_PATH) inf->originalName.resize(MAX_PATH - 1);
    std::lock_guard<std::mutex> guard(registryLock);
    registry().insert(inf.get());
    SetLastError(ERROR_SUCCESS);
    return inf.release();
}

struct VersionDataHeader {
    DWORD marker;
    DWORD nameChars;
    DWORD catalogChars;
};

std::u16string catalogOf(const infengine::Inf& engine) {
    std::u16string catalog = engine.versionValue(u"CatalogFile");
    if (catalog.size() >= MAX_PATH) catalog.resize(MAX_PATH - 1);
    return catalog;
}

}  // namespace

HINF SetupOpenInfFileW(PCWSTR fileName, PCWSTR infClass, DWORD infStyle, UINT* errorLine) {
    if (standin::failureInjected("SetupOpenInfFileW")) return INVALID_HANDLE_VALUE;
    try {
        return openInf(fileName, infClass, infStyle, errorLine);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
}

void SetupCloseInfFile(HINF infHandle) {
    standin::failureInjected("SetupCloseInfFile");  // counted only: closing cannot fail
    OpenInf* inf = nullptr;
    {
        std::lock_guard<std::mutex> guard(registryLock);
        if (registry().erase(infHandle) == 0) return;
        inf = static_cast<OpenInf*>(infHandle);
    }
    delete inf;
}

BOOL SetupGetInfInformationW(LPCVOID infSpec, DWORD searchControl, PSP_INF_INFORMATION returnBuffer,
                             DWORD returnBufferSize, PDWORD requiredSize) {
    if (standin::failureInjected("SetupGetInfInformationW")) return FALSE;
    if (searchControl != INFINFO_INF_SPEC_IS_HINF) return fail(ERROR_INVALID_PARAMETER);
    OpenInf* inf = lookup(infSpec);
    if (inf == nullptr) return fail(ERROR_INVALID_HANDLE);
    try {
        std::u16string catalog = catalogOf(*inf->engine);
        VersionDataHeader header{kVersionDataMarker, DWORD(inf->originalName.size()), DWORD(catalog.size())};
        size_t dataOffset = offsetof(SP_INF_INFORMATION, VersionData);
        size_t need = dataOffset + sizeof header + (header.nameChars + 1 + header.catalogChars + 1) * sizeof(WCHAR);
        if (requiredSize != nullptr) *requiredSize = DWORD(need);
        if (returnBuffer == nullptr) return TRUE;
        if (returnBufferSize < need) return fail(ERROR_INSUFFICIENT_BUFFER);
        returnBuffer->InfStyle = inf->engine->style();
        returnBuffer->InfCount = 1;
        uint8_t* out = reinterpret_cast<uint8_t*>(returnBuffer) + dataOffset;
        std::memcpy(out, &header, sizeof header);
        out += sizeof header;
        const WCHAR zero = 0;
        std::memcpy(out, inf->originalName.data(), header.nameChars * sizeof(WCHAR));
        out += header.nameChars * sizeof(WCHAR);
        std::memcpy(out, &zero, sizeof zero);
        out += sizeof zero;
        std::memcpy(out, catalog.data(), header.catalogChars * sizeof(WCHAR));
        out += header.catalogChars * sizeof(WCHAR);
        std::memcpy(out, &zero, sizeof zero);
        return TRUE;
    } catch (const std::bad_alloc&) {
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

BOOL SetupQueryInfOriginalFileInformationW(PSP_INF_INFORMATION infInformation, UINT infIndex,
                                           PSP_ALTPLATFORM_INFO alternatePlatformInfo,
                                           PSP_ORIGINAL_FILE_INFO_W originalFileInfo) {
    if (standin::failureInjected("SetupQueryInfOriginalFileInformationW")) return FALSE;
    if (infInformation == nullptr || originalFileInfo == nullptr) return fail(ERROR_INVALID_PARAMETER);
    if (originalFileInfo->cbSize != sizeof(SP_ORIGINAL_FILE_INFO_W)) return fail(ERROR_INVALID_USER_BUFFER);
    if (infIndex >= infInformation->InfCount) return fail(ERROR_INVALID_PARAMETER);
    const uint8_t* data = reinterpret_cast<const uint8_t*>(infInformation) + offsetof(SP_INF_INFORMATION, VersionData);
    VersionDataHeader header;
    std::memcpy(&header, data, sizeof header);
    if (header.marker != kVersionDataMarker || header.nameChars >= MAX_PATH || header.catalogChars >= MAX_PATH) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    data += sizeof header;
    std::memcpy(originalFileInfo->OriginalInfName, data, header.nameChars * sizeof(WCHAR));
    originalFileInfo->OriginalInfName[header.nameChars] = 0;
    data += (header.nameChars + 1) * sizeof(WCHAR);
    std::memcpy(originalFileInfo->OriginalCatalogName, data, header.catalogChars * sizeof(WCHAR));
    originalFileInfo->OriginalCatalogName[header.catalogChars] = 0;
    return TRUE;
}

BOOL SetupFindFirstLineW(HINF infHandle, PCWSTR section, PCWSTR key, PINFCONTEXT context) {
    if (standin::failureInjected("SetupFindFirstLineW")) return FALSE;
    OpenInf* inf = lookup(infHandle);
    if (inf == nullptr) return fail(ERROR_INVALID_HANDLE);
    if (section == nullptr || context == nullptr) return fail(ERROR_INVALID_PARAMETER);
    try {
        uint32_t index, line = 0;
        if (!inf->engine->findSection(ustr(section), &index)) return fail(ERROR_LINE_NOT_FOUND);
        if (key != nullptr ? !inf->engine->findKey(index, ustr(key), &line) : inf->engine->lineCount(index) == 0) {
            return fail(ERROR_LINE_NOT_FOUND);
        }
        context->Inf = infHandle;
        context->CurrentInf = infHandle;
        context->Section = index;
        context->Line = line;
        return succeed();
    } catch (const std::bad_alloc&) {
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

BOOL SetupFindNextLine(const INFCONTEXT* contextIn, PINFCONTEXT contextOut) {
    if (standin::failureInjected("SetupFindNextLine")) return FALSE;
    const infengine::Inf* engine = fromContext(contextIn);
    if (engine == nullptr) return FALSE;
    if (contextOut == nullptr) return fail(ERROR_INVALID_PARAMETER);
    INFCONTEXT next = *contextIn;
    if (next.Line + 1 >= engine->lineCount(next.Section)) return fail(ERROR_LINE_NOT_FOUND);
    ++next.Line;
    *contextOut = next;
    return succeed();
}

BOOL SetupGetLineTextW(const INFCONTEXT* context, HINF infHandle, PCWSTR section, PCWSTR key, PWSTR returnBuffer,
                       DWORD returnBufferSize, PDWORD requiredSize) {
    if (standin::failureInjected("SetupGetLineTextW")) return FALSE;
    try {
        INFCONTEXT found;
        if (context == nullptr) {
            if (!SetupFindFirstLineW(infHandle, section, key, &found)) return FALSE;
            context = &found;
        }
        const infengine::Inf* engine = fromContext(context);
        if (engine == nullptr) return FALSE;
        std::u16string& text = scratchText();
        engine->lineText(context->Section, context->Line, &text);
        return returnText(text, returnBuffer, returnBufferSize, requiredSize);
    } catch (const std::bad_alloc&) {
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

BOOL SetupGetStringFieldW(const INFCONTEXT* context, DWORD fieldIndex, PWSTR returnBuffer, DWORD returnBufferSize,
                          PDWORD requiredSize) {
    if (standin::failureInjected("SetupGetStringFieldW")) return FALSE;
    try {
        const infengine::Inf* engine = fromContext(context);
        if (engine == nullptr) return FALSE;
        std::u16string& text = scratchText();
        if (!engine->field(context->Section, context->Line, fieldIndex, &text)) return fail(ERROR_INVALID_PARAMETER);
        return returnText(text, returnBuffer, returnBufferSize, requiredSize);
    } catch (const std::bad_alloc&) {
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}
