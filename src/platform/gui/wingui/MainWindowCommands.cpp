// The main window's own commands: the menu's items that are not the form's, the menu's keys and
// ticks, and the lists brought up to date after each command.
#include "wingui/MainWindow.h"

#include "export/ClipboardCopy.h"
#include "win32/Win32Clipboard.h"
#include "win32/Win32Text.h"
#include "wingui/MainMenu.h"

void MainWindow::SyncLists() noexcept {
    m_windowList->Sync();
    m_results->Sync();
}

void MainWindow::RunMenuCommand(int id, bool byKey) noexcept {
    switch (id) {
        case MenuCommandId::kOpenItems:
            OpenItemsOfSelectedResult();
            return;
        case MenuCommandId::kFind:
            m_find.Open(m_window);
            return;
        case MenuCommandId::kFindNext:
            FindNext();
            return;
        case MenuCommandId::kPickWindow:
            m_picking->StartPicking(byKey);
            return;
        case MenuCommandId::kHighlightSelectedWindow:
            m_picking->HighlightSelectedResult();
            return;
        case MenuCommandId::kCopyPath:
            CopyPathOfSelectedResult();
            return;
        default:
            break;
    }
    if (const std::optional<FormCommand> command = FormCommandOf(id)) {
        Run(*command);
    }
    if (id == MenuCommandId::kShowAllWindows || id == MenuCommandId::kShowDepth) {
        ShowViewChoices();
    }
}

void MainWindow::OpenItemsOfSelectedResult() noexcept {
    const std::optional<std::size_t> row = m_results->SelectedIndex();
    if (!row || !m_items->OpenOfRow(Results(), static_cast<int>(*row))) {
        MessageBeep(MB_OK);
    }
}

void MainWindow::CopyPathOfSelectedResult() noexcept {
    try {
        const std::optional<std::size_t> row = m_results->SelectedIndex();
        if (!row) {
            MessageBeep(MB_OK);
            return;
        }
        const std::optional<Text> path = m_resultsLook->PathOfRow(*row + 1);
        if (!path) {
            MessageBoxW(m_window,
                        L"The window of the selected row, or the extracted window, has closed: "
                        L"the row has no path.",
                        WideOf(m_form->ApplicationTitle()), MB_OK | MB_ICONINFORMATION);
            return;
        }
        Win32Clipboard clipboard(m_window);
        if (!SetClipboardText(clipboard, *path, 0)) {
            MessageBeep(MB_ICONWARNING);
            return;
        }
        ShowStatusNote(u"Path copied to the clipboard: " + *path);
    } catch (...) {
        // Nothing may escape to the window procedure; the clipboard is left as it was.
        MessageBeep(MB_ICONWARNING);
    }
}

void MainWindow::FindNext() noexcept {
    if (const std::optional<RowSearch>& search = m_find.LastSearch()) {
        Run([&](MainForm& form) { form.FindInResults(*search); });
    } else {
        m_find.Open(m_window);
    }
}

void MainWindow::ShowViewChoices() noexcept {
    const HMENU menu = GetMenu(m_window);
    const auto tick = [menu](int id, bool on) {
        CheckMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    };
    tick(MenuCommandId::kShowAllWindows, m_form->ShowsAllWindows());
    tick(MenuCommandId::kShowDepth, m_form->ShowsDepth());
    m_results->SetIndentsByDepth(m_form->ShowsDepth());
    m_classColumn->Fit();
}

bool MainWindow::TranslateDialogKeys(MSG& message) noexcept {
    if (m_items->TranslateKeys(message) || m_find.TranslateKeys(message)) {
        return true;
    }
    const bool ours = message.hwnd == m_window || IsChild(m_window, message.hwnd);
    return (ours && TranslateAcceleratorW(m_window, m_menuKeys.get(), &message) != 0) ||
           IsDialogMessageW(m_window, &message) != FALSE;
}
