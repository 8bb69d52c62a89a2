#include "faults/faults.h"

#include <map>
#include <string>

namespace standin {
namespace {

struct Script {
    int remaining;  // calls to go before the failure
    DWORD error;
};

std::map<std::string, Script>& scripts() {
    static std::map<std::string, Script> table;
    return table;
}

std::map<std::string, int>& counts() {
    static std::map<std::string, int> table;
    return table;
}

}  // namespace

void injectFailure(const char* function, DWORD error, int onCall) {
    scripts()[function] = Script{onCall < 1 ? 1 : onCall, error};
}

void clearFailures() {
    scripts().clear();
    counts().clear();
}

bool failureInjected(const char* function) {
    ++counts()[function];
    auto it = scripts().find(function);
    if (it == scripts().end()) return false;
    if (--it->second.remaining > 0) return false;
    DWORD error = it->second.error;
    scripts().erase(it);
    SetLastError(error);
    return true;
}

int callCount(const char* function) {
    auto it = counts().find(function);
    return it == counts().end() ? 0 : it->second;
}

}  // namespace standin
