// The items windows of the main window.
#include "wingui/ItemsWindows.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "core/Failure.h"
#include "gui/ItemsForm.h"
#include "win32/Win32Text.h"

namespace {

constexpr std::array<ACCEL, 4> kItemsKeys{{
    {FVIRTKEY | FCONTROL, 'C', kItemsCopyCommand},
    {FVIRTKEY | FCONTROL, 'S', kItemsSaveAsCommand},
    {FVIRTKEY, VK_F5, kItemsRefreshCommand},
    {FVIRTKEY | FCONTROL, 'A', kItemsSelectAllCommand},
}};

}  // namespace

ItemsWindows::ItemsWindows(HWND owner, std::function<SkinDefinition()> look)
    : m_owner(owner), m_look(std::move(look)) {
    std::array<ACCEL, kItemsKeys.size()> keys = kItemsKeys;
    m_keys.reset(CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size())));
    if (!m_keys) {
        throw Failure(u"The keys of the items windows could not be set up.");
    }
}

bool ItemsWindows::Open(std::span<const Text> cells) {
    const std::optional<ItemsSource> source = ItemsSourceOfRow(cells, m_probe);
    if (!source) {
        return false;
    }
    const auto open = std::find_if(m_windows.begin(), m_windows.end(), [&](const auto& window) {
        return window->Control() == source->control;
    });
    if (open != m_windows.end()) {
        const HWND window = (*open)->Window();
        ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(window);
        return true;
    }
    m_windows.push_back(std::make_unique<ItemsWindow>(
        m_owner, static_cast<int>(m_windows.size()), *source, m_look(),
        [this](ItemsWindow& closed) {
            std::erase_if(m_windows, [&](const auto& window) { return window.get() == &closed; });
        }));
    return true;
}

bool ItemsWindows::OpenOfRow(const RowTable& rows, int index) noexcept {
    try {
        return index >= 0 && static_cast<std::size_t>(index) < rows.RowCount() &&
               Open(rows.RowCells(static_cast<std::size_t>(index) + 1));
    } catch (...) {
        // The window could not be made: nothing opens, which the caller tells by a beep where a
        // key asked. Nothing may escape to the window procedure that runs this.
        return false;
    }
}

std::optional<Text> ItemsWindows::TipOf(std::span<const Text> cells) {
    const std::optional<ItemsSource> source = ItemsSourceOfRow(cells, m_probe);
    if (!source) {
        return std::nullopt;
    }
    return ItemsTip(*source);
}

bool ItemsWindows::TranslateKeys(MSG& message) noexcept {
    const HWND root = GetAncestor(message.hwnd, GA_ROOT);
    const bool ours = root != nullptr &&
                      std::any_of(m_windows.begin(), m_windows.end(),
                                  [&](const auto& window) { return window->Window() == root; });
    return ours && (TranslateAcceleratorW(root, m_keys.get(), &message) != 0 ||
                    IsDialogMessageW(root, &message) != FALSE);
}
