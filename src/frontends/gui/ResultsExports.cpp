// The main window's exports of the results.
#include "gui/ResultsExports.h"

#include <memory>
#include <string>

#include "core/Delimited.h"
#include "core/Failure.h"
#include "core/ReportLocations.h"
#include "export/ClipboardCopy.h"
#include "export/SpreadsheetExport.h"
#include "export/TextFileBytes.h"
#include "export/UnicodeResultsFile.h"
#include "gui/RememberedSettings.h"

namespace {

// The names under which the save dialogs' last folders are kept.
constexpr TextView kTextFileDialog = u"TextFile";
constexpr TextView kResultsFileDialog = u"ResultsFile";

Text SavedToNote(const Text& path) {
    return u"Saved to " + path;
}

}  // namespace

void ResultsExports::CopyToClipboard() {
    StepRunner steps(m_reporter, ReportLocation::CopyResultsToClipboard);
    CopyOutcome outcome = CopyOutcome::kPlaced;
    // The confirmation follows only a copy that really reached the clipboard.
    if (steps.Run(106, [&] {
            outcome = CopyTickedRowsToClipboard(m_results, m_services.clipboard, m_services.pump);
        })) {
        steps.Run(108, [&] {
            if (outcome == CopyOutcome::kPlaced) {
                m_services.window.ShowStatusNote(
                    u"Copied " + Counted(m_results.CheckedCount(), u"row", u"rows") +
                    u" to the clipboard");
            }
            m_services.dialogs.ShowInformation(
                outcome == CopyOutcome::kNothingTicked
                    ? u"No results rows are ticked, so nothing has been copied to the "
                      u"clipboard.\r\rTick the rows to copy by clicking their tick boxes, by "
                      u"selecting rows and pressing the space bar, or with Edit > Tick All, then "
                      u"click \"Copy Results To Clipboard\" again."
                    : u"Results have been copied to the clipboard.\r\rClick a text area where you "
                      u"normally type and press Ctrl+V to paste the clipboard.",
                m_applicationTitle);
        });
    }
}

YesNoCancel ResultsExports::AskAboutLostCharacters() {
    const std::size_t lost = CharactersLostInAnsi(m_results, m_services.saveFiles);
    if (lost == 0) {
        return YesNoCancel::No;
    }
    // Lone surrogates are lost in the code page too, but UTF-8 cannot hold them either.
    const std::size_t lostInAny = CharactersLostInAnyEncoding(m_results);
    const Text lostInUtf8 =
        lostInAny == 0
            ? Text()
            : u" " + Counted(lostInAny,
                             u"of them cannot be held by any encoding (half of a UTF-16 pair "
                             u"without its other half): UTF-8 would hold U+FFFD (\uFFFD) in its "
                             u"place.",
                             u"of them cannot be held by any encoding (halves of UTF-16 pairs "
                             u"without their other halves): UTF-8 would hold U+FFFD (\uFFFD) in "
                             u"their place.");
    return m_services.dialogs.AskYesNoCancel(
        Counted(lost, u"character of the results cannot be written in this system's code page",
                u"characters of the results cannot be written in this system's code page") +
            u" (ANSI): the text file would hold \"?\" or a look-alike in their place." +
            lostInUtf8 +
            u"\r\n\r\n"
            u"Yes: save the file as Unicode text (UTF-8) instead.\r\n"
            u"No: save it in the code page anyway.\r\n"
            u"Cancel: do not save.",
        m_applicationTitle);
}

void ResultsExports::SaveAsTextFile() {
    StepRunner steps(m_reporter, ReportLocation::SaveResultsAsTextFile);
    SaveDialogRequest request;
    request.fileName = u"";
    // One path, never a list of them.
    request.flags = SaveDialogFlag::kReadOnlyTicked | SaveDialogFlag::kExplorerStyle |
                    SaveDialogFlag::kLongNames;
    request.title = u"Save";
    request.filter = u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|";
    RememberedSettings remembered(m_services.settings);
    Text path;
    steps.Run(114, [&] {
        request.initialFolder = remembered.SaveFolder(kTextFileDialog);
        path = m_services.dialogs.ShowSaveDialog(request);
        remembered.SetSaveFolderOf(kTextFileDialog, path);
    });
    if (!steps.Check(118, [&] { return !path.empty(); })) {
        return;
    }
    // The dialog may answer a folder for names that it could not take as one file: nothing is
    // saved in a folder's place.
    if (steps.Check(118, [&] { return m_services.files.FolderExists(path); })) {
        steps.Run(118, [&] {
            m_services.dialogs.ShowInformation(
                u"\"" + path +
                    u"\" is a folder, so the results cannot be saved in its place. Click \"Save "
                    u"Results As Text File\" again and type the name of one file.",
                m_applicationTitle);
        });
        return;
    }
    bool overwrite = true;
    if (steps.Check(120, [&] { return m_services.files.FileExists(path); })) {
        steps.Run(122, [&] {
            overwrite = m_services.dialogs.AskYesNo(
                u"Are you sure you wish to overwrite " + path + u" ?", m_applicationTitle);
        });
    }
    if (!steps.Check(126, [&] { return overwrite; })) {
        return;
    }
    // Characters that the ANSI code page cannot hold are not lost unasked: the user may save
    // UTF-8 instead, ANSI anyway, or nothing.
    YesNoCancel lossy = YesNoCancel::No;
    steps.Run(126, [&] { lossy = AskAboutLostCharacters(); });
    if (lossy == YesNoCancel::Cancel) {
        return;
    }
    // A save that fails is reported once, at its line, and the target is left as it was.
    std::unique_ptr<SaveFile> file;
    std::string bytes;
    if (steps.Run(128, [&] { file = m_services.saveFiles.Open(path); }) &&
        steps.Run(130,
                  [&] {
                      bytes = lossy == YesNoCancel::Yes
                                  ? UnicodeResultsFileBytes(m_results, ResultsFileType::UnicodeText)
                                  : TextFileBytes(m_results, m_services.saveFiles);
                  }) &&
        steps.Run(144, [&] { file->Write(bytes); }) && steps.Run(148, [&] { file->Commit(); })) {
        steps.Run(148, [&] { m_services.window.ShowStatusNote(SavedToNote(path)); });
    }
}

void ResultsExports::SaveAsUnicodeFile() {
    SaveDialogRequest request;
    request.fileName = u"Results";
    request.title = u"Save Results As";
    request.filter = Text(kUnicodeResultsFileTypes);
    request.defaultExtension = Text(kCsvExtension.substr(1));
    request.flags = SaveDialogFlag::kNewFile;
    try {
        RememberedSettings remembered(m_services.settings);
        request.initialFolder = remembered.SaveFolder(kResultsFileDialog);
        const Text path = m_services.dialogs.ShowSaveDialog(request);
        if (path.empty()) {
            return;
        }
        remembered.SetSaveFolderOf(kResultsFileDialog, path);
        // The extension decides the type, whichever type the dialog showed when it was typed.
        const std::string bytes = UnicodeResultsFileBytes(
            m_results,
            HasCsvExtension(path) ? ResultsFileType::Csv : ResultsFileType::TabSeparated);
        const std::unique_ptr<SaveFile> file = m_services.saveFiles.Open(path);
        file->Write(bytes);
        file->Commit();
        m_services.window.ShowStatusNote(SavedToNote(path));
        if (const std::size_t lost = CharactersLostInAnyEncoding(m_results); lost != 0) {
            m_services.dialogs.ShowInformation(
                u"The results have been saved. " +
                    Counted(lost,
                            u"character of the results cannot be held by any encoding (half of a "
                            u"UTF-16 pair without its other half): it is written as U+FFFD "
                            u"(\uFFFD).",
                            u"characters of the results cannot be held by any encoding (halves "
                            u"of UTF-16 pairs without their other halves): they are written as "
                            u"U+FFFD (\uFFFD)."),
                m_applicationTitle);
        }
    } catch (const Failure& failure) {
        m_services.dialogs.ShowInformation(
            u"The results could not be saved: " + failure.Description(), m_applicationTitle);
    }
}

bool ResultsExports::IsSpreadsheetInstalled() {
    try {
        // Started only to see that it can be; released at once.
        const std::unique_ptr<AutomationObject> probe =
            m_services.automation.Create(Text(kSpreadsheetProgId), m_spreadsheetWait);
        return true;
    } catch (const AutomationNotRegistered&) {
        m_services.dialogs.ShowInformation(
            u"Excel is not installed on this computer. You need to have it installed to use this "
            u"software without error.",
            m_applicationTitle);
        return false;
    }
}

void ResultsExports::SaveAsSpreadsheet() {
    StepRunner steps(m_reporter, ReportLocation::SaveResultsAsSpreadsheet);
    // A cell that fails just as the one before it lets the user end the export.
    steps.OfferToEndOnRepeats();
    if (!steps.Check(100, [&] { return IsSpreadsheetInstalled(); })) {
        steps.Run(172, [&] {
            m_services.dialogs.ShowInformation(
                u"Excel is not installed on this computer. You need to have it installed to use "
                u"this feature.",
                m_applicationTitle);
        });
        return;
    }
    // Installed, but it could not be started: reported, and nothing else happens.
    if (steps.CommandEnded()) {
        NoteStop(steps);
        return;
    }
    steps.Run(108, [&] { m_services.window.SetMousePointer(kBusyPointer); });
    std::optional<std::size_t> unwritten;
    if (steps.Check(110, [&] { return m_results.RowCount() != 0; })) {
        unwritten = ExportTickedRows(steps);
    }
    steps.Run(170, [&] { m_services.window.SetMousePointer(kDefaultPointer); });
    NoteStop(steps);
    if (unwritten && !steps.CommandEnded()) {
        steps.Run(170, [&] {
            m_services.window.ShowStatusNote(u"Sent " +
                                             Counted(m_results.CheckedCount(), u"row", u"rows") +
                                             u" to the spreadsheet");
        });
    }
    // The cells that failed, some perhaps without a box of their own, told once; a stopped
    // export has nothing more to say.
    if (unwritten && *unwritten != 0 && !steps.CommandEnded()) {
        steps.Run(170, [&] {
            m_services.dialogs.ShowInformation(UnwrittenCellsNote(*unwritten), m_applicationTitle);
        });
    }
}

void ResultsExports::NoteStop(StepRunner& steps) {
    if (const std::optional<Text>& stopped = steps.StoppedByUser()) {
        steps.Run(170, [&] { m_services.window.ShowStatusNote(*stopped); });
    }
}

std::optional<std::size_t> ResultsExports::ExportTickedRows(StepRunner& steps) {
    std::unique_ptr<AutomationObject> application;
    std::unique_ptr<AutomationObject> workbook;
    // Without the application or its new workbook nothing can be written: the one report of
    // the step that failed, and the export ends.
    if (!steps.Run(112,
                   [&] {
                       application = m_services.automation.Create(Text(kSpreadsheetProgId),
                                                                  m_spreadsheetWait);
                   }) ||
        !steps.Run(114, [&] {
            workbook = application->Get(u"Workbooks")->Call(u"Add");
            if (!workbook) {
                throw AutomationFailure(u"The spreadsheet application gave no object for \"Add\".",
                                        true);
            }
        })) {
        return std::nullopt;
    }
    steps.Run(116, [&] { application->Put(u"Visible", true); });
    if (steps.CommandEnded()) {
        return std::nullopt;
    }
    return WriteTickedRowsToWorkbook(steps, m_results, *workbook, m_services.pump);
}
