#include "platform/faults/faults.h"

#include <map>
#include <string>

namespace standin {
namespace {

struct Script {
    int remaining;  // calls to go before the first failure
    int times;      // failures to give; negative: no end
    DWORD error;
};

std::map<std::string, Script, std::less<>>& scripts() {
    static std::map<std::string, Script, std::less<>> table;
    return table;
}

std::map<std::string, int, std::less<>>& counts() {
    static std::map<std::string, int, std::less<>> table;
    return table;
}

}  // namespace

void injectFailure(const char* function, DWORD error, int onCall, int times) {
    if (times == 0) return;
    scripts()[function] = Script{onCall < 1 ? 1 : onCall, times, error};
}

void clearFailures() {
    scripts().clear();
    counts().clear();
}

bool failureInjected(const char* function) {
    // Looked up without building a string: the INF functions are called once
    // per field, millions of times over a large file.
    auto count = counts().find(function);
    if (count != counts().end()) {
        ++count->second;
    } else {
        counts().emplace(function, 1);
    }
    if (scripts().empty()) return false;
    auto it = scripts().find(function);
    if (it == scripts().end()) return false;
    Script& script = it->second;
    if (script.remaining > 1) {
        --script.remaining;
        return false;
    }
    const DWORD error = script.error;
    if (script.times > 0 && --script.times == 0) scripts().erase(it);
    SetLastError(error);
    return true;
}

int callCount(const char* function) {
    auto it = counts().find(function);
    return it == counts().end() ? 0 : it->second;
}

}  // namespace standin
