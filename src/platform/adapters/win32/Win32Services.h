// Message boxes and files through the Win32 API.
#pragma once

#include <windows.h>

#include <functional>

#include "ports/Clipboard.h"
#include "ports/Dialogs.h"
#include "ports/Files.h"
#include "ports/SaveFiles.h"

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

class Win32Clipboard : public Clipboard {
public:
    // The clipboard is opened on behalf of owner.
    explicit Win32Clipboard(HWND owner) noexcept : m_owner(owner) {}

    bool TryEmpty() override;
    bool TryPlaceText(const Text& text, std::uint32_t format) override;
    void WaitBeforeRetry() override;

private:
    HWND m_owner;
};

class Win32SaveFiles : public SaveFiles {
public:
    Win32SaveFiles() noexcept;

    std::unique_ptr<SaveFile> Open(const Text& path) override;
    void AppendAnsi(TextView text, std::string& bytes) override;
    std::size_t CountUnwritableInAnsi(const Text& text) override;

private:
    // The most bytes the ANSI code page gives for one UTF-16 code unit.
    std::size_t m_mostBytesPerUnit = 2;
};

class Win32Files : public Files {
public:
    Text ApplicationFolder() override;
    bool FileExists(const Text& path) noexcept override;
    bool FolderExists(const Text& path) noexcept override;
    bool OrdinaryFileExists(const Text& path) noexcept override;
    std::string ReadFile(const Text& path) override;
};
