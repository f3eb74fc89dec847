// Port: the message boxes and the save dialog of the application, all modal to the main window.
#pragma once

#include <cstdint>

#include "core/Text.h"

// Flags of the save dialog, with the values of the system's OFN_ flags.
namespace SaveDialogFlag {
inline constexpr std::uint32_t kReadOnlyTicked = 0x00000001;    // OFN_READONLY
inline constexpr std::uint32_t kOverwritePrompt = 0x00000002;   // OFN_OVERWRITEPROMPT
inline constexpr std::uint32_t kHideReadOnly = 0x00000004;      // OFN_HIDEREADONLY
inline constexpr std::uint32_t kPathMustExist = 0x00000800;     // OFN_PATHMUSTEXIST
inline constexpr std::uint32_t kNoReadOnlyReturn = 0x00008000;  // OFN_NOREADONLYRETURN
inline constexpr std::uint32_t kExplorerStyle = 0x00080000;     // OFN_EXPLORER
inline constexpr std::uint32_t kLongNames = 0x00200000;         // OFN_LONGNAMES
// The Unicode files' dialogs: one new file in a folder that exists, asked about before an
// existing one is replaced, never a read-only one.
inline constexpr std::uint32_t kNewFile = kExplorerStyle | kLongNames | kOverwritePrompt |
                                          kHideReadOnly | kPathMustExist | kNoReadOnlyReturn;
}  // namespace SaveDialogFlag

// What the save dialog is shown with.
struct SaveDialogRequest {
    Text fileName;
    std::uint32_t flags = 0;
    Text title;
    // Pairs of description and pattern, each followed by a bar: "Text (*.txt)|*.txt|".
    Text filter;
    // Without a dot; when set, a name typed without an extension takes the chosen type's.
    Text defaultExtension;
    // The folder the dialog opens in; empty for the system's choice.
    Text initialFolder;
};

enum class YesNoCancel { Yes, No, Cancel };

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // The error report box: title "Application Error", exclamation icon, OK only.
    virtual void ShowErrorReport(const Text& message) = 0;
    // The error report box with OK and Cancel; true for Cancel, which stops the command.
    [[nodiscard]] virtual bool ShowErrorReportOfferingToStop(const Text& message) = 0;
    // An information message: OK only, no icon.
    virtual void ShowInformation(const Text& message, const Text& caption) = 0;
    // A question with Yes and No, no icon; true for Yes.
    virtual bool AskYesNo(const Text& question, const Text& caption) = 0;
    // A warning with Yes, No and Cancel; closing the box is Cancel.
    virtual YesNoCancel AskYesNoCancel(const Text& question, const Text& caption) = 0;
    // A warning with Retry and Cancel, exclamation icon; true for Retry.
    [[nodiscard]] virtual bool AskRetryCancel(const Text& warning, const Text& caption) = 0;
    // The save dialog; the chosen path, or an empty text when the user cancelled.
    virtual Text ShowSaveDialog(const SaveDialogRequest& request) = 0;
};
