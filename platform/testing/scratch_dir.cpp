#include "platform/testing/scratch_dir.h"

#include <fstream>
#include <random>

#include "platform/platform.h"

#if !defined(_WIN32)
#include "platform/kernel32/paths.h"
#endif

namespace fs = std::filesystem;

ScratchDirectory::ScratchDirectory() {
    std::random_device random;
    for (;;) {
        fs::path candidate = fs::temp_directory_path() / ("velk-test-" + std::to_string(random()));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            root = candidate;
            return;
        }
    }
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code error;
    fs::remove_all(root, error);
}

std::u16string ScratchDirectory::write(const std::string& name, const std::string& bytes) {
    fs::path file = root / fs::u8path(name);
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return windowsPath(name);
}

std::u16string ScratchDirectory::windowsPath(const std::string& name) const {
    fs::path file = root / fs::u8path(name);
#if defined(_WIN32)
    std::wstring wide = file.make_preferred().wstring();
    return std::u16string(wide.begin(), wide.end());
#else
    return standin::toWindowsPath(file.string());
#endif
}
