// The main window's menu bar made from its table.
#include "wingui/MainMenu.h"

#include <utility>

#include "core/Failure.h"

namespace {

constexpr std::array<std::pair<int, FormCommand>, 14> kFormCommands{{
    {MenuCommandId::kSaveResultsAs, &MainForm::SaveResultsAs},
    {MenuCommandId::kSaveResultsAsTextFile, &MainForm::SaveResultsAsTextFile},
    {MenuCommandId::kSaveResultsAsSpreadsheet, &MainForm::SaveResultsAsSpreadsheet},
    {MenuCommandId::kExit, &MainForm::Close},
    {MenuCommandId::kCopyResultsToClipboard, &MainForm::CopyResultsToClipboard},
    {MenuCommandId::kClearResults, &MainForm::ClearResults},
    {MenuCommandId::kTickAll, &MainForm::TickAllResults},
    {MenuCommandId::kUntickAll, &MainForm::UntickAllResults},
    {MenuCommandId::kRefreshList, &MainForm::RefreshList},
    {MenuCommandId::kShowAllWindows, &MainForm::ToggleShowAllWindows},
    {MenuCommandId::kShowDepth, &MainForm::ToggleShowDepth},
    {MenuCommandId::kExtractSelectedWindow, &MainForm::ExtractSelectedWindow},
    {MenuCommandId::kCommandLineHelp, &MainForm::ShowCommandLineHelp},
    {MenuCommandId::kAbout, &MainForm::ShowAbout},
}};

}  // namespace

ScopedMenu CreateMainMenu() {
    ScopedMenu bar(CreateMenu());
    if (!bar) {
        throw Failure(u"The menu bar could not be made.");
    }
    for (const MenuPlace& place : kMenus) {
        ScopedMenu menu(CreatePopupMenu());
        bool made = menu != nullptr;
        for (const MenuItem& item : place.items) {
            made = made && (item.caption == nullptr
                                ? AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr)
                                : AppendMenuW(menu.get(), MF_STRING, static_cast<UINT_PTR>(item.id),
                                              item.caption)) != FALSE;
        }
        if (!made || !AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(menu.get()),
                                  place.caption)) {
            throw Failure(u"The menu bar could not be made.");
        }
        // Once appended, a menu is destroyed with the bar.
        static_cast<void>(menu.release());
    }
    return bar;
}

ScopedAccelerators CreateMainMenuKeys() {
    std::array<ACCEL, kMenuKeys.size()> keys = kMenuKeys;
    ScopedAccelerators table(CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size())));
    if (!table) {
        throw Failure(u"The keys of the menu could not be set up.");
    }
    return table;
}

std::optional<FormCommand> FormCommandOf(int id) noexcept {
    for (const auto& [commandId, command] : kFormCommands) {
        if (commandId == id) {
            return command;
        }
    }
    return std::nullopt;
}
