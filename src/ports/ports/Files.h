// Port: the file system as the application sees it.
#pragma once

#include <cstddef>
#include <string>

#include "core/Text.h"

class Files {
public:
    virtual ~Files() = default;

    // The folder that holds the program file, without a trailing separator.
    [[nodiscard]] virtual Text ApplicationFolder() = 0;
    // True when the path's last-modified time can be read; never fails.
    [[nodiscard]] virtual bool FileExists(const Text& path) noexcept = 0;
    // True when path names a folder; never fails.
    [[nodiscard]] virtual bool FolderExists(const Text& path) noexcept = 0;
    // True when a listing of ordinary files finds path: hidden and system files and folders
    // are not ordinary.
    [[nodiscard]] virtual bool OrdinaryFileExists(const Text& path) noexcept = 0;
    // The file's bytes; throws Failure when it cannot be read or holds more than largestMegabytes
    // megabytes (of 1,048,576 bytes).
    [[nodiscard]] virtual std::string ReadFile(const Text& path, std::size_t largestMegabytes) = 0;
    // True when both paths name one existing file, however each is spelt (by the file's
    // identity on its volume); never fails.
    [[nodiscard]] virtual bool SameFile(const Text& first, const Text& second) noexcept = 0;
};
