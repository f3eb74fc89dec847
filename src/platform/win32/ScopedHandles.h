// Owners of GDI and USER objects: each is deleted with its owner.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};
struct IconDeleter {
    void operator()(HICON icon) const noexcept { DestroyIcon(icon); }
};

using ScopedFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using ScopedBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
// Cursors are icons to the system: DestroyIcon frees both.
using ScopedIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;
