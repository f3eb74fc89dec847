// What the main window keeps of its user's choices between runs.
#include "gui/RememberedSettings.h"

#include <algorithm>
#include <array>

namespace {

// Windows keeps coordinates within these bounds; a minimized window's place lies at -32000.
constexpr int kSmallestCoordinate = -31999;
constexpr int kLargestCoordinate = 32767;
// A column wider than 20 inches is no width a user chose.
constexpr int kWidestColumnTwips = 20 * 1440;
// Longer than any path that the save dialog answers.
constexpr std::size_t kLongestFolder = 32767;

constexpr std::array<TextView, 4> kPlaceNames{u"WindowLeft", u"WindowTop", u"WindowRight",
                                              u"WindowBottom"};
constexpr TextView kMaximizedName = u"WindowMaximized";

int WidthOf(const ScreenRect& rect) noexcept {
    return rect.right - rect.left;
}

int HeightOf(const ScreenRect& rect) noexcept {
    return rect.bottom - rect.top;
}

bool IsCoordinate(int value) noexcept {
    return value >= kSmallestCoordinate && value <= kLargestCoordinate;
}

// Moves the span [start, start + length) as little as it takes into [low, high).
int MovedInto(int start, int length, int low, int high) noexcept {
    return std::max(low, std::min(start, high - length));
}

Text ColumnName(RememberedList list, int column) {
    return (list == RememberedList::kWindowList ? Text(u"WindowListColumn")
                                                : Text(u"ResultsColumn")) +
           DecimalText(column) + u"Width";
}

Text FolderName(TextView dialog) {
    return u"SaveFolder" + Text(dialog);
}

}  // namespace

ScreenRect PlaceOnWorkArea(const ScreenRect& saved, int smallestWidth, int smallestHeight,
                           const ScreenRect& workArea) noexcept {
    const int width = std::max(smallestWidth, std::min(WidthOf(saved), WidthOf(workArea)));
    const int height = std::max(smallestHeight, std::min(HeightOf(saved), HeightOf(workArea)));
    const int left = MovedInto(saved.left, width, workArea.left, workArea.right);
    const int top = MovedInto(saved.top, height, workArea.top, workArea.bottom);
    return ScreenRect{left, top, left + width, top + height};
}

Text FolderOfPath(TextView path) {
    const std::size_t separator = path.find_last_of(u"\\/");
    if (separator == TextView::npos) {
        return {};
    }
    // "C:\name" keeps its root's separator: "C:" alone is the drive's current folder.
    const bool driveRoot = separator == 2 && path[1] == u':';
    return Text(path.substr(0, driveRoot ? separator + 1 : separator));
}

std::optional<WindowPlace> RememberedSettings::Place() const noexcept {
    std::array<int, kPlaceNames.size()> sides{};
    for (std::size_t side = 0; side < sides.size(); ++side) {
        const std::optional<std::int32_t> value = m_store.ReadNumber(kPlaceNames[side]);
        if (!value || !IsCoordinate(*value)) {
            return std::nullopt;
        }
        sides[side] = *value;
    }
    const ScreenRect bounds{sides[0], sides[1], sides[2], sides[3]};
    if (WidthOf(bounds) <= 0 || HeightOf(bounds) <= 0) {
        return std::nullopt;
    }
    return WindowPlace{bounds, Flag(kMaximizedName, false)};
}

void RememberedSettings::SetPlace(const WindowPlace& place) noexcept {
    const ScreenRect& bounds = place.bounds;
    const std::array<int, kPlaceNames.size()> sides{bounds.left, bounds.top, bounds.right,
                                                    bounds.bottom};
    for (std::size_t side = 0; side < sides.size(); ++side) {
        m_store.WriteNumber(kPlaceNames[side], sides[side]);
    }
    SetFlag(kMaximizedName, place.maximized);
}

std::optional<int> RememberedSettings::ColumnTwips(RememberedList list, int column) const noexcept {
    try {
        const std::optional<std::int32_t> twips = m_store.ReadNumber(ColumnName(list, column));
        if (twips && *twips >= 0 && *twips <= kWidestColumnTwips) {
            return *twips;
        }
    } catch (...) {
        // No memory for the value's name: as for a value never kept.
    }
    return std::nullopt;
}

void RememberedSettings::SetColumnTwips(RememberedList list, int column, int twips) noexcept {
    try {
        m_store.WriteNumber(ColumnName(list, column), std::clamp(twips, 0, kWidestColumnTwips));
    } catch (...) {
        // No memory for the value's name: the width is not kept, as when the store fails.
    }
}

Text RememberedSettings::SaveFolder(TextView dialog) const {
    const std::optional<Text> folder = m_store.ReadText(FolderName(dialog));
    return folder && folder->size() <= kLongestFolder ? *folder : Text();
}

void RememberedSettings::SetSaveFolderOf(TextView dialog, TextView path) {
    const Text folder = FolderOfPath(path);
    if (!folder.empty()) {
        m_store.WriteText(FolderName(dialog), folder);
    }
}

bool RememberedSettings::Flag(TextView name, bool otherwise) const noexcept {
    const std::optional<std::int32_t> value = m_store.ReadNumber(name);
    return value && (*value == 0 || *value == 1) ? *value == 1 : otherwise;
}

void RememberedSettings::SetFlag(TextView name, bool on) noexcept {
    m_store.WriteNumber(name, on ? 1 : 0);
}
