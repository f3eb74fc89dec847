// The main window's picking and highlighting: picking a window by pointing at it (or at once by its
// key, or by dragging the finder mark onto it), and outlining the window of a results row on screen
// for a moment.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <functional>

#include "wingui/HighlightFrame.h"
#include "wingui/OwnerDataList.h"
#include "wingui/WindowPicker.h"

class PickAndHighlight {
public:
    // Picking captures the pointer for owner; picked runs with each window picked. Outlines the
    // windows of results' rows, and results outlives this. Throws Failure when the frame cannot be
    // made.
    PickAndHighlight(HWND owner, OwnerDataList& results, std::function<void(HWND)> picked);

    // Starts picking; by its key with the pointer over another program's window, picks that
    // window at once.
    void StartPicking(bool byKey) noexcept;
    // The finder mark was pressed: picking, until the button is let go over the window to pick.
    void StartDragging() noexcept { m_picker.Start(); }
    // The picker's hooks saw a release (which picks where it was) or Esc (which cancels).
    LRESULT OnPickerMessage(WPARAM event, LPARAM point) noexcept;
    // The owner's pointer moved: true when it was picking, which follows the pointer anywhere.
    bool TrackPointer() noexcept;
    // The owner's WM_LBUTTONUP and WM_CAPTURECHANGED: a click picks, a lost capture cancels.
    LRESULT OnLeftButtonUp() noexcept;
    LRESULT OnCaptureChanged() noexcept;
    // Ends picking with nothing picked; false when it was not picking.
    bool CancelPicking() noexcept;

    // Outlines the window of the selected results row, or beeps when there is none to outline.
    void HighlightSelectedResult() noexcept;
    // The results list's LVN_ITEMCHANGED: one row newly selected alone is outlined.
    LRESULT OnResultsItemChanged(const NMLISTVIEW& change) noexcept;

private:
    // Hands window to picked; nothing when no window was picked.
    void Picked(HWND window) noexcept;
    // Outlines the window of the results row at index; false when it is not shown.
    bool HighlightResult(std::size_t index) noexcept;

    OwnerDataList& m_results;
    std::function<void(HWND)> m_picked;
    HighlightFrame m_frame;
    // Outlines with m_frame, made before it.
    WindowPicker m_picker;
};
