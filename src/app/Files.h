// Port: the file system as the application sees it.
#pragma once

#include "common/Text.h"

class Files {
public:
    virtual ~Files() = default;

    // The folder that holds the program file, without a trailing separator.
    [[nodiscard]] virtual Text ApplicationFolder() = 0;
    // True when the path's last-modified time can be read; never fails.
    [[nodiscard]] virtual bool FileExists(const Text& path) noexcept = 0;
};
