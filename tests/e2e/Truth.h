// The target fixture: started for a test, it writes its own truth about the windows it made.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
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

// One control of the items modes' truth (the format is in ItemsFixture.h): what a correct items
// reader gives for it.
struct ControlTruth {
    std::wstring name;    // the fixture's name for it: "listbox", "report", "lvhang", ...
    std::wstring kind;    // "ListBox", "ComboBox", "ListView", "TreeView", "Tab", ...
    std::wstring handle;  // as the tool prints it
    std::size_t columns = 1;
    std::size_t count = 0;  // the items it truly holds
    bool keepsTexts = true;
    std::vector<std::wstring> captions;      // list views only
    std::vector<std::size_t> hiddenColumns;  // list views only: columns of zero width
    std::vector<int> depths;                 // a tree's, in pre-order; 0 for other kinds
    std::vector<std::vector<std::wstring>> rows;
    std::map<std::wstring, std::wstring> expected;  // hostile controls: what a read meets
};

// The controls of an items truth, in the fixture's order; throws on a malformed truth.
[[nodiscard]] std::vector<ControlTruth> ItemsControls(const TargetFixture& fixture);
// The control the fixture named name; throws when there is none.
[[nodiscard]] ControlTruth ItemsControl(const TargetFixture& fixture, std::wstring_view name);

// One node of the accessible mode's truth (the format is in AccessibleFixture.h).
struct AccessibleNodeTruth {
    int depth = 0;
    std::wstring name;
    std::wstring roleText;
    std::wstring value;
    unsigned long state = 0;
    long role = 0;
    bool object = false;  // an object of its own, not a child id of its parent's
};

// What a correct reader sees of the accessible mode's panel.
struct AccessibleTruth {
    std::wstring panel;  // the self-drawn window's handle, as the tool prints it
    std::wstring mode;   // "default", "nodes" or the hostile kind
    std::vector<AccessibleNodeTruth> nodes;
    std::map<std::wstring, std::wstring> expected;  // hostile modes: what a read meets
};

// The accessible truth of a fixture started in that mode; throws on a malformed truth.
[[nodiscard]] AccessibleTruth ReadAccessibleTruth(const TargetFixture& fixture);

// Selects the window list's row of the window with that handle; throws when it is not listed.
void SelectWindow(const Tool& tool, const std::wstring& handle);

// The tool after it has extracted the target fixture's tree.
struct ExtractedTree {
    TargetFixture fixture{L"tree"};
    Tool tool;

    ExtractedTree();
};
