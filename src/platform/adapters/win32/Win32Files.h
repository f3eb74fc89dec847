// The file system as the application sees it, through kernel32.
#pragma once

#include <string>

#include "ports/Files.h"

class Win32Files : public Files {
public:
    Text ApplicationFolder() override;
    bool FileExists(const Text& path) noexcept override;
    bool FolderExists(const Text& path) noexcept override;
    bool OrdinaryFileExists(const Text& path) noexcept override;
    std::string ReadFile(const Text& path, std::size_t largestMegabytes) override;
    bool SameFile(const Text& first, const Text& second) noexcept override;
};
