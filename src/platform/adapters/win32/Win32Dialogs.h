// Message boxes and the save dialog, modal to the program's window.
#pragma once

#include <windows.h>

#include <functional>

#include "ports/Dialogs.h"

class Win32Dialogs : public Dialogs {
public:
    // Boxes are modal to owner, which is disabled while one is shown; beforeShow brings the
    // window up to date so that the box never stands in front of stale lists.
    Win32Dialogs(HWND owner, std::function<void()> beforeShow) noexcept
        : m_owner(owner), m_beforeShow(std::move(beforeShow)) {}

    void ShowErrorReport(const Text& message) override;
    bool ShowErrorReportOfferingToStop(const Text& message) override;
    void ShowInformation(const Text& message, const Text& caption) override;
    bool AskYesNo(const Text& question, const Text& caption) override;
    YesNoCancel AskYesNoCancel(const Text& question, const Text& caption) override;
    bool AskRetryCancel(const Text& warning, const Text& caption) override;
    Text ShowSaveDialog(const SaveDialogRequest& request) override;

private:
    int Show(const Text& message, const wchar_t* caption, UINT style);

    HWND m_owner;
    std::function<void()> m_beforeShow;
};
