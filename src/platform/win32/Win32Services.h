// Message boxes and files through the Win32 API.
#pragma once

#include <windows.h>

#include <functional>

#include "app/Dialogs.h"
#include "app/Files.h"

class Win32Dialogs : public Dialogs {
public:
    // Boxes are modal to owner, which is disabled while one is shown; beforeShow brings the
    // window up to date so that the box never stands in front of stale lists.
    Win32Dialogs(HWND owner, std::function<void()> beforeShow) noexcept
        : m_owner(owner), m_beforeShow(std::move(beforeShow)) {}

    void ShowErrorReport(const Text& message) override;

private:
    HWND m_owner;
    std::function<void()> m_beforeShow;
};

class Win32Files : public Files {
public:
    Text ApplicationFolder() override;
    bool FileExists(const Text& path) noexcept override;
};
