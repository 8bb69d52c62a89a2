// ASCII case folding of narrow text (names, keys, file extensions): only A-Z
// change, so UTF-8 bytes of other letters pass through untouched.
#pragma once

#include <string>

inline std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}
