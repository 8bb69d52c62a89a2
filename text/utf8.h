// UTF-8 <-> UTF-16. The host speaks UTF-8 (file names, terminal, description
// files, the tools' reports); our text and the Windows calls are UTF-16.
#pragma once

#include <cstddef>
#include <string>

// Invalid input (stray bytes, unpaired surrogates) becomes U+FFFD, so that a
// bad host name or debug string still shows rather than disappearing.
std::u16string fromUtf8(const std::string& text);
std::u16string fromUtf8(const char* data, size_t size);
std::string toUtf8(const std::u16string& text);
std::string toUtf8(const char16_t* text);  // null gives ""

// Strict form for names that must round-trip: false on an unpaired surrogate
// (*out still gets the text, with U+FFFD in its place).
bool toUtf8Strict(const std::u16string& text, std::string* out);

// Pieces for encoders with escaping rules of their own.
//
// Reads the character at text[*index] and moves *index past it: a surrogate
// pair gives the character it encodes, an unpaired surrogate itself (for the
// caller to escape or replace). *index must be below text.size().
char32_t nextCodePoint(const std::u16string& text, size_t* index);

inline bool isSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Appends the UTF-8 bytes of one character. What is not a character (a
// surrogate, a value above U+10FFFF) is written as U+FFFD, so the output is
// always well formed.
void appendUtf8(std::string& out, char32_t codePoint);
