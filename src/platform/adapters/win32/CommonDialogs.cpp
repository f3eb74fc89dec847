// The common dialogs' library, loaded at the first dialog.
#include "win32/CommonDialogs.h"

namespace {

// Loaded once, at the first dialog; it stays for the rest of the program, as a modeless Find
// dialog lives in it. Null when it cannot be loaded.
HMODULE CommonDialogLibrary() noexcept {
    static const HMODULE library = LoadLibraryW(L"comdlg32.dll");
    return library;
}

// The library's function called name, or nullptr when the library or the function is missing.
template <typename Function>
Function* CommonDialogFunction(const char* name) noexcept {
    const HMODULE library = CommonDialogLibrary();
    if (library == nullptr) {
        return nullptr;
    }
    // Through the generic function type, which converts to every other.
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

}  // namespace

BOOL CommonGetSaveFileName(OPENFILENAMEW& dialog) noexcept {
    static auto* const function =
        CommonDialogFunction<decltype(GetSaveFileNameW)>("GetSaveFileNameW");
    return function != nullptr ? function(&dialog) : FALSE;
}

DWORD CommonDialogError() noexcept {
    static auto* const function =
        CommonDialogFunction<decltype(CommDlgExtendedError)>("CommDlgExtendedError");
    return function != nullptr ? function() : CDERR_INITIALIZATION;
}

HWND CommonFindText(FINDREPLACEW& find) noexcept {
    static auto* const function = CommonDialogFunction<decltype(FindTextW)>("FindTextW");
    return function != nullptr ? function(&find) : nullptr;
}
