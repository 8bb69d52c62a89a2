// Device ID collection: every chosen models section is walked for the
// hardware ID (field 2) and compatible IDs (fields 3 onward) of its lines.
#include "inf/cinf_file.h"

InfStatus CInfFile::parse(CWStringArray& deviceIds) {
    CWStringArray modelsSections;
    if (readManufacturerSection(modelsSections) != INF_OK) return INF_PARSE_ERROR;
    for (uint32_t i = 0; i < modelsSections.itemCount; ++i) {
        // A missing section costs only its warning; the others are still read.
        readModelsSection(modelsSections.items[i], deviceIds);
    }
    return INF_OK;
}

InfStatus CInfFile::readModelsSection(const CWString& sectionName, CWStringArray& deviceIds) {
    if (!findFirstLine(sectionName, CWString::Empty)) {
        trace(u"Warning: section [%s] not found.\n", sectionName.data);
        return INF_PARSE_ERROR;
    }
    trace(u"Reading section [%s]:\n", sectionName.data);

    CWString key;
    CWString installSection;
    CWString id;
    for (;;) {
        // A line without its key, install section or hardware ID field ends
        // the whole section, not only the line.
        if (readField(0, key) != INF_OK) return INF_OK;
        if (readField(1, installSection) != INF_OK) return INF_OK;
        if (readField(2, id) != INF_OK) return INF_OK;
        if (!id.isEmpty()) {
            trace(u"  Found Hardware ID '%s'.\n", id.data);
            deviceIds.append(id);
        }
        for (uint32_t field = 3; readField(field, id) == INF_OK; ++field) {
            if (id.isEmpty()) continue;
            trace(u"  Found Compatible ID '%s'.\n", id.data);
            deviceIds.append(id);
        }
        if (!SetupFindNextLine(&context, &context)) return INF_OK;
    }
}
