// UTF-16 to UTF-8 for what infcheck prints; an unpaired surrogate becomes U+FFFD.
#pragma once

#include <string>

std::string toUtf8(const std::u16string& text);
