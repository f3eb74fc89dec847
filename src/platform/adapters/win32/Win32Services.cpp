// Message boxes and files through the Win32 API.
#include "win32/Win32Services.h"

#include <commdlg.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/Failure.h"
#include "win32/CommonDialogs.h"
#include "win32/ScopedHandles.h"
#include "win32/Win32Text.h"

bool Win32Files::OrdinaryFileExists(const Text& path) noexcept {
    WIN32_FIND_DATAW found{};
    const ScopedFind search(FindFirstFileW(WideOf(path), &found));
    if (!search.Valid()) {
        return false;
    }
    constexpr DWORD kNotOrdinary =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (found.dwFileAttributes & kNotOrdinary) == 0;
}

std::string Win32Files::ReadFile(const Text& path) {
    constexpr LONGLONG kLargestFile = 1 << 20;
    const ScopedFile file(CreateFileW(WideOf(path), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file.Valid() || !GetFileSizeEx(file.Get(), &size)) {
        const DWORD error = GetLastError();
        throw Failure(u"The file " + path + u" cannot be read: " + SystemMessage(error));
    }
    if (size.QuadPart > kLargestFile) {
        throw Failure(u"The file " + path + u" is too large: it holds " +
                      DecimalText(size.QuadPart) + u" bytes, and at most 1 MB (" +
                      DecimalText(kLargestFile) + u" bytes) is read.");
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size()) {
        const DWORD error = GetLastError();
        throw Failure(u"The file " + path + u" cannot be read: " + SystemMessage(error));
    }
    return bytes;
}

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

namespace {

constexpr wchar_t kErrorReportTitle[] = L"Application Error";

}  // namespace

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
    std::vector<wchar_t> file(32768, L'\0');
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
    dialog.Flags = request.flags;
    if (!CommonGetSaveFileName(dialog)) {
        if (CommonDialogError() != 0) {
            throw Failure(u"The save dialog could not be shown.");
        }
        return {};
    }
    return TextOf(file.data());
}

bool Win32Clipboard::TryEmpty() {
    const ClipboardSession clipboard(m_owner);
    return clipboard.Opened() && EmptyClipboard() != FALSE;
}

bool Win32Clipboard::TryPlaceText(const Text& text, std::uint32_t format) {
    // Opened first, so that a busy clipboard costs no copy of the text per attempt.
    const ClipboardSession clipboard(m_owner);
    if (!clipboard.Opened()) {
        return false;
    }
    const std::size_t bytes = (text.size() + 1) * sizeof(char16_t);
    ScopedGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    void* const copy = memory ? GlobalLock(memory.get()) : nullptr;
    if (copy == nullptr) {
        throw Failure(u"There is not enough memory to put the results on the clipboard.");
    }
    std::memcpy(copy, text.c_str(), bytes);
    GlobalUnlock(memory.get());
    if (EmptyClipboard() == FALSE ||
        SetClipboardData(format == 0 ? CF_UNICODETEXT : format, memory.get()) == nullptr) {
        return false;
    }
    // The clipboard owns the memory once it is placed.
    memory.release();
    return true;
}

void Win32Clipboard::WaitBeforeRetry() {
    Sleep(1);
}

namespace {

// error is the system's error code, read right after the call that failed.
[[noreturn]] void ThrowFileFailure(const Text& what, const Text& path, DWORD error) {
    throw Failure(what + u" " + path + u": " + SystemMessage(error));
}

// A new file beside target, its path put in temporary. Its name, "~" and hexadecimal digits, is
// at most 9 characters and no longer than the target's own unless that has one, so it fits
// wherever the target's name fits; an existing file is never taken. Throws Failure when none can
// be made.
HANDLE CreateTemporaryBeside(const Text& target, Text& temporary) {
    constexpr std::size_t kShortestName = 2;
    constexpr std::size_t kLongestName = 9;
    constexpr int kAttempts = 64;
    const std::size_t nameAt = target.find_last_of(u"\\/") + 1;  // 0 without a folder
    const std::size_t digits = std::clamp(target.size() - nameAt, kShortestName, kLongestName) - 1;
    std::uint64_t unique = GetTickCount64() * GetCurrentProcessId();
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < kAttempts && error == ERROR_FILE_EXISTS; ++attempt) {
        constexpr std::uint64_t kGoldenStep = 0x9E3779B97F4A7C15;  // spreads the tries apart
        unique += kGoldenStep;
        Text name = u"~";
        for (std::size_t digit = 0; digit < digits; ++digit) {
            name += u"0123456789abcdef"[(unique >> (4 * digit)) & 0xF];
        }
        temporary = target.substr(0, nameAt) + name;
        const HANDLE file = CreateFileW(WideOf(temporary), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            return file;
        }
        error = GetLastError();
    }
    ThrowFileFailure(u"The file cannot be written:", target, error);
}

// The bytes go to a temporary file beside the target, which replaces the target (keeping its
// attributes) only once everything is written; a save that fails leaves no temporary file.
class Win32SaveFile : public SaveFile {
public:
    // Makes the temporary file; throws Failure when it cannot.
    explicit Win32SaveFile(Text target)
        : m_target(std::move(target)), m_file(CreateTemporaryBeside(m_target, m_temporary)) {}
    ~Win32SaveFile() override {
        m_file.Reset();
        // A replace that failed half-way may have given it the target's read-only attribute.
        if (!m_committed && !DeleteFileW(WideOf(m_temporary))) {
            SetFileAttributesW(WideOf(m_temporary), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(WideOf(m_temporary));
        }
    }
    Win32SaveFile(const Win32SaveFile&) = delete;
    Win32SaveFile& operator=(const Win32SaveFile&) = delete;

    void Write(const std::string& bytes) override {
        std::size_t written = 0;
        while (written < bytes.size()) {
            const DWORD chunk =
                static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 30));
            DWORD done = 0;
            if (!WriteFile(m_file.Get(), bytes.data() + written, chunk, &done, nullptr)) {
                const DWORD error = GetLastError();
                ThrowFileFailure(u"The results could not be written to", m_target, error);
            }
            written += done;
        }
    }

    void Commit() override {
        if (!FlushFileBuffers(m_file.Get())) {
            const DWORD error = GetLastError();
            ThrowFileFailure(u"The results could not be written to", m_target, error);
        }
        m_file.Reset();
        const bool exists = GetFileAttributesW(WideOf(m_target)) != INVALID_FILE_ATTRIBUTES;
        if (exists) {
            // The replace moves the target aside first: a target that another program holds
            // fails here, before a system's replace can leave a file of its own beside it.
            const ScopedFile movable(CreateFileW(
                WideOf(m_target), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                nullptr, OPEN_EXISTING, 0, nullptr));
            if (!movable.Valid()) {
                const DWORD error = GetLastError();
                ThrowFileFailure(u"The results could not be saved as", m_target, error);
            }
        }
        const bool replaced =
            exists ? ReplaceFileW(WideOf(m_target), WideOf(m_temporary), nullptr,
                                  REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != FALSE
                   : MoveFileExW(WideOf(m_temporary), WideOf(m_target), MOVEFILE_WRITE_THROUGH) !=
                         FALSE;
        if (!replaced) {
            const DWORD error = GetLastError();
            ThrowFileFailure(u"The results could not be saved as", m_target, error);
        }
        m_committed = true;
    }

private:
    Text m_target;
    Text m_temporary;
    ScopedFile m_file;
    bool m_committed = false;
};

}  // namespace

std::unique_ptr<SaveFile> Win32SaveFiles::Open(const Text& path) {
    // An existing target must be writable, or the save would fail only at its very end.
    const DWORD attributes = GetFileAttributesW(WideOf(path));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        throw Failure(u"The file " + path +
                      u" is read-only, so the results cannot be saved in its place.");
    }
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        const ScopedFile existing(CreateFileW(
            WideOf(path), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, 0, nullptr));
        if (!existing.Valid()) {
            const DWORD error = GetLastError();
            ThrowFileFailure(u"The file cannot be written:", path, error);
        }
    }
    return std::make_unique<Win32SaveFile>(path);
}

Win32SaveFiles::Win32SaveFiles() noexcept {
    CPINFO codePage{};
    if (GetCPInfo(CP_ACP, &codePage) && codePage.MaxCharSize > 0) {
        m_mostBytesPerUnit = codePage.MaxCharSize;
    }
}

void Win32SaveFiles::AppendAnsi(TextView text, std::string& bytes) {
    if (text.empty()) {
        return;
    }
    // Converted once into room for the most bytes it can take, then cut to what it took.
    const std::size_t at = bytes.size();
    const std::size_t room = text.size() * m_mostBytesPerUnit;
    bytes.resize(at + room);
    const int written = WideCharToMultiByte(
        CP_ACP, 0, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()),
        bytes.data() + at, static_cast<int>(room), nullptr, nullptr);
    bytes.resize(at + static_cast<std::size_t>(std::max(written, 0)));
}

std::size_t Win32SaveFiles::CountUnwritableInAnsi(const Text& text) {
    std::size_t unwritable = 0;
    for (std::size_t at = 0; at < text.size();) {
        // A character whose units are ASCII is written as it is in every ANSI code page.
        const bool pair =
            IS_HIGH_SURROGATE(text[at]) && at + 1 < text.size() && IS_LOW_SURROGATE(text[at + 1]);
        const int units = pair ? 2 : 1;
        if (text[at] >= 0x80) {
            char bytes[8];
            BOOL substituted = FALSE;
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, WideOf(text) + at, units, bytes,
                                sizeof(bytes), nullptr, &substituted);
            unwritable += substituted ? 1 : 0;
        }
        at += static_cast<std::size_t>(units);
    }
    return unwritable;
}

Text Win32Files::ApplicationFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            throw Failure(u"The program's own folder could not be found.");
        }
        if (length < path.size()) {
            const Text file = TextOf(path.data(), length);
            return file.substr(0, file.rfind(u'\\'));
        }
        path.resize(path.size() * 2);
    }
}

bool Win32Files::FileExists(const Text& path) noexcept {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return !path.empty() &&
           GetFileAttributesExW(WideOf(path), GetFileExInfoStandard, &data) != FALSE;
}

bool Win32Files::FolderExists(const Text& path) noexcept {
    const DWORD attributes = GetFileAttributesW(WideOf(path));
    return !path.empty() && attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
