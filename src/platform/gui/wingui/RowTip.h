// A list's row tip: once the pointer rests on a row, a tip of the list's own shows that row's
// words beside the pointer, as not every version of the list control shows rows' info tips.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>

#include "core/Text.h"
#include "win32/ScopedHandles.h"

class RowTip {
public:
    // The words of a row (from 0), or nothing for a row without a tip.
    using WordsOfRow = std::function<std::optional<Text>(int row)>;

    // Gives list its tip; throws Failure when the tip cannot be made. list outlives this.
    RowTip(HWND list, WordsOfRow words);
    ~RowTip();
    RowTip(const RowTip&) = delete;
    RowTip& operator=(const RowTip&) = delete;

private:
    static LRESULT CALLBACK SubclassProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);
    // The pointer moved to point: a tip of another row goes, and the rest is awaited.
    void OnPointerMoved(POINT point) noexcept;
    // Shows the tip of the row at point (list coordinates), below the pointer.
    void Show(POINT point) noexcept;
    void Hide() noexcept;
    [[nodiscard]] TTTOOLINFOW Tool() const noexcept;

    HWND m_list;
    WordsOfRow m_words;
    ScopedWindow m_tip;
    // The row whose tip is shown; -1 for none.
    int m_shownRow = -1;
};
