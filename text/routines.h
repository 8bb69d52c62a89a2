// Our own versions of the few C library routines the installer relies on, so
// that every build (glibc, Windows' C runtime) behaves the same.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

// Compares two terminated texts, folding A-Z to a-z and nothing else.
// Returns <0, 0 or >0 like wcscmp.
int compareNoCase(const char16_t* left, const char16_t* right);

// The "%lu" and "%lx" conversions of wide scanf: white space skipped, an
// optional sign, at least one digit, what follows ignored. Returns true and
// stores the value when a number was read.
bool scanUnsigned(const char16_t* text, uint32_t* value);     // "%lu"
bool scanHexadecimal(const char16_t* text, uint32_t* value);  // "%lx"

// Bounded printf-style formatting: %s takes a const char16_t*, %lu and %lx a
// uint32_t, %% writes a percent sign; anything else after % is written as it
// stands. Writes at most capacity - 1 units and a terminator, never splitting
// a surrogate pair; returns the number of units written.
size_t formatText(char16_t* buffer, size_t capacity, const char16_t* format, ...);
size_t formatTextV(char16_t* buffer, size_t capacity, const char16_t* format, va_list args);
