#include "platform/tool_path.h"

#include <filesystem>
#include <system_error>

#include "platform/kernel32/paths.h"

std::u16string toolPathArgument(const char* argument) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(argument, error);
    if (error) absolute = argument;
    return standin::toWindowsPath(absolute.lexically_normal().string());
}
