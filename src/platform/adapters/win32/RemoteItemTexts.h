// The texts of items that live in the control's program and are read through memory there: a
// structure a message, laid out for that program's bitness, or a buffer that a message fills
// without a bound.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstddef>
#include <span>

#include "ports/RemoteItems.h"

// The texts of items, what kind they are, of control, whose program process is and is 32-bit or
// not; each message waits at most timeout for its answer.
[[nodiscard]] RemoteTexts ReadTextsInTarget(HWND control, HANDLE process, bool is32Bit,
                                            ItemText what, std::span<const ItemRef> items,
                                            std::size_t maxUnits,
                                            std::chrono::milliseconds timeout);
