// Port: the user's own settings of the program, kept between its runs (the registry on Windows).
// A store that cannot be read or written loses only what it would have kept: reads give nothing
// and writes are dropped, and neither ever fails.
#pragma once

#include <cstdint>
#include <optional>

#include "core/Text.h"

class Settings {
public:
    virtual ~Settings() = default;

    // The number stored under name; nothing when there is none, or it is not a number, or it
    // cannot be read.
    [[nodiscard]] virtual std::optional<std::int32_t> ReadNumber(TextView name) noexcept = 0;
    // The text stored under name; nothing when there is none, or it is not a text, or it cannot
    // be read.
    [[nodiscard]] virtual std::optional<Text> ReadText(TextView name) noexcept = 0;
    virtual void WriteNumber(TextView name, std::int32_t value) noexcept = 0;
    virtual void WriteText(TextView name, const Text& value) noexcept = 0;
};
