#include "platform/frame/wnd_class.h"

#include <cstdint>

#include "platform/frame/wnd.h"

namespace {

// "Velk:" then the instance, style, cursor, brush and icon in hexadecimal,
// separated by colons: at most 5 + 5 * 17 units and the terminator.
char16_t className[96];

char16_t* appendHex(char16_t* out, uint64_t value) {
    char16_t digits[16];
    int count = 0;
    do {
        digits[count++] = u"0123456789abcdef"[value & 0xf];
        value >>= 4;
    } while (value != 0);
    while (count > 0) *out++ = digits[--count];
    return out;
}

uint64_t bits(const void* handle) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle)); }

}  // namespace

const char16_t* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    char16_t* out = className;
    for (const char16_t* p = u"Velk"; *p != 0; ++p) *out++ = *p;
    const uint64_t parts[] = {bits(instance), classStyle, bits(cursor), bits(background), bits(icon)};
    for (uint64_t part : parts) {
        *out++ = u':';
        out = appendHex(out, part);
    }
    *out = 0;

    WNDCLASSW windowClass = {};
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = AfxWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = wstr(className);
    // A second registration of the same name fails harmlessly.
    RegisterClassW(&windowClass);
    return className;
}
