// The main window's load step, commands and pointer rules.
#include "gui/MainForm.h"

#include "core/Delimited.h"
#include "core/Failure.h"
#include "core/ReportLocations.h"
#include "core/Steps.h"
#include "export/ClipboardCopy.h"
#include "export/SpreadsheetExport.h"
#include "export/TextFileBytes.h"
#include "export/UnicodeResultsFile.h"
#include "extraction/ChildWalk.h"
#include "extraction/TextRead.h"
#include "gui/BackgroundWalk.h"
#include "windowlist/WindowList.h"

namespace {

constexpr std::size_t kTitleLimit = 40;

// Selects the row whose handle cell (the second) holds handle; false when no row does.
bool SelectRowOfHandle(RowTable& rows, const Text& handle) {
    for (std::size_t row = 1; row <= rows.RowCount(); ++row) {
        if (rows.SubItem(row, 1) == handle) {
            rows.SelectRow(row);
            return true;
        }
    }
    return false;
}

// The count, then the sentence for one or the one for many.
Text Counted(std::size_t count, TextView one, TextView many) {
    return DecimalText(static_cast<std::int64_t>(count)) + u" " + Text(count == 1 ? one : many);
}

}  // namespace

// A command in progress: the others wait until it ends. One that lets events through tells the
// window, which disables the other commands' buttons meanwhile; a stoppable one can be stopped.
class MainForm::Running {
public:
    Running(MainForm& form, bool letsEventsThrough, bool stoppable = false)
        : m_form(form), m_letsEventsThrough(letsEventsThrough) {
        m_form.m_running = true;
        m_form.m_stoppable = stoppable;
        m_form.m_stopRequested = false;
        if (m_letsEventsThrough) {
            m_form.m_services.window.SetBusy(true, stoppable);
        }
    }
    ~Running() {
        m_form.m_running = false;
        m_form.m_stoppable = false;
        if (m_letsEventsThrough) {
            try {
                m_form.m_services.window.SetBusy(false, false);
            } catch (...) {
                // The buttons stay as they are; the next command sets them again.
            }
        }
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

private:
    MainForm& m_form;
    bool m_letsEventsThrough;
};

Text WalkNote(const WalkSummary& summary) {
    if (!summary.Incomplete()) {
        return {};
    }
    Text note = u"Some texts in the results are missing or incomplete:";
    if (summary.timedOut != 0) {
        note += u"\r\n" + Counted(summary.timedOut,
                                  u"window did not answer in time: its text is empty.",
                                  u"windows did not answer in time: their texts are empty.");
    }
    if (summary.vanished != 0) {
        note +=
            u"\r\n" + Counted(summary.vanished, u"window closed during the walk: it has no row.",
                              u"windows closed during the walk: they have no rows.");
    }
    if (summary.cut != 0) {
        const Text cap = DecimalText(static_cast<std::int64_t>(kTextCap));
        note +=
            u"\r\n" +
            Counted(summary.cut, u"text was longer than " + cap + u" characters: it is cut there.",
                    u"texts were longer than " + cap + u" characters: they are cut there.");
    }
    if (summary.rowLimitReached) {
        note += u"\r\nThe walk stopped at " +
                DecimalText(static_cast<std::int64_t>(kMaxRowsPerWalk)) +
                u" rows: the rest of the window's tree was not read.";
    }
    return note;
}

Text ApplicationTitleFor(TextView productName) {
    Text title(productName);
    do {
        const std::size_t blank = title.rfind(u' ');
        if (blank == Text::npos) {
            throw Failure(u"The application title cannot be made from \"" + Text(productName) +
                          u"\": the text has no blank at which to cut it.");
        }
        title.resize(blank);
    } while (title.size() > kTitleLimit);
    return title;
}

Text AboutText(TextView productName, TextView version) {
    return Text(productName) + u"\r\nVersion " + Text(version) +
           u"\r\n\r\nReads the class, handle and text of a window and of every window inside "
           u"it.\r\n\r\nSupport: " +
           Text(kSupportAddress);
}

MainForm::MainForm(RowTable& windowList, RowTable& results, MainFormServices services,
                   TextView productName, TextView version)
    : m_windowList(windowList),
      m_results(results),
      m_services(services),
      m_errorReports(services.dialogs),
      m_productName(productName),
      m_applicationTitle(productName.substr(0, kTitleLimit - 1)),
      m_version(version),
      m_spreadsheetWait(services.dialogs, m_applicationTitle) {}

void MainForm::SetApplicationTitle() {
    m_applicationTitle = ApplicationTitleFor(m_productName);
}

// The skin file beside the program, when there is one, skins the main window.
void MainForm::ApplySkin() {
    const Text skinFile = m_services.files.ApplicationFolder() + u"\\x\\o.cjs";
    if (!m_services.files.OrdinaryFileExists(skinFile)) {
        return;
    }
    constexpr std::uint32_t kButtonFace = 0x8000000F;
    m_services.window.SetBackgroundColour(kButtonFace);
    // No control of the window is an option button, check box, frame or label, so no other
    // control takes the button-face colour.
    SkinEngine& skin = m_services.skin;
    skin.Invoke(SkinDispatch::kLoadSkin, {skinFile, Text()});
    skin.PutProperty(SkinDispatch::kApplyOptions,
                     skin.GetProperty(SkinDispatch::kApplyOptions) | SkinPart::kPushButtons);
    skin.PutProperty(SkinDispatch::kWindowColour, true);
    skin.PutProperty(SkinDispatch::kFonts, true);
    skin.Invoke(SkinDispatch::kApplyWindow, {m_services.window.Handle()});
}

void MainForm::SetPointerUnlessBusy(int setting) {
    if (m_services.window.MousePointer() != kBusyPointer) {
        m_services.window.SetMousePointer(setting);
    }
}

void MainForm::PointerOverButton() {
    SetPointerUnlessBusy(kCustomPointer);
}
void MainForm::PointerOverSurface() {
    SetPointerUnlessBusy(kDefaultPointer);
}
void MainForm::PointerOverList() {
    SetPointerUnlessBusy(kDefaultPointer);
}

void MainForm::Load() {
    StepRunner steps(m_errorReports, ReportLocation::Load);
    steps.Run(100, [&] { ApplySkin(); });
    Text pointerFile;
    if (steps.Check(104, [&] {
            pointerFile = m_services.files.ApplicationFolder() + u"\\HAND-M.CUR";
            return m_services.files.FileExists(pointerFile);
        })) {
        steps.Run(106, [&] { m_services.window.SetCustomPointerImage(pointerFile); });
    }
    steps.Run(126, [&] { m_services.window.SetCaption(m_productName); });
    steps.Run(126, [&] { m_services.window.SetApplicationIcon(); });
    steps.Run(126, [&] { SetApplicationTitle(); });
    steps.Run(128, [&] { m_windowList.AppendColumn(u" Window"); });
    steps.Run(130, [&] { m_windowList.AppendColumn(u"Handle"); });
    steps.Run(132, [&] { m_windowList.SetColumnWidth(1, 7000); });
    steps.Run(134, [&] { m_windowList.SetColumnWidth(2, 0); });
    steps.Run(136, [&] {
        FillWindowList(m_windowList, m_services.windows, m_errorReports, m_showAllWindows);
    });
    steps.Run(138, [&] { m_results.AppendColumn(u"Class Name"); });
    steps.Run(140, [&] { m_results.AppendColumn(u"Handle"); });
    steps.Run(142, [&] { m_results.AppendColumn(u"Text"); });
    steps.Run(144, [&] { m_results.SetColumnWidth(1, 1700); });
    steps.Run(146, [&] { m_results.SetColumnWidth(2, 1500); });
    steps.Run(148, [&] { m_results.SetColumnWidth(3, 3800); });
}

void MainForm::Close() {
    m_services.window.EndProgram();
}

void MainForm::RefreshList() {
    if (m_running) {
        return;
    }
    const Running running(*this, false);
    const std::optional<Text> selected = SelectedWindowHandle();
    StepRunner steps(m_errorReports, ReportLocation::RefreshList);
    steps.Run(100, [&] {
        FillWindowList(m_windowList, m_services.windows, m_errorReports, m_showAllWindows);
    });
    // The window selected before stays selected while it is still open.
    if (selected) {
        SelectRowOfHandle(m_windowList, *selected);
    }
}

std::optional<Text> MainForm::SelectedWindowHandle() const {
    try {
        return m_windowList.SubItem(m_windowList.SelectedRow(), 1);
    } catch (const Failure&) {
        return std::nullopt;
    }
}

void MainForm::PickWindow(WindowHandle picked) {
    const WindowHandle top = m_services.windows.TopLevelOf(picked);
    // Picked windows that closed meanwhile, and picks during another command, change nothing.
    if (m_running || top == 0) {
        return;
    }
    if (!SelectRowOfHandle(m_windowList, DecimalText(top))) {
        m_windowList.SelectRow(AppendWindowRow(m_windowList, m_services.windows, top));
    }
    ExtractSelectedWindow();
    SelectRowOfHandle(m_results, DecimalText(picked));
}

void MainForm::ToggleShowAllWindows() {
    if (m_running) {
        return;
    }
    m_showAllWindows = !m_showAllWindows;
    RefreshList();
}

void MainForm::FindInResults(const RowSearch& search) {
    std::size_t after = 0;
    try {
        after = m_results.SelectedRow();
    } catch (const Failure&) {
        // Nothing selected: the search starts at an end of the list.
    }
    if (const std::optional<std::size_t> found = FindRow(m_results, search, after)) {
        m_results.SelectRow(*found);
        return;
    }
    m_services.dialogs.ShowInformation(u"Cannot find \"" + search.needle + u"\".",
                                       m_applicationTitle);
}

// Ticks are the user's at any time, as a click on a tick box is.
void MainForm::TickAllResults() {
    m_results.SetAllChecked(true);
}

void MainForm::UntickAllResults() {
    m_results.SetAllChecked(false);
}

void MainForm::ShowCommandLineHelp() {
    m_services.dialogs.ShowInformation(
        u"tessivane-cli.exe, beside this program, reads the same texts from a command prompt or "
        u"a script:\r\n\r\n"
        u"  tessivane-cli list\t\tthe application windows and their handles\r\n"
        u"  tessivane-cli list --all\tevery top-level window\r\n"
        u"  tessivane-cli dump --handle N\tthe window's tree as JSON\r\n"
        u"  tessivane-cli dump --handle N --format csv\r\n"
        u"  tessivane-cli dump --handle N --items\tthe items of its lists too\r\n\r\n"
        u"tessivane-cli --help tells every option.",
        m_applicationTitle);
}

YesNoCancel MainForm::AskAboutLostCharacters() {
    const std::size_t lost = CharactersLostInAnsi(m_results, m_services.saveFiles);
    if (lost == 0) {
        return YesNoCancel::No;
    }
    return m_services.dialogs.AskYesNoCancel(
        Counted(lost, u"character of the results cannot be written in this system's code page",
                u"characters of the results cannot be written in this system's code page") +
            u" (ANSI): the text file would hold \"?\" or a look-alike in their place.\r\n\r\n"
            u"Yes: save the file as Unicode text (UTF-8) instead.\r\n"
            u"No: save it in the code page anyway.\r\n"
            u"Cancel: do not save.",
        m_applicationTitle);
}

void MainForm::SaveResultsAs() {
    if (m_running) {
        return;
    }
    const Running running(*this, false);
    SaveDialogRequest request;
    request.fileName = u"Results";
    request.title = u"Save Results As";
    request.filter = Text(kUnicodeResultsFileTypes);
    request.defaultExtension = Text(kCsvExtension.substr(1));
    request.flags = SaveDialogFlag::kNewFile;
    try {
        const Text path = m_services.dialogs.ShowSaveDialog(request);
        if (path.empty()) {
            return;
        }
        // The extension decides the type, whichever type the dialog showed when it was typed.
        const std::string bytes = UnicodeResultsFileBytes(
            m_results, HasCsvExtension(path) ? ResultsFileType::Csv : ResultsFileType::UnicodeText);
        const std::unique_ptr<SaveFile> file = m_services.saveFiles.Open(path);
        file->Write(bytes);
        file->Commit();
    } catch (const Failure& failure) {
        m_services.dialogs.ShowInformation(
            u"The results could not be saved: " + failure.Description(), m_applicationTitle);
    }
}

void MainForm::ShowAbout() {
    m_services.dialogs.ShowInformation(AboutText(m_productName, m_version), m_applicationTitle);
}

void MainForm::RequestStop() noexcept {
    m_stopRequested = m_stoppable;
}

bool MainForm::SelectedWindowHasClosed() {
    std::size_t row = 0;
    WindowHandle window = 0;
    try {
        row = m_windowList.SelectedRow();
        window = ParseHandle(m_windowList.SubItem(row, 1));
    } catch (const Failure&) {
        return false;  // reported by the extraction's own step
    }
    if (m_services.windows.Exists(window)) {
        return false;
    }
    m_services.dialogs.ShowInformation(
        u"The window \"" + m_windowList.MainText(row) +
            u"\" has closed since the window list was filled, so it cannot be read. The window "
            u"list now shows the windows that are open.",
        m_applicationTitle);
    FillWindowList(m_windowList, m_services.windows, m_errorReports, m_showAllWindows);
    return true;
}

void MainForm::ExtractSelectedWindow() {
    if (m_running) {
        RequestStop();
        return;
    }
    // The window answers all along, and Esc or "Stop" ends the walk.
    const Running running(*this, true, true);
    StepRunner steps(m_errorReports, ReportLocation::ExtractSelectedWindow);
    if (!steps.Check(100, [&] { return m_windowList.RowCount() != 0; }) ||
        !steps.Check(100, [&] { return !SelectedWindowHasClosed(); })) {
        return;
    }
    steps.Run(102, [&] { m_results.Clear(); });
    std::optional<WalkSummary> summary;
    steps.Run(104, [&] {
        const WindowHandle window =
            ParseHandle(m_windowList.SubItem(m_windowList.SelectedRow(), 1));
        BackgroundWalk walk(m_results, m_services.windows, m_errorReports, m_services.pump);
        summary = walk.Run(window, [this] { return m_stopRequested; });
    });
    if (summary && summary->Incomplete()) {
        steps.Run(106, [&] {
            m_services.dialogs.ShowInformation(WalkNote(*summary), m_applicationTitle);
        });
    }
}

bool MainForm::IsSpreadsheetInstalled() {
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

void MainForm::SaveResultsAsSpreadsheet() {
    if (m_running) {
        return;
    }
    const Running running(*this, true);
    StepRunner steps(m_errorReports, ReportLocation::SaveResultsAsSpreadsheet);
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
        return;
    }
    steps.Run(108, [&] { m_services.window.SetMousePointer(kBusyPointer); });
    if (steps.Check(110, [&] { return m_results.RowCount() != 0; })) {
        ExportTickedRows(steps);
    }
    steps.Run(170, [&] { m_services.window.SetMousePointer(kDefaultPointer); });
}

void MainForm::ExportTickedRows(StepRunner& steps) {
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
        return;
    }
    steps.Run(116, [&] { application->Put(u"Visible", true); });
    if (!steps.CommandEnded()) {
        WriteTickedRowsToWorkbook(steps, m_results, *workbook, m_services.pump);
    }
}

void MainForm::CopyResultsToClipboard() {
    if (m_running) {
        return;
    }
    const Running running(*this, true);
    StepRunner steps(m_errorReports, ReportLocation::CopyResultsToClipboard);
    CopyOutcome outcome = CopyOutcome::kPlaced;
    // The confirmation follows only a copy that really reached the clipboard.
    if (steps.Run(106, [&] {
            outcome = CopyTickedRowsToClipboard(m_results, m_services.clipboard, m_services.pump);
        })) {
        steps.Run(108, [&] {
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

void MainForm::ClearResults() {
    if (m_running) {
        return;
    }
    const Running running(*this, false);
    StepRunner steps(m_errorReports, ReportLocation::ClearResults);
    steps.Run(100, [&] { m_results.Clear(); });
}

void MainForm::SaveResultsAsTextFile() {
    if (m_running) {
        return;
    }
    const Running running(*this, false);
    StepRunner steps(m_errorReports, ReportLocation::SaveResultsAsTextFile);
    SaveDialogRequest request;
    request.fileName = u"";
    // One path, never a list of them.
    request.flags = SaveDialogFlag::kReadOnlyTicked | SaveDialogFlag::kExplorerStyle |
                    SaveDialogFlag::kLongNames;
    request.title = u"Save";
    request.filter = u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|";
    Text path;
    steps.Run(114, [&] { path = m_services.dialogs.ShowSaveDialog(request); });
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
        steps.Run(144, [&] { file->Write(bytes); })) {
        steps.Run(148, [&] { file->Commit(); });
    }
}
