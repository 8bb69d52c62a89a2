// CInfFile: the reader of the one INF file of a run. It opens the file through
// the Setup API, keeps the identity of the running system that decorations are
// matched against, selects the models sections, collects the device IDs and
// asks the driver update service to install the driver for each of them. Its
// trace is the installer's only diagnostic channel (the debugger output).
#pragma once

#include <cstdint>
#include <memory>

#include "platform/platform.h"
#include "text/cwstring.h"
#include "text/cwstring_array.h"
#include "text/inf_status.h"

class CInfFile {
public:
    CInfFile();
    ~CInfFile();
    CInfFile(const CInfFile&) = delete;
    CInfFile& operator=(const CInfFile&) = delete;

    // Opening and closing (the owner fills verbose and osVersion first).
    InfStatus open(const char16_t* infPath);
    void close();

    // The INF information block of the open file; the caller owns it.
    InfStatus getInfInformation(std::unique_ptr<BYTE[]>& information);
    InfStatus getOriginalFilename();

    // The text of the line at `context`, and one of its fields (0 is the key).
    InfStatus readLineText(CWString& text);
    InfStatus readField(uint32_t fieldNumber, CWString& text);

    // printf-style: %s takes a const char16_t*, %lu and %lx a uint32_t.
    void trace(const char16_t* format, ...);

    // Models-section selection and device ID collection.
    InfStatus readManufacturerSection(CWStringArray& modelsSections);
    InfStatus parse(CWStringArray& deviceIds);
    InfStatus readModelsSection(const CWString& sectionName, CWStringArray& deviceIds);

    // Driver update for one device ID.
    InfStatus installDriver(const CWString& deviceId, int32_t& deviceFound, int32_t& rebootRequired,
                            int32_t& notBetter);

    CWString path;
    CWString dir;
    CWString filename;
    CWString originalFilename;
    HINF handle;
    INFCONTEXT context;
    int32_t verbose;
    OSVERSIONINFOEXW osVersion;
    SYSTEM_INFO systemInfo;

private:
    BOOL findFirstLine(const CWString& section, const CWString& key);
    void judgeDecoration(const CWString& decoration, CWString& bestDecoration, uint32_t& bestTokenCount);
};
