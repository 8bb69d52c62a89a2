// UTF-8 <-> UTF-16 for the stand-ins: the host speaks UTF-8 (file names,
// terminal, description files), the Windows calls speak UTF-16.
#pragma once

#include <string>

namespace standin {

// Invalid input (stray bytes, unpaired surrogates) becomes U+FFFD, so that a
// bad host name or debug string still shows rather than disappearing.
std::u16string fromUtf8(const std::string& text);
std::string toUtf8(const std::u16string& text);
std::string toUtf8(const char16_t* text);

// Strict form for names that must round-trip: false on an unpaired surrogate.
bool toUtf8Strict(const std::u16string& text, std::string* out);

}  // namespace standin
