// Shows the tool at work for the run script on a virtual display: starts one of Wine's own
// programs as the window to read, starts the tool, selects that program in the window list,
// extracts it and saves a picture of the tool's window. Says what it found at each step, and
// why it stopped when something did not come.
#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Truth.h"

namespace {

constexpr wchar_t kTargetProgram[] = L"regedit.exe";
constexpr wchar_t kTargetClass[] = L"RegEdit_RegEdit";
constexpr wchar_t kStartButton[] = L"Start Extracting From Selected Window (Above)";
constexpr auto kExtractionLimit = 60s;

std::wstring DecimalHandle(HWND window) {
    return std::to_wstring(static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(window)));
}

// Extracts the selected window; a message box of the tool meanwhile is a failure.
int Extract(const Tool& tool) {
    std::future<void> click = tool.Click(kStartButton);
    const auto deadline = std::chrono::steady_clock::now() + kExtractionLimit;
    while (click.wait_for(50ms) != std::future_status::ready) {
        if (const auto box = tool.WaitForMessageBox(0ms)) {
            std::fprintf(stderr, "The tool showed a message box: %ls\n", box->text.c_str());
            Tool::Answer(*box, IDOK);
            throw std::runtime_error("the tool showed a message box");
        }
        if (std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("the extraction did not end within a minute");
        }
    }
    return tool.Results().RowCount();
}

void Run(const std::filesystem::path& picture) {
    Process target(kTargetProgram);
    HWND targetWindow = nullptr;
    if (!WaitUntil(
            [&] { return (targetWindow = FindTopLevel(target.Id(), kTargetClass)) != nullptr; })) {
        throw std::runtime_error("Registry Editor did not show its window within 20 s");
    }
    std::printf("Registry Editor shows its window (handle %ls).\n",
                DecimalHandle(targetWindow).c_str());
    Tool tool;
    std::printf("Found the tool's main window: \"%ls\".\n", WindowText(tool.Main()).c_str());
    SelectWindow(tool, DecimalHandle(targetWindow));
    const int rows = Extract(tool);
    if (rows == 0) {
        throw std::runtime_error("the extraction gave no rows");
    }
    std::printf("Extracted \"%ls\": %d windows in the results list.\n",
                WindowText(targetWindow).c_str(), rows);
    // The target opened where the tool stands; out of the way for the picture.
    ShowWindow(targetWindow, SW_MINIMIZE);
    Sleep(500);
    SaveScreenshot(tool.Main(), picture);
    std::printf("Saved a picture of the tool's window.\n");
}

}  // namespace

void ReportUnexpectedBox() {
    std::fputs("An unexpected message box was closed.\n", stderr);
}

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: showcase PICTURE.bmp\n");
        return 2;
    }
    try {
        Run(argv[1]);
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "The tool could not be shown at work: %s.\n", failure.what());
        return 1;
    }
}
