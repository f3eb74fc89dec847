// What a request names windows by: a selector for a top-level window (or any window by its
// handle), and the criteria a found control must meet.
#pragma once

#include <cstdint>
#include <optional>

#include "core/Text.h"
#include "core/TextMatch.h"
#include "finding/HandleText.h"
#include "ports/WindowSystem.h"

// Which top-level window a dump reads: one way of naming it.
struct Selector {
    // Foreground: the window the user works in; Point: the deepest window at a point on screen,
    // as picking chooses it.
    enum class By { Handle, Title, TitleContains, Class, Process, Foreground, Point };

    By by = By::Handle;
    WindowHandle handle = 0;      // By::Handle: any window, top-level or not
    Text text;                    // By::Title, By::TitleContains, By::Class
    std::uint32_t processId = 0;  // By::Process
    ScreenPoint point;            // By::Point
};

// What a found window must have; each criterion given must hold.
struct FindCriteria {
    std::optional<TextMatch> wholeText;  // --text
    std::optional<TextMatch> textPart;   // --text-contains
    std::optional<Text> className;       // as the system compares class names, whatever the case
    std::optional<std::int64_t> controlId;

    // A text criterion holds when the window's text, or its text as shown (shownText, given
    // where the two differ), matches it.
    [[nodiscard]] bool Matches(TextView windowClass, std::int64_t windowId, TextView windowText,
                               std::optional<TextView> shownText = std::nullopt) const;
};
