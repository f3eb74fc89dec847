// The child walk: a window and all its descendants, depth first in pre-order, one row each
// (class name, handle, text).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>

#include "core/Reporter.h"
#include "core/RowSink.h"
#include "extraction/TextRead.h"
#include "ports/WindowDetails.h"
#include "ports/WindowSystem.h"

// Class names are read into 256 code units, so at most 255 are kept.
inline constexpr int kClassNameCapacity = 256;

// A walk ends after this many rows, so a tree that grows while it is read cannot keep it going.
inline constexpr std::size_t kMaxRowsPerWalk = 1'000'000;

// How a walk went beyond its rows.
struct WalkSummary {
    std::size_t rows = 0;
    // Windows whose text did not come in time, even when asked again at the walk's end: their
    // cell is empty.
    std::size_t timedOut = 0;
    // Windows gone before their row was added, their own text read included: they have none.
    std::size_t vanished = 0;
    // Windows whose program runs with higher rights and refused their text: their cell is empty.
    std::size_t denied = 0;
    // Texts longer than the cap, or than what their windows wrote; counts below zero; answers
    // that never arrived from a window whose thread answered.
    std::size_t cut = 0;
    std::size_t changing = 0;  // texts that changed on every attempt to read them whole
    bool rowLimitReached = false;
    bool stopped = false;  // keepGoing said to stop

    // True when some text is missing or incomplete, or some part of the tree was not walked.
    [[nodiscard]] bool Incomplete() const noexcept {
        return timedOut != 0 || vanished != 0 || denied != 0 || cut != 0 || changing != 0 ||
               rowLimitReached;
    }
};

// Where a walked window stands in the tree, and how its text read went.
struct WalkedWindow {
    std::size_t row = 0;  // its row in the sink, counting from 1
    WindowHandle window = 0;
    WindowHandle parent = 0;  // 0 for the walk's first window
    int depth = 0;            // 0 for the walk's first window, 1 for its children, ...
    TextReadStatus status = TextReadStatus::Read;
    // The ordinal of the resource that the window's text names, its row showing what it
    // stands for ("(icon 2)").
    std::optional<std::uint16_t> resource;
    // With WalkOptions::details: the control id, and the path from the walk's first window
    // (empty for that window itself).
    std::int64_t controlId = 0;
    Text path;
    // The path would be longer than kLongestPath: it is left empty, as for its descendants.
    bool pathCut = false;
};

// Told of each window once its row is complete, in the walk's order: for a front end that writes
// windows out as they come, with their place in the tree.
class WalkObserver {
public:
    virtual ~WalkObserver() = default;

    virtual void WindowWalked(const WalkedWindow& window) = 0;
    // A window whose text did not come in time, read again at the walk's end once its thread
    // answered: its row's text is set anew and status says how this read went. After every
    // WindowWalked, in the walk's order, but for a window first asked then, which may come last.
    virtual void WindowReadAgain(const WalkedWindow& window) = 0;
};

inline constexpr int kNoDepthLimit = std::numeric_limits<int>::max();

// The longest path a walk makes, in UTF-16 units: a deeper window gets none, so that a tree that
// grows deeper as it is read cannot make each window's path longer than the last.
inline constexpr std::size_t kLongestPath = 2048;

struct WalkOptions {
    // Asked between two windows whether to go on.
    std::function<bool()> keepGoing;
    std::size_t maxRows = kMaxRowsPerWalk;
    // Windows deeper than this below the first are not walked.
    int maxDepth = kNoDepthLimit;
    WalkObserver* observer = nullptr;
    // When given, each window's control id is read as its siblings are collected, and each
    // walked window carries its id and path.
    WindowDetails* details = nullptr;
    // With details: the path of the walk's first window, which its descendants' paths continue,
    // and whether it was cut.
    Text firstPath;
    bool firstPathCut = false;
};

// Appends the rows of window and its descendants to rows, each window at most once and at most
// maxRows in all. Between two windows it asks keepGoing whether to go on (a front end lets its
// window answer there). A thread that did not answer in time is not asked again during the walk;
// at its end, each such thread that answers a probe has its windows read again, in the walk's
// order, their rows' texts set in place; a window that leaves its text unanswered again while its
// thread answers is at fault alone: its text is empty and cut, and its thread's windows are read
// on. Failures are reported under the walk's own location and it goes on.
WalkSummary WalkWindowTree(WindowHandle window, RowSink& rows, WindowSystem& windows,
                           Reporter& reporter, const std::function<bool()>& keepGoing = {},
                           std::size_t maxRows = kMaxRowsPerWalk);
WalkSummary WalkWindowTree(WindowHandle window, RowSink& rows, WindowSystem& windows,
                           Reporter& reporter, const WalkOptions& options);
