// Our own versions of the few C library routines the installer relies on, so
// that every build (glibc, Windows' C runtime) behaves the same.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

// Compares two terminated texts, folding A-Z to a-z and nothing else; other
// units compare by their value. Returns <0, 0 or >0 like wcscmp. A null
// pointer counts as the empty text.
int compareNoCase(const char16_t* left, const char16_t* right);

// The "%lu" and "%lx" conversions of wide scanf, with unsigned long taken as
// 32 bits as on Windows:
// - leading white space (space, tab, LF, VT, FF, CR) is skipped;
// - an optional '+' or '-'; for "%lx" then an optional "0x" or "0X";
// - at least one digit, else the conversion fails (false, value untouched);
// - what follows the number is ignored;
// - a value above 0xFFFFFFFF gives 0xFFFFFFFF, whatever the sign (strtoul's
//   rule); otherwise a '-' negates it modulo 2^32 ("-1" gives 0xFFFFFFFF).
// "0x" not followed by a hexadecimal digit is read as the number 0 with the
// "x" left over, as strtoul and both C runtimes do; "0x5" read by "%lu" is 0.
// Returns true and stores the value when a number was read.
bool scanUnsigned(const char16_t* text, uint32_t* value);     // "%lu"
bool scanHexadecimal(const char16_t* text, uint32_t* value);  // "%lx"

// Bounded printf-style formatting: %s takes a const char16_t* (null is
// written as "(null)"), %lu and %lx a uint32_t (decimal; lower-case
// hexadecimal without prefix), %% writes a percent sign. Any other '%' is
// written as it stands, with the units after it treated as plain text, and
// reads no argument. Writes at most capacity - 1 units and a terminator,
// never splitting a surrogate pair at the cut; returns the number of units
// written before the terminator. A capacity of 0 writes nothing.
size_t formatText(char16_t* buffer, size_t capacity, const char16_t* format, ...);
size_t formatTextV(char16_t* buffer, size_t capacity, const char16_t* format, va_list args);
