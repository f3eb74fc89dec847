// Widening a list's first column to its rows: the deepest indent and the longest text show whole,
// up to half the list's width, the last column making room, unless the user has sized the first.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "wingui/OwnerDataList.h"

class FirstColumnFit {
public:
    // Fits list's first column; list outlives this.
    explicit FirstColumnFit(OwnerDataList& list) noexcept : m_list(list) {}

    // The list's header notifications: a drag of the first column's edge, or a double click on
    // it, leaves that column to the user from then on.
    void OnHeaderNotify(const NMHEADERW& header) noexcept;
    // Widens the column, never narrows it, to show its rows as they are now.
    void Fit() noexcept;

private:
    // The pixels from the column's left edge to the text of a row at depth d, in the list now:
    // base + step * d.
    struct Offsets {
        int base;
        int step;
    };
    [[nodiscard]] Offsets TextOffsets() const noexcept;
    // Narrows the last column by up to pixels, as far as the columns would reach past listWidth.
    void MakeRoom(int pixels, int listWidth) const noexcept;

    OwnerDataList& m_list;
    bool m_sizedByUser = false;
};
