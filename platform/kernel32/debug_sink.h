// Between OutputDebugStringW and the capture objects of debug_capture.h.
#pragma once

#include <string>

namespace standin {

// Hands one debug string to every live DebugOutputCapture.
void deliverDebugOutput(const std::u16string& text);

}  // namespace standin
