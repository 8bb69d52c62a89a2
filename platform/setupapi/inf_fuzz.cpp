// libFuzzer target: open any bytes as an INF and read everything back the
// way the Setup API functions do. Both styles are allowed so that files
// without a signature are walked too.
#include <cstddef>
#include <cstdint>

#include "platform/setupapi/inf_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<std::pair<uint32_t, std::u16string>> dirids =
        infengine::standardDirids(u"C:\\windows", u"Z:\\pkg");
    infengine::Options options;
    options.styles = infengine::kStyleOldNt | infengine::kStyleWin4;
    options.dirids = dirids;
    infengine::OpenResult result;
    std::unique_ptr<infengine::Inf> inf = infengine::Inf::open(data, size, options, &result);
    if (!inf) return 0;
    std::u16string text;
    for (uint32_t s = 0; s < inf->sectionCount(); ++s) {
        uint32_t found;
        if (!inf->findSection(inf->sectionName(s), &found) || found != s) __builtin_trap();
        for (uint32_t l = 0; l < inf->lineCount(s); ++l) {
            inf->lineText(s, l, &text);
            if (text.size() > size * 4096 + 4096) __builtin_trap();
            uint32_t values = inf->valueCount(s, l);
            for (uint32_t f = 0; f <= values + 1; ++f) {
                bool ok = inf->field(s, l, f, &text);
                if ((f >= 1 && f <= values) != ok && f != 0) __builtin_trap();
                if (ok && text.size() > infengine::kMaxFieldChars) __builtin_trap();
            }
            if (inf->field(s, l, 0, &text)) {
                uint32_t line;
                inf->findKey(s, text, &line);
            }
        }
    }
    inf->versionValue(u"CatalogFile");
    return 0;
}
