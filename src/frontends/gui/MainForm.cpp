// The main window's load step, commands and pointer rules.
#include "gui/MainForm.h"

#include "core/Failure.h"
#include "core/ReportLocations.h"
#include "core/Steps.h"
#include "export/ClipboardCopy.h"
#include "export/SpreadsheetExport.h"
#include "export/TextFileBytes.h"
#include "extraction/ChildWalk.h"
#include "windowlist/WindowList.h"

namespace {

constexpr std::size_t kTitleLimit = 40;

}  // namespace

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

MainForm::MainForm(RowTable& windowList, RowTable& results, MainFormServices services,
                   TextView productName)
    : m_windowList(windowList),
      m_results(results),
      m_services(services),
      m_errorReports(services.dialogs),
      m_productName(productName),
      m_applicationTitle(productName.substr(0, kTitleLimit - 1)) {}

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
    steps.Run(136, [&] { FillWindowList(m_windowList, m_services.windows, m_errorReports); });
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
    StepRunner steps(m_errorReports, ReportLocation::RefreshList);
    steps.Run(100, [&] { FillWindowList(m_windowList, m_services.windows, m_errorReports); });
}

void MainForm::ExtractSelectedWindow() {
    StepRunner steps(m_errorReports, ReportLocation::ExtractSelectedWindow);
    if (!steps.Check(100, [&] { return m_windowList.RowCount() != 0; })) {
        return;
    }
    steps.Run(102, [&] { m_results.Clear(); });
    steps.Run(104, [&] {
        const WindowHandle window =
            ParseHandle(m_windowList.SubItem(m_windowList.SelectedRow(), 1));
        WalkWindowTree(window, m_results, m_services.windows, m_errorReports);
    });
}

bool MainForm::IsSpreadsheetInstalled() {
    try {
        // Started only to see that it can be; released at once.
        const std::unique_ptr<AutomationObject> probe =
            m_services.automation.Create(Text(kSpreadsheetProgId));
        return true;
    } catch (...) {
        m_services.dialogs.ShowInformation(
            u"Excel is not installed on this computer. You need to have it installed to use this "
            u"software without error.",
            m_applicationTitle);
        return false;
    }
}

void MainForm::SaveResultsAsSpreadsheet() {
    StepRunner steps(m_errorReports, ReportLocation::SaveResultsAsSpreadsheet);
    if (!steps.Check(100, [&] { return IsSpreadsheetInstalled(); })) {
        steps.Run(172, [&] {
            m_services.dialogs.ShowInformation(
                u"Excel is not installed on this computer. You need to have it installed to use "
                u"this feature.",
                m_applicationTitle);
        });
        return;
    }
    steps.Run(108, [&] { m_services.window.SetMousePointer(kBusyPointer); });
    if (steps.Check(110, [&] { return m_results.RowCount() != 0; })) {
        std::unique_ptr<AutomationObject> application;
        std::unique_ptr<AutomationObject> workbook;
        steps.Run(112,
                  [&] { application = m_services.automation.Create(Text(kSpreadsheetProgId)); });
        steps.Run(114, [&] {
            workbook = RequireSpreadsheetObject(application, u"application")
                           .Get(u"Workbooks")
                           ->Call(u"Add");
        });
        steps.Run(116, [&] {
            RequireSpreadsheetObject(application, u"application").Put(u"Visible", true);
        });
        if (!steps.CommandEnded()) {
            WriteTickedRowsToWorkbook(steps, m_results, workbook, m_services.pump);
        }
    }
    steps.Run(170, [&] { m_services.window.SetMousePointer(kDefaultPointer); });
}

void MainForm::CopyResultsToClipboard() {
    StepRunner steps(m_errorReports, ReportLocation::CopyResultsToClipboard);
    // The confirmation follows only a copy that really reached the clipboard.
    if (steps.Run(106, [&] {
            CopyTickedRowsToClipboard(m_results, m_services.clipboard, m_services.pump);
        })) {
        steps.Run(108, [&] {
            m_services.dialogs.ShowInformation(
                u"Results have been copied to the clipboard.\r\rClick a text area where you "
                u"normally type and press Ctrl+V to paste the clipboard.",
                m_applicationTitle);
        });
    }
}

void MainForm::ClearResults() {
    StepRunner steps(m_errorReports, ReportLocation::ClearResults);
    steps.Run(100, [&] { m_results.Clear(); });
}

void MainForm::SaveResultsAsTextFile() {
    StepRunner steps(m_errorReports, ReportLocation::SaveResultsAsTextFile);
    SaveDialogRequest request;
    request.fileName = u"";
    request.flags = SaveDialogFlag::kReadOnlyTicked | SaveDialogFlag::kAllowMultiSelect |
                    SaveDialogFlag::kExplorerStyle | SaveDialogFlag::kLongNames;
    request.title = u"Save";
    request.filter = u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|";
    Text path;
    steps.Run(114, [&] { path = m_services.dialogs.ShowSaveDialog(request); });
    if (!steps.Check(118, [&] { return !path.empty(); })) {
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
    // A save that fails is reported once, at its line, and the target is left as it was.
    std::unique_ptr<SaveFile> file;
    std::string bytes;
    if (steps.Run(128, [&] { file = m_services.saveFiles.Open(path); }) &&
        steps.Run(130, [&] { bytes = TextFileBytes(m_results, m_services.saveFiles); }) &&
        steps.Run(144, [&] { file->Write(bytes); })) {
        steps.Run(148, [&] { file->Commit(); });
    }
}
