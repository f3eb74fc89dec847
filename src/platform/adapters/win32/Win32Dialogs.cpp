// Message boxes and the save dialog.
#include "win32/Win32Dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/Failure.h"
#include "win32/CommonDialogs.h"
#include "win32/Win32Text.h"

namespace {

constexpr wchar_t kErrorReportTitle[] = L"Application Error";
// The longest path the system takes, in code units, with its NUL.
constexpr std::size_t kLongestPath = 32768;

}  // namespace

static_assert(SaveDialogFlag::kReadOnlyTicked == OFN_READONLY);
static_assert(SaveDialogFlag::kOverwritePrompt == OFN_OVERWRITEPROMPT);
static_assert(SaveDialogFlag::kHideReadOnly == OFN_HIDEREADONLY);
static_assert(SaveDialogFlag::kPathMustExist == OFN_PATHMUSTEXIST);
static_assert(SaveDialogFlag::kNoReadOnlyReturn == OFN_NOREADONLYRETURN);
static_assert(SaveDialogFlag::kExplorerStyle == OFN_EXPLORER);
static_assert(SaveDialogFlag::kLongNames == OFN_LONGNAMES);

int Win32Dialogs::Show(const Text& message, const wchar_t* caption, UINT style) {
    m_beforeShow();
    const int answer = MessageBoxW(m_owner, WideOf(message), caption, style | MB_APPLMODAL);
    if (answer == 0) {
        throw Failure(u"The message box could not be shown.");
    }
    return answer;
}

void Win32Dialogs::ShowErrorReport(const Text& message) {
    Show(message, kErrorReportTitle, MB_OK | MB_ICONEXCLAMATION);
}

bool Win32Dialogs::ShowErrorReportOfferingToStop(const Text& message) {
    return Show(message, kErrorReportTitle, MB_OKCANCEL | MB_ICONEXCLAMATION) == IDCANCEL;
}

void Win32Dialogs::ShowInformation(const Text& message, const Text& caption) {
    Show(message, WideOf(caption), MB_OK);
}

bool Win32Dialogs::AskYesNo(const Text& question, const Text& caption) {
    return Show(question, WideOf(caption), MB_YESNO) == IDYES;
}

YesNoCancel Win32Dialogs::AskYesNoCancel(const Text& question, const Text& caption) {
    switch (Show(question, WideOf(caption), MB_YESNOCANCEL | MB_ICONWARNING)) {
        case IDYES:
            return YesNoCancel::Yes;
        case IDNO:
            return YesNoCancel::No;
        default:
            return YesNoCancel::Cancel;
    }
}

bool Win32Dialogs::AskRetryCancel(const Text& warning, const Text& caption) {
    return Show(warning, WideOf(caption), MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDRETRY;
}

Text Win32Dialogs::ShowSaveDialog(const SaveDialogRequest& request) {
    m_beforeShow();
    // The filter's bars become the NULs that the dialog expects; it ends with two.
    std::wstring filter(WideOf(request.filter), request.filter.size());
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    filter.push_back(L'\0');
    std::vector<wchar_t> file(kLongestPath, L'\0');
    std::copy_n(WideOf(request.fileName), std::min(request.fileName.size(), file.size() - 1),
                file.begin());
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = m_owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = WideOf(request.title);
    dialog.lpstrDefExt =
        request.defaultExtension.empty() ? nullptr : WideOf(request.defaultExtension);
    dialog.lpstrInitialDir =
        request.initialFolder.empty() ? nullptr : WideOf(request.initialFolder);
    dialog.Flags = request.flags;
    if (!CommonGetSaveFileName(dialog)) {
        if (CommonDialogError() != 0) {
            throw Failure(u"The save dialog could not be shown.");
        }
        return {};
    }
    return TextOf(file.data());
}
