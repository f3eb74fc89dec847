// The items of one control as a table: its column captions and its rows of cells, with each
// row's depth for a tree, and how the read ended. The cells live in one buffer, so a table of
// short texts costs little more than their UTF-16 units.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/Text.h"
#include "ports/RemoteItems.h"

// How a control's read ended.
enum class ItemsStatus {
    Read,         // every item
    TimedOut,     // the control stopped answering: the items read until then
    Gone,         // the control or its program went away: the items read until then
    Changed,      // an item vanished while it was read: the items read until then
    NoTexts,      // an owner-drawn list that keeps item data, not texts: no items
    NoText,       // a list whose every row came without a text (it may draw them itself): its
                  // empty rows
    Capped,       // more items than a read takes: the first kItemsCap
    Denied,       // the system refused the control's messages or its program's memory: the program
                  // runs with higher rights than the reader; the items read until then
    NotReadable,  // the system does not let other programs read these items (a menu): none
    // An accessible tree's ends that leave a part out and read the rest:
    TooDeep,    // nodes deeper than kDeepestAccessible
    Looped,     // a node named itself or one of its ancestors as its child
    Malformed,  // answers of a type their call does not have
};

// Whether a kind's rows stand at depths below its top level: a tree's, a menu's.
[[nodiscard]] constexpr bool HasDepths(ItemsKind kind) noexcept {
    return kind == ItemsKind::TreeView || kind == ItemsKind::Menu || kind == ItemsKind::Accessible;
}

class ItemsTable {
public:
    ItemsTable(ItemsKind kind, std::vector<Text> captions);

    [[nodiscard]] ItemsKind Kind() const noexcept { return m_kind; }
    // At least one column, captioned or not.
    [[nodiscard]] std::size_t Columns() const noexcept { return m_captions.size(); }
    [[nodiscard]] std::size_t Rows() const noexcept { return m_depths.size(); }
    // True when some cell holds a text; captions do not count.
    [[nodiscard]] bool HasText() const noexcept { return !m_units.empty(); }
    [[nodiscard]] TextView Caption(std::size_t column) const { return m_captions.at(column); }
    [[nodiscard]] TextView Cell(std::size_t row, std::size_t column) const;
    // A column the control does not show: a list view's column of zero width.
    [[nodiscard]] bool ColumnHidden(std::size_t column) const { return m_hidden.at(column); }
    void HideColumn(std::size_t column) { m_hidden.at(column) = true; }
    // A tree's or a menu's item's depth below its top level; 0 for other kinds.
    [[nodiscard]] int Depth(std::size_t row) const { return m_depths.at(row); }

    // Adds a row of Columns() cells (missing ones empty, extra ones dropped).
    void AppendRow(std::span<const Text> cells, int depth = 0);
    // Gives back the room kept for more rows, once the table is complete.
    void ShrinkToFit();
    // The bytes the table holds for its cells, their ends and its rows' depths.
    [[nodiscard]] std::size_t HeldBytes() const noexcept;

    ItemsStatus status = ItemsStatus::Read;
    // How many item texts were longer than a read takes, and hold their first units only.
    std::size_t cutTexts = 0;
    // How many items the control claimed, when it claimed more than were read.
    std::int64_t claimed = 0;

private:
    ItemsKind m_kind;
    std::vector<Text> m_captions;
    std::vector<bool> m_hidden;
    std::u16string m_units;
    std::vector<std::uint32_t> m_cellEnds;
    std::vector<int> m_depths;
};

// The column's heading in a window that shows the table: its caption, and for a column the
// control does not show, " (hidden)" after it ("Id (hidden)"; "(hidden)" alone when it has none).
[[nodiscard]] Text ColumnHeading(const ItemsTable& table, std::size_t column);
