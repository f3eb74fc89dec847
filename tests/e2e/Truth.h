// The target fixture: started for a test, it writes its own truth about the windows it made.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/E2eSupport.h"

// Which build of the fixture a test starts: the one built with the tests, or the 32-bit one
// (TargetFixture32.exe), whose controls a 64-bit program reaches across WOW64.
enum class FixtureBuild { Native, Bits32 };

class TargetFixture {
public:
    // Starts the fixture with mode and options and waits for its truth file.
    TargetFixture(const std::wstring& mode, const std::wstring& options = L"",
                  FixtureBuild build = FixtureBuild::Native);

    // The truth's lines, split at tabs and unescaped.
    [[nodiscard]] const std::vector<std::vector<std::wstring>>& Lines() const noexcept {
        return m_lines;
    }

private:
    std::filesystem::path m_truthFile;
    std::unique_ptr<Process> m_process;
    std::vector<std::vector<std::wstring>> m_lines;
};

// Selects the window list's row of the window with that handle; throws when it is not listed.
void SelectWindow(const Tool& tool, const std::wstring& handle);

// The tool after it has extracted the target fixture's tree.
struct ExtractedTree {
    TargetFixture fixture{L"tree"};
    Tool tool;

    ExtractedTree();
};
