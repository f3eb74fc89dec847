// The file system through kernel32.
#include "win32/Win32Files.h"

#include <windows.h>

#include <optional>
#include <tuple>
#include <vector>

#include "core/Failure.h"
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

std::string Win32Files::ReadFile(const Text& path, std::size_t largestMegabytes) {
    constexpr int kMegabyteShift = 20;
    const auto largestFile = static_cast<LONGLONG>(largestMegabytes) << kMegabyteShift;
    const auto unreadable = [&path](DWORD error) {
        return Failure(u"The file " + path + u" cannot be read: " + SystemMessage(error));
    };
    const ScopedFile file(CreateFileW(WideOf(path), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file.Valid() || !GetFileSizeEx(file.Get(), &size)) {
        throw unreadable(GetLastError());
    }
    if (size.QuadPart > largestFile) {
        throw Failure(u"The file " + path + u" is too large: it holds " +
                      DecimalText(size.QuadPart) + u" bytes, and at most " +
                      DecimalText(static_cast<std::int64_t>(largestMegabytes)) + u" MB (" +
                      DecimalText(largestFile) + u" bytes) is read.");
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        throw unreadable(GetLastError());
    }
    // A read that succeeded short: the file was cut meanwhile, which is no error of the system's.
    if (read != bytes.size()) {
        throw unreadable(ERROR_HANDLE_EOF);
    }
    return bytes;
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

namespace {

// The volume and the index that tell a file apart from every other, whatever path names it.
std::optional<std::tuple<DWORD, DWORD, DWORD>> FileIdentity(const Text& path) noexcept {
    const ScopedFile file(CreateFileW(WideOf(path), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (path.empty() || !file.Valid() || !GetFileInformationByHandle(file.Get(), &information)) {
        return std::nullopt;
    }
    return std::tuple(information.dwVolumeSerialNumber, information.nFileIndexHigh,
                      information.nFileIndexLow);
}

}  // namespace

bool Win32Files::SameFile(const Text& first, const Text& second) noexcept {
    const auto identity = FileIdentity(first);
    return identity.has_value() && identity == FileIdentity(second);
}
