// libFuzzer target: the installer's own reading of an INF, over any bytes.
// The first bytes of the input are the identity of the running system
// (architecture, OS version, product type, suite mask) that decorations are
// judged against; the rest is written as velk.inf, opened through the stand-in
// Setup API and parsed: the [Manufacturer] walk, every decoration verdict with
// its number scanning, the ID collection and the trace text of each step.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "inf/cinf_file.h"
#include "platform/testing/scratch_dir.h"

namespace {

struct IdentityBytes {
    uint8_t architecture[2];
    uint8_t major;
    uint8_t minor;
    uint8_t productType;
    uint8_t suiteMask[2];
};

// Architectures the decorations name, and a few they do not; the fuzzer picks
// by index so that the common ones are reached at once.
const WORD kArchitectures[] = {0, 6, 9, 5, 12, 0xFFFF, 1, 42};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScratchDirectory scratch;
    IdentityBytes identity = {};
    if (size < sizeof identity) return 0;
    std::memcpy(&identity, data, sizeof identity);
    data += sizeof identity;
    size -= sizeof identity;

    const std::u16string path =
        scratch.write("velk.inf", std::string(reinterpret_cast<const char*>(data), size));
    CInfFile inf;
    inf.verbose = 1;
    if (inf.open(path.c_str()) != INF_OK) return 0;
    inf.systemInfo.wProcessorArchitecture =
        identity.architecture[1] & 1 ? static_cast<WORD>(identity.architecture[0] | identity.architecture[1] << 8)
                                     : kArchitectures[identity.architecture[0] % 8];
    inf.osVersion.dwMajorVersion = identity.major % 16;
    inf.osVersion.dwMinorVersion = identity.minor % 16;
    inf.osVersion.wProductType = identity.productType;
    inf.osVersion.wSuiteMask = static_cast<WORD>(identity.suiteMask[0] | identity.suiteMask[1] << 8);

    CWStringArray ids;
    const InfStatus status = inf.parse(ids);
    // Empty fields are never collected, and a failed parse adds nothing.
    for (uint32_t i = 0; i < ids.itemCount; ++i) {
        if (ids.items[i].length == 0) std::abort();
    }
    if (status != INF_OK && ids.itemCount != 0) std::abort();
    return 0;
}
