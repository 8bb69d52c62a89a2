// The one header the installer's own code includes for the platform.
//
// On Windows it brings the SDK headers of the toolchain; everywhere else it
// declares our stand-ins for the same Windows calls (kernel32, user32, the
// INF functions of setupapi, newdev), written from the documented contracts.
// The system code is written once against these names; nothing outside
// platform/ tests which platform it is built for.
#pragma once

#if defined(_WIN32)
#include "platform/win32/api_win32.h"
#else
#include "platform/api_standin.h"
#endif

// Our text values hold UTF-16 in char16_t; the platform's wide strings are
// WCHAR (wchar_t on Windows, char16_t in the stand-ins). This is the one
// place that converts between the two pointer types.
static_assert(sizeof(WCHAR) == sizeof(char16_t), "WCHAR must be 16 bits");
inline const WCHAR* wstr(const char16_t* text) { return reinterpret_cast<const WCHAR*>(text); }
inline WCHAR* wstr(char16_t* text) { return reinterpret_cast<WCHAR*>(text); }
inline const char16_t* ustr(const WCHAR* text) { return reinterpret_cast<const char16_t*>(text); }
inline char16_t* ustr(WCHAR* text) { return reinterpret_cast<char16_t*>(text); }
