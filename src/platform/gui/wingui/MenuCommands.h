// The main window's menu bar as a table: its menus, their items' ids and captions, and the keys
// that run them.
#pragma once

#include <windows.h>

#include <array>
#include <span>

// Menu command ids start above the controls' ids, so a menu click is never taken for a button's.
namespace MenuCommandId {
inline constexpr int kSaveResultsAsTextFile = 40101;
inline constexpr int kSaveResultsAsSpreadsheet = 40102;
inline constexpr int kSaveResultsAs = 40104;
inline constexpr int kExit = 40103;
inline constexpr int kCopyResultsToClipboard = 40201;
inline constexpr int kClearResults = 40202;
inline constexpr int kTickAll = 40203;
inline constexpr int kUntickAll = 40204;
inline constexpr int kFind = 40205;
inline constexpr int kFindNext = 40206;
inline constexpr int kCopyPath = 40207;
inline constexpr int kRefreshList = 40301;
inline constexpr int kExtractSelectedWindow = 40302;
inline constexpr int kOpenItems = 40303;
inline constexpr int kHighlightSelectedWindow = 40304;
inline constexpr int kShowAllWindows = 40305;
inline constexpr int kShowDepth = 40306;
inline constexpr int kPickWindow = 40401;
inline constexpr int kCommandLineHelp = 40501;
inline constexpr int kAbout = 40502;
}  // namespace MenuCommandId

struct MenuItem {
    int id;
    // The caption, then a tab and the key when a key runs it too; null for a separator.
    const wchar_t* caption;
};

struct MenuPlace {
    const wchar_t* caption;
    std::span<const MenuItem> items;
};

inline constexpr std::array<MenuItem, 5> kFileMenu{{
    {MenuCommandId::kSaveResultsAsTextFile, L"Save Results As &Text File..."},
    {MenuCommandId::kSaveResultsAs, L"&Save Results As...\tCtrl+S"},
    {MenuCommandId::kSaveResultsAsSpreadsheet, L"Save Results As &Excel File"},
    {0, nullptr},
    {MenuCommandId::kExit, L"E&xit\tAlt+F4"},
}};
inline constexpr std::array<MenuItem, 9> kEditMenu{{
    {MenuCommandId::kCopyResultsToClipboard, L"&Copy Results To Clipboard"},
    {MenuCommandId::kCopyPath, L"Copy &Path"},
    {MenuCommandId::kClearResults, L"C&lear Results"},
    {0, nullptr},
    {MenuCommandId::kTickAll, L"Tick &All\tCtrl+Shift+A"},
    {MenuCommandId::kUntickAll, L"&Untick All"},
    {0, nullptr},
    {MenuCommandId::kFind, L"&Find...\tCtrl+F"},
    {MenuCommandId::kFindNext, L"Find &Next\tF3"},
}};
inline constexpr std::array<MenuItem, 6> kViewMenu{{
    {MenuCommandId::kRefreshList, L"&Refresh List\tF5"},
    {MenuCommandId::kShowAllWindows, L"Show &All Windows"},
    {MenuCommandId::kShowDepth, L"Show &Depth"},
    {MenuCommandId::kExtractSelectedWindow, L"&Start Extracting From Selected Window"},
    {MenuCommandId::kOpenItems, L"&Items of Selected Row\tEnter"},
    {MenuCommandId::kHighlightSelectedWindow, L"&Highlight Selected Window"},
}};
inline constexpr std::array<MenuItem, 1> kToolsMenu{{
    // The menu's one item: blanks before the tab keep its key as far from its name as the longer
    // menus' key columns are from theirs.
    {MenuCommandId::kPickWindow, L"&Pick Window        \tCtrl+D"},
}};
inline constexpr std::array<MenuItem, 2> kHelpMenu{{
    {MenuCommandId::kCommandLineHelp, L"&Command Line"},
    {MenuCommandId::kAbout, L"&About"},
}};
inline constexpr std::array<MenuPlace, 5> kMenus{{
    {L"&File", kFileMenu},
    {L"&Edit", kEditMenu},
    {L"&View", kViewMenu},
    {L"&Tools", kToolsMenu},
    {L"&Help", kHelpMenu},
}};

// The keys of the menu's commands. Enter stays the dialog's key: it presses buttons and opens
// the items of the focused results row; Alt+F4 is the system's. Ctrl+D with the pointer over
// another program's window picks that window at once.
inline constexpr std::array<ACCEL, 6> kMenuKeys{{
    {FVIRTKEY | FCONTROL, 'S', MenuCommandId::kSaveResultsAs},
    {FVIRTKEY | FCONTROL, 'F', MenuCommandId::kFind},
    {FVIRTKEY, VK_F3, MenuCommandId::kFindNext},
    {FVIRTKEY | FCONTROL | FSHIFT, 'A', MenuCommandId::kTickAll},
    {FVIRTKEY, VK_F5, MenuCommandId::kRefreshList},
    {FVIRTKEY | FCONTROL, 'D', MenuCommandId::kPickWindow},
}};
