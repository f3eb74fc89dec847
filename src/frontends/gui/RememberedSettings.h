// What the main window keeps of its user's choices between runs: its place and size, its lists'
// column widths, the View menu's ticks and the last folder of each save dialog. A value that is
// missing, of the wrong kind or out of range is ignored: the window then uses its own.
#pragma once

#include <optional>

#include "core/Text.h"
#include "ports/Settings.h"
#include "ports/WindowDetails.h"

// The window's place when it is neither maximized nor minimized, and whether it was maximized.
struct WindowPlace {
    ScreenRect bounds;
    bool maximized = false;
};

// Where a window saved at saved opens on a monitor whose work area is workArea (the monitor
// nearest the saved place): at least smallest wide and high, otherwise no larger than the work
// area, and moved as little as it takes to lie wholly inside it.
[[nodiscard]] ScreenRect PlaceOnWorkArea(const ScreenRect& saved, int smallestWidth,
                                         int smallestHeight, const ScreenRect& workArea) noexcept;

// The folder of a file's path: up to its last separator, which is kept only for a drive's root
// ("C:\"); nothing for a path without a folder.
[[nodiscard]] Text FolderOfPath(TextView path);

// The main window's lists, by the names under which their columns are kept.
enum class RememberedList { kWindowList, kResults };

class RememberedSettings {
public:
    explicit RememberedSettings(Settings& store) noexcept : m_store(store) {}

    [[nodiscard]] std::optional<WindowPlace> Place() const noexcept;
    void SetPlace(const WindowPlace& place) noexcept;

    // A column's width in twips (1-based column); nothing when none is kept.
    [[nodiscard]] std::optional<int> ColumnTwips(RememberedList list, int column) const noexcept;
    void SetColumnTwips(RememberedList list, int column, int twips) noexcept;

    [[nodiscard]] bool ShowsAllWindows() const noexcept { return Flag(kShowAllWindows, false); }
    void SetShowsAllWindows(bool on) noexcept { SetFlag(kShowAllWindows, on); }
    [[nodiscard]] bool ShowsDepth() const noexcept { return Flag(kShowDepth, true); }
    void SetShowsDepth(bool on) noexcept { SetFlag(kShowDepth, on); }

    // The folder that a save dialog last saved in; empty when none is kept.
    [[nodiscard]] Text SaveFolder(TextView dialog) const;
    // Keeps the folder of the path that a save dialog answered.
    void SetSaveFolderOf(TextView dialog, TextView path);

private:
    static constexpr TextView kShowAllWindows = u"ShowAllWindows";
    static constexpr TextView kShowDepth = u"ShowDepth";

    [[nodiscard]] bool Flag(TextView name, bool otherwise) const noexcept;
    void SetFlag(TextView name, bool on) noexcept;

    Settings& m_store;
};
