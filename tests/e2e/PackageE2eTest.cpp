// The release zip unpacked into an empty folder: the tool starts from there, finds its hand
// pointer beside itself and carries the release's version. Run by tests/scripts/package_test.sh,
// which unpacks the zip and names the folder and the version.
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/ConsoleRun.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/TruthFormat.h"

namespace {

std::wstring Environment(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    return value != nullptr ? value : L"";
}

// The program file's version as "major.minor.patch", from its fixed version resource.
std::wstring FileVersion(const std::filesystem::path& program) {
    DWORD ignored = 0;
    std::vector<char> data(GetFileVersionInfoSizeW(program.c_str(), &ignored));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (data.empty() ||
        !GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length)) {
        return L"(no version resource)";
    }
    return std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
           std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
           std::to_wstring(HIWORD(fixed->dwFileVersionLS));
}

// The program file's manifest, or "" without one.
std::string Manifest(const std::filesystem::path& program) {
    const HMODULE module = LoadLibraryExW(
        program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) {
        return {};
    }
    std::string text;
    if (const HRSRC found =
            FindResourceW(module, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST)) {
        const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
        text.assign(bytes, SizeofResource(module, found));
    }
    FreeLibrary(module);
    return text;
}

}  // namespace

TEST(PackageE2e, UnpackedToolRunsWithItsHandPointerAndVersion) {
    const std::filesystem::path folder = Environment(L"TESSIVANE_PACKAGE_DIR");
    ASSERT_FALSE(folder.empty()) << "TESSIVANE_PACKAGE_DIR names the unpacked release";
    const std::filesystem::path program = folder / L"Tessivane.exe";
    EXPECT_EQ(FileVersion(program), Environment(L"TESSIVANE_PACKAGE_VERSION"));

    const auto shapes = [&] {
        Tool tool(program);
        SetForegroundWindow(tool.Main());
        const HCURSOR overList = PointerRestingOn(GetDlgItem(tool.Main(), 103));
        return std::pair{overList, PointerRestingOn(tool.Button(L"Refresh List"))};
    };
    const auto [arrow, hand] = shapes();
    EXPECT_NE(hand, arrow) << "the hand pointer beside the unpacked tool";

    // Without the pointer file beside it, the tool shows the arrow over its buttons too: the
    // hand above came from the unpacked folder.
    std::filesystem::remove(folder / L"HAND-M.CUR");
    const auto [arrowAgain, overButton] = shapes();
    EXPECT_EQ(overButton, arrowAgain);
}

TEST(PackageE2e, UnpackedCommandLineRunsAndGivesTheReleasesVersion) {
    const std::filesystem::path folder = Environment(L"TESSIVANE_PACKAGE_DIR");
    ASSERT_FALSE(folder.empty()) << "TESSIVANE_PACKAGE_DIR names the unpacked release";
    const ConsoleRun version = RunConsoleProgram(folder / L"tessivane-cli.exe", L"--version", 60s);
    ASSERT_TRUE(version.finished);
    EXPECT_EQ(version.exitCode, 0u);
    EXPECT_EQ(version.out,
              "tessivane-cli " + ToUtf8(Environment(L"TESSIVANE_PACKAGE_VERSION")) + "\n");
    // Its properties carry the same version, and it asks for no more rights than its caller has.
    EXPECT_EQ(FileVersion(folder / L"tessivane-cli.exe"),
              Environment(L"TESSIVANE_PACKAGE_VERSION"));
    EXPECT_NE(Manifest(folder / L"tessivane-cli.exe").find(R"(level="asInvoker")"),
              std::string::npos);
}
