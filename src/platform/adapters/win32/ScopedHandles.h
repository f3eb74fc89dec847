// Owners of the Win32 handles and states the program holds: each is released with its owner.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};
struct IconDeleter {
    void operator()(HICON icon) const noexcept { DestroyIcon(icon); }
};
struct KernelHandleDeleter {
    void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
struct FindHandleDeleter {
    void operator()(HANDLE search) const noexcept { FindClose(search); }
};
struct GlobalMemoryDeleter {
    void operator()(HGLOBAL memory) const noexcept { GlobalFree(memory); }
};
struct LocalMemoryDeleter {
    void operator()(void* memory) const noexcept { LocalFree(memory); }
};
struct AcceleratorDeleter {
    void operator()(HACCEL table) const noexcept { DestroyAcceleratorTable(table); }
};
struct MenuDeleter {
    void operator()(HMENU menu) const noexcept { DestroyMenu(menu); }
};
struct HookDeleter {
    void operator()(HHOOK hook) const noexcept { UnhookWindowsHookEx(hook); }
};
struct WindowDeleter {
    void operator()(HWND window) const noexcept { DestroyWindow(window); }
};

using ScopedFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using ScopedBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
// Cursors are icons to the system: DestroyIcon frees both.
using ScopedIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;
using ScopedGlobal = std::unique_ptr<void, GlobalMemoryDeleter>;
using ScopedAccelerators = std::unique_ptr<std::remove_pointer_t<HACCEL>, AcceleratorDeleter>;
using ScopedWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;
using ScopedHook = std::unique_ptr<std::remove_pointer_t<HHOOK>, HookDeleter>;
// A menu not yet given to a window: once SetMenu hands it over, the window destroys it, so the
// owner lets go of it then.
using ScopedMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;
// A kernel handle whose "no handle" value is null (processes, threads, events).
using ScopedKernelHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, KernelHandleDeleter>;
template <typename T>
using ScopedLocal = std::unique_ptr<T, LocalMemoryDeleter>;

// A kernel handle whose "no handle" value is INVALID_HANDLE_VALUE (files, find handles).
template <typename Deleter>
class ScopedFileHandle {
public:
    explicit ScopedFileHandle(HANDLE handle = INVALID_HANDLE_VALUE) noexcept : m_handle(handle) {}
    ~ScopedFileHandle() { Reset(); }
    ScopedFileHandle(const ScopedFileHandle&) = delete;
    ScopedFileHandle& operator=(const ScopedFileHandle&) = delete;
    ScopedFileHandle(ScopedFileHandle&& other) noexcept
        : m_handle(std::exchange(other.m_handle, INVALID_HANDLE_VALUE)) {}
    ScopedFileHandle& operator=(ScopedFileHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            m_handle = std::exchange(other.m_handle, INVALID_HANDLE_VALUE);
        }
        return *this;
    }

    [[nodiscard]] HANDLE Get() const noexcept { return m_handle; }
    [[nodiscard]] bool Valid() const noexcept { return m_handle != INVALID_HANDLE_VALUE; }
    void Reset() noexcept {
        if (Valid()) {
            Deleter()(m_handle);
            m_handle = INVALID_HANDLE_VALUE;
        }
    }

private:
    HANDLE m_handle;
};
using ScopedFile = ScopedFileHandle<KernelHandleDeleter>;
using ScopedFind = ScopedFileHandle<FindHandleDeleter>;

// An object selected into a device context, and the one it replaced put back at the end.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object) noexcept : m_dc(dc), m_old(SelectObject(dc, object)) {}
    ~ScopedSelection() { SelectObject(m_dc, m_old); }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// The clipboard, open while this lives; Opened() tells whether another program had it.
class ClipboardSession {
public:
    explicit ClipboardSession(HWND owner) noexcept : m_open(OpenClipboard(owner) != FALSE) {}
    ~ClipboardSession() {
        if (m_open) {
            CloseClipboard();
        }
    }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;

    [[nodiscard]] bool Opened() const noexcept { return m_open; }

private:
    bool m_open;
};

// The thread's OLE apartment, initialised while this lives.
class OleSession {
public:
    OleSession() noexcept : m_result(OleInitialize(nullptr)) {}
    ~OleSession() {
        if (SUCCEEDED(m_result)) {
            OleUninitialize();
        }
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

    [[nodiscard]] bool Started() const noexcept { return SUCCEEDED(m_result); }
    [[nodiscard]] HRESULT Result() const noexcept { return m_result; }

private:
    HRESULT m_result;
};
