// The system's modeless Find dialog over the results.
#include "wingui/FindDialog.h"

#include "win32/CommonDialogs.h"
#include "win32/Win32Text.h"

FindDialog::FindDialog() noexcept : m_message(RegisterWindowMessageW(FINDMSGSTRINGW)) {}

void FindDialog::Open(HWND owner) noexcept {
    if (m_dialog) {
        SetActiveWindow(m_dialog.get());
        return;
    }
    m_find = {};
    m_find.lStructSize = sizeof(m_find);
    m_find.hwndOwner = owner;
    m_find.Flags = FR_DOWN | FR_HIDEWHOLEWORD;
    m_find.lpstrFindWhat = m_text.data();
    // In bytes by the documentation, in characters by some implementations: either fits.
    m_find.wFindWhatLen = static_cast<WORD>(m_text.size());
    if (m_last) {
        m_find.Flags = (m_last->down ? FR_DOWN : 0) | (m_last->matchCase ? FR_MATCHCASE : 0) |
                       FR_HIDEWHOLEWORD;
    }
    m_dialog.reset(CommonFindText(m_find));
}

bool FindDialog::TranslateKeys(MSG& message) noexcept {
    return m_dialog && IsDialogMessageW(m_dialog.get(), &message) != FALSE;
}

std::optional<RowSearch> FindDialog::OnMessage() noexcept {
    if ((m_find.Flags & FR_DIALOGTERM) != 0) {
        // The dialog has destroyed itself: its owner lets go of it.
        static_cast<void>(m_dialog.release());
        return std::nullopt;
    }
    if ((m_find.Flags & FR_FINDNEXT) == 0) {
        return std::nullopt;
    }
    try {
        RowSearch search;
        search.needle = TextOf(m_text.data(), wcsnlen(m_text.data(), m_text.size()));
        search.down = (m_find.Flags & FR_DOWN) != 0;
        search.matchCase = (m_find.Flags & FR_MATCHCASE) != 0;
        m_last = search;
        return search;
    } catch (...) {
        // No memory for the search: it is not made, as a report could not be either. Nothing may
        // escape to the window procedure that asks.
        return std::nullopt;
    }
}

bool FindDialog::HasFocus() const noexcept {
    const HWND focus = GetFocus();
    return m_dialog && focus != nullptr &&
           (focus == m_dialog.get() || IsChild(m_dialog.get(), focus) != FALSE);
}
