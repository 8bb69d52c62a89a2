// For tests: a fresh temporary directory, removed with everything in it when
// the object goes. Files are written as raw bytes; paths come back in the
// Windows form the installer's code sees (Z:\... over the stand-ins).
#pragma once

#include <filesystem>
#include <string>

class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    // Writes bytes to name (a relative path; folders are made) and returns its Windows path.
    std::u16string write(const std::string& name, const std::string& bytes);
    // The Windows path of name inside the directory (need not exist).
    std::u16string windowsPath(const std::string& name) const;
    const std::filesystem::path& hostPath() const { return root; }

private:
    std::filesystem::path root;
};
