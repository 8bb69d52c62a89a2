// System metrics, brushes, stock objects, icons, cursors and the common
// controls' initialisation. The handles are made-up values that name what
// was asked for, so the dump can say which object a window got.
#include <cstdio>

#include "platform/faults/faults.h"
#include "platform/machine/machine.h"
#include "platform/platform.h"
#include "platform/user32/user32.h"
#include "platform/user32/window_table.h"

namespace standin {
namespace {

// Handle = base + index; the bases are far apart and far from real memory
// a test would compare them with.
constexpr uintptr_t kStockBase = 0x7E000000;
constexpr uintptr_t kSysColorBase = 0x7E100000;
constexpr uintptr_t kIconBase = 0x7E200000;
constexpr uintptr_t kCursorBase = 0x7E300000;
constexpr uintptr_t kSpan = 0x100000;

struct Resource {
    bool fromModule;     // false: a system resource (no instance)
    bool byName;
    ULONG_PTR id;
    std::u16string name;
};

std::vector<Resource>& icons() {
    static std::vector<Resource> list;
    return list;
}

std::vector<Resource>& cursors() {
    static std::vector<Resource> list;
    return list;
}

const char* const kStockNames[] = {"WHITE_BRUSH",     "LTGRAY_BRUSH",     "GRAY_BRUSH",     "DKGRAY_BRUSH",
                                   "BLACK_BRUSH",     "NULL_BRUSH",       "WHITE_PEN",      "BLACK_PEN",
                                   "NULL_PEN",        nullptr,            "OEM_FIXED_FONT", "ANSI_FIXED_FONT",
                                   "ANSI_VAR_FONT",   "SYSTEM_FONT",      "DEVICE_DEFAULT_FONT",
                                   "DEFAULT_PALETTE", "SYSTEM_FIXED_FONT", "DEFAULT_GUI_FONT", "DC_BRUSH",
                                   "DC_PEN"};
constexpr int kStockCount = sizeof kStockNames / sizeof kStockNames[0];
constexpr int kSysColorCount = 31;

template <typename H>
H handleAt(uintptr_t base, size_t index) {
    return reinterpret_cast<H>(base + index);
}

void* loadResource(std::vector<Resource>& list, uintptr_t base, HINSTANCE instance, LPCWSTR name) {
    Resource resource;
    resource.fromModule = instance != nullptr;
    resource.byName = reinterpret_cast<ULONG_PTR>(name) >= 0x10000;
    resource.id = resource.byName ? 0 : reinterpret_cast<ULONG_PTR>(name);
    if (resource.byName) resource.name = ustr(name);
    for (size_t i = 0; i < list.size(); ++i) {
        const Resource& r = list[i];
        if (r.fromModule == resource.fromModule && r.byName == resource.byName && r.id == resource.id &&
            r.name == resource.name)
            return handleAt<void*>(base, i);
    }
    if (list.size() >= kSpan) return nullptr;
    list.push_back(resource);
    return handleAt<void*>(base, list.size() - 1);
}

std::string describe(const char* kind, const Resource& r) {
    std::string text = std::string(kind) + (r.fromModule ? ":module:" : ":system:");
    if (!r.byName) return text + std::to_string(r.id);
    std::string name;
    for (char16_t c : r.name) name += c < 0x80 ? static_cast<char>(c) : '?';
    return text + "\"" + name + "\"";
}

}  // namespace

std::string handleName(const void* handle) {
    const auto value = reinterpret_cast<uintptr_t>(handle);
    if (handle == nullptr) return "none";
    if (value >= kStockBase && value < kStockBase + kStockCount && kStockNames[value - kStockBase] != nullptr)
        return kStockNames[value - kStockBase];
    if (value >= kSysColorBase && value < kSysColorBase + kSysColorCount)
        return "syscolor:" + std::to_string(value - kSysColorBase);
    if (value >= kIconBase && value < kIconBase + icons().size()) return describe("icon", icons()[value - kIconBase]);
    if (value >= kCursorBase && value < kCursorBase + cursors().size())
        return describe("cursor", cursors()[value - kCursorBase]);
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace standin

int GetSystemMetrics(int index) {
    if (standin::failureInjected("GetSystemMetrics")) return 0;
    const standin::Machine& m = standin::machine();
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXMAXIMIZED:
        return m.screenWidth;
    case SM_CYSCREEN:
    case SM_CYMAXIMIZED:
        return m.screenHeight;
    default:
        return 0;
    }
}

HBRUSH GetSysColorBrush(int index) {
    if (standin::failureInjected("GetSysColorBrush")) return nullptr;
    if (index < 0 || index >= standin::kSysColorCount) return nullptr;
    return standin::handleAt<HBRUSH>(standin::kSysColorBase, static_cast<size_t>(index));
}

HGDIOBJ GetStockObject(int object) {
    if (standin::failureInjected("GetStockObject")) return nullptr;
    if (object < 0 || object >= standin::kStockCount || standin::kStockNames[object] == nullptr) return nullptr;
    return standin::handleAt<HGDIOBJ>(standin::kStockBase, static_cast<size_t>(object));
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
    if (standin::failureInjected("LoadIconW")) return nullptr;
    if (name == nullptr) return nullptr;
    return static_cast<HICON>(standin::loadResource(standin::icons(), standin::kIconBase, instance, name));
}

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    if (standin::failureInjected("LoadCursorW")) return nullptr;
    if (name == nullptr) return nullptr;
    return static_cast<HCURSOR>(standin::loadResource(standin::cursors(), standin::kCursorBase, instance, name));
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
    if (standin::failureInjected("InitCommonControlsEx")) return FALSE;
    if (init == nullptr) return FALSE;
    standin::windowSystem().commonControls.push_back(*init);
    return init->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE : FALSE;
}
