// libFuzzer target: any bytes as a machine description, and through the
// UTF-8 conversions.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "platform/machine/machine.h"
#include "text/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    standin::Machine machine;
    int line = -1;
    std::string error;
    if (!standin::parseMachine(text, &machine, &line, &error)) {
        // A refusal always says what and where, and the line exists.
        const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
        if (error.empty() || line < 0 || line > lines) __builtin_trap();
    } else if (machine.csdVersion.size() > 127) {
        __builtin_trap();
    }
    // One pass through UTF-16 leaves only well-formed text, which then
    // round-trips unchanged.
    const std::u16string wide = fromUtf8(text);
    const std::string narrow = toUtf8(wide);
    if (fromUtf8(narrow) != wide || toUtf8(fromUtf8(narrow)) != narrow) __builtin_trap();
    return 0;
}
