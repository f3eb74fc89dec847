// The main window's picking and highlighting.
#include "wingui/PickAndHighlight.h"

#include <windowsx.h>

#include <optional>

#include "core/Failure.h"
#include "core/RowTable.h"
#include "win32/Win32Text.h"

PickAndHighlight::PickAndHighlight(HWND owner, OwnerDataList& results,
                                   std::function<void(HWND)> picked)
    : m_results(results), m_picked(std::move(picked)), m_picker(owner, m_frame) {}

void PickAndHighlight::StartPicking(bool byKey) noexcept {
    if (const HWND under = byKey ? WindowUnderPointer() : nullptr) {
        Picked(under);
    } else {
        m_picker.Start();
    }
}

bool PickAndHighlight::TrackPointer() noexcept {
    if (!m_picker.Picking()) {
        return false;
    }
    m_picker.Track();
    return true;
}

LRESULT PickAndHighlight::OnLeftButtonUp() noexcept {
    if (m_picker.Picking()) {
        Picked(m_picker.Finish());
    }
    return 0;
}

LRESULT PickAndHighlight::OnPickerMessage(WPARAM event, LPARAM point) noexcept {
    if (!m_picker.Picking()) {
        return 0;
    }
    if (event == kPickerReleased) {
        Picked(m_picker.FinishAt(POINT{GET_X_LPARAM(point), GET_Y_LPARAM(point)}));
    } else {
        m_picker.Cancel();
    }
    return 0;
}

LRESULT PickAndHighlight::OnCaptureChanged() noexcept {
    m_picker.Cancel();
    return 0;
}

bool PickAndHighlight::CancelPicking() noexcept {
    const bool picking = m_picker.Picking();
    m_picker.Cancel();
    return picking;
}

void PickAndHighlight::Picked(HWND window) noexcept {
    if (window != nullptr) {
        m_picked(window);
    }
}

bool PickAndHighlight::HighlightResult(std::size_t index) noexcept {
    const RowTable& rows = m_results.Rows();
    try {
        if (index < rows.RowCount()) {
            return m_frame.Outline(HwndOf(ParseHandle(rows.SubItem(index + 1, kHandleColumn))),
                                   kHighlightDuration);
        }
    } catch (const Failure&) {
        // A row without a handle outlines nothing.
    }
    m_frame.Hide();
    return false;
}

void PickAndHighlight::HighlightSelectedResult() noexcept {
    const std::optional<std::size_t> row = m_results.SelectedIndex();
    if (!row || !HighlightResult(*row)) {
        MessageBeep(MB_OK);
    }
}

LRESULT PickAndHighlight::OnResultsItemChanged(const NMLISTVIEW& change) noexcept {
    const bool selected = (change.uChanged & LVIF_STATE) != 0 &&
                          (change.uNewState & LVIS_SELECTED) != 0 &&
                          (change.uOldState & LVIS_SELECTED) == 0;
    if (selected && change.iItem >= 0 && ListView_GetSelectedCount(m_results.Handle()) == 1) {
        HighlightResult(static_cast<std::size_t>(change.iItem));
    }
    return 0;
}
