// The document find writes: the windows and items found, each with its top-level window and path,
// as a table, CSV, TSV, JSON or JSON lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliRequest.h"
#include "core/Text.h"
#include "ports/WindowSystem.h"

// An item of a control that matched: its index and depth among the control's items, its text.
struct FoundItem {
    std::size_t index = 0;
    int depth = 0;
    Text text;
};

struct FoundWindow {
    std::size_t row = 0;  // in its walk
    WindowHandle handle = 0;
    Text className;
    std::int64_t controlId = 0;
    Text text;
    Text path;
    bool pathCut = false;
    // The text as the control shows it, where that differs from its text.
    std::optional<Text> shown;
    // With --items, a match in one of the window's items rather than in its text.
    std::optional<FoundItem> item;
};

struct SearchedWindow {
    WindowHandle handle = 0;
    Text title;
    std::vector<FoundWindow> found;
};

// The document of what was found below the windows searched; items adds the item columns to the
// table and the delimited formats.
[[nodiscard]] std::string FindDocument(const std::vector<SearchedWindow>& searched,
                                       ListFormat format, bool items, bool deadlineReached,
                                       std::size_t textlessLists);
