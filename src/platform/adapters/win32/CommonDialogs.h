// The system's common dialogs (the save dialog and Find), from their library loaded at the first
// dialog rather than with the program. The library brings the printing system with it (under
// Wine, CUPS and its TLS and Kerberos libraries: over 4 MB of working set), which a program that
// never shows those dialogs need not carry.
#pragma once

#include <windows.h>

#include <commdlg.h>

// Each answers as the system's function of the same name does; when the library cannot be
// loaded, as that function answers a failure.
BOOL CommonGetSaveFileName(OPENFILENAMEW& dialog) noexcept;
DWORD CommonDialogError() noexcept;
HWND CommonFindText(FINDREPLACEW& find) noexcept;
