// The main window's menu bar on screen: made from its table, its commands bound to the form's.
#pragma once

#include <windows.h>

#include <optional>

#include "gui/MainForm.h"
#include "win32/ScopedHandles.h"
#include "wingui/MenuCommands.h"

using FormCommand = void (MainForm::*)();

// Makes the menu bar of the table, to be handed to the window; throws Failure when it cannot.
[[nodiscard]] ScopedMenu CreateMainMenu();
// The key table of the menu's commands; throws Failure when it cannot.
[[nodiscard]] ScopedAccelerators CreateMainMenuKeys();
// The form's command that the menu item with that id runs; nothing for the window's own items
// and for ids of no menu item.
[[nodiscard]] std::optional<FormCommand> FormCommandOf(int id) noexcept;
