// Files saved through a temporary file beside the target, which replaces it once written whole.
#include "win32/Win32SaveFiles.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "core/Failure.h"
#include "win32/HandleWrites.h"
#include "win32/ScopedHandles.h"
#include "win32/Win32Text.h"

namespace {

// error is the system's error code, read right after the call that failed.
[[noreturn]] void ThrowFileFailure(const Text& what, const Text& path, DWORD error) {
    throw Failure(what + u" " + path + u": " + SystemMessage(error));
}

// The full path of a file named any way the system takes (relative, "./x", with "/"), so that
// the temporary file beside it and the replace name the same folder; throws Failure, with the
// system's reason, when the name cannot be made full.
Text FullPath(const Text& path) {
    std::vector<wchar_t> full(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetFullPathNameW(WideOf(path), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            const DWORD error = GetLastError();
            ThrowFileFailure(u"The file cannot be written:", path, error);
        }
        if (length < full.size()) {
            return TextOf(full.data(), length);
        }
        full.resize(length);
    }
}

// Opens the existing file at path for access, and closes it again; throws Failure, what and the
// system's reason, when that is refused (another program holds it, or it may not be changed).
void CheckOpenable(const Text& path, DWORD access, const Text& what) {
    const ScopedFile file(CreateFileW(WideOf(path), access,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.Valid()) {
        const DWORD error = GetLastError();
        ThrowFileFailure(what, path, error);
    }
}

// A new file beside target, its path put in temporary. Its name, "~" and hexadecimal digits, is
// at most 9 characters and no longer than the target's own unless that has one, so it fits
// wherever the target's name fits; an existing file is never taken. Throws Failure when none can
// be made.
ScopedFile CreateTemporaryBeside(const Text& target, Text& temporary) {
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
            constexpr unsigned kBitsPerDigit = 4;
            constexpr std::uint64_t kDigitMask = 0xF;
            name += u"0123456789abcdef"[(unique >> (kBitsPerDigit * digit)) & kDigitMask];
        }
        temporary = target.substr(0, nameAt) + name;
        ScopedFile file(CreateFileW(WideOf(temporary), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.Valid()) {
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
        if (const DWORD error = WriteWhole(m_file.Get(), bytes); error != ERROR_SUCCESS) {
            ThrowFileFailure(u"The results could not be written to", m_target, error);
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
            CheckOpenable(m_target, DELETE, u"The results could not be saved as");
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
    const Text full = FullPath(path);
    // An existing target must be writable, or the save would fail only at its very end.
    const DWORD attributes = GetFileAttributesW(WideOf(full));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw Failure(u"The path " + full +
                      u" is a folder, so the results cannot be saved as it: name a file in it.");
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        throw Failure(u"The file " + full +
                      u" is read-only, so the results cannot be saved in its place.");
    }
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        CheckOpenable(full, GENERIC_WRITE, u"The file cannot be written:");
    }
    return std::make_unique<Win32SaveFile>(full);
}
