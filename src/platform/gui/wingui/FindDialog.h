// The system's modeless Find dialog over the results: what to find, up or down, and whether case
// matters; it tells its owner by the registered FINDMSGSTRING message.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <array>
#include <optional>

#include "core/RowSearch.h"
#include "win32/ScopedHandles.h"

class FindDialog {
public:
    FindDialog() noexcept;
    FindDialog(const FindDialog&) = delete;
    FindDialog& operator=(const FindDialog&) = delete;

    // Shows the dialog, or brings it forward when it is open.
    void Open(HWND owner) noexcept;
    // Lets the keyboard move between the dialog's controls; true when the message was used.
    bool TranslateKeys(MSG& message) noexcept;
    [[nodiscard]] bool IsItsMessage(UINT message) const noexcept {
        return message == m_message && m_message != 0;
    }
    // The search that the dialog's Find Next asks for; nothing when it is closing.
    [[nodiscard]] std::optional<RowSearch> OnMessage() noexcept;
    // True while the focus is in the dialog.
    [[nodiscard]] bool HasFocus() const noexcept;
    // The last search asked for, for Find Next (F3); nothing before the first.
    [[nodiscard]] const std::optional<RowSearch>& LastSearch() const noexcept { return m_last; }

private:
    static constexpr std::size_t kTextUnits = 256;

    UINT m_message = 0;
    std::array<wchar_t, kTextUnits> m_text{};
    FINDREPLACEW m_find{};
    // The dialog while it is open; it destroys itself when the user closes it.
    ScopedWindow m_dialog;
    std::optional<RowSearch> m_last;
};
