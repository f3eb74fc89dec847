// Load step and command handlers of the main window.
#include "app/Form1.h"

#include "app/ErrorReport.h"
#include "common/Failure.h"
#include "output/Main.h"
#include "windows/mProcess.h"
#include "windows/mWindowInfo.h"

namespace {

constexpr std::size_t kTitleLimit = 40;
constexpr TextView kSpreadsheetProgId = u"Excel.Application";

// The object a step needs, or the failure that an earlier failed step left behind.
AutomationObject& Require(const std::unique_ptr<AutomationObject>& object, TextView what) {
    if (!object) {
        throw Failure(u"The spreadsheet " + Text(what) +
                      u" is not available: an earlier step failed.");
    }
    return *object;
}

// Spreadsheet cells get the subitems without "=", so that none is taken for a formula.
Text WithoutEquals(Text text) {
    std::erase(text, u'=');
    return text;
}

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

Form1::Form1(ListView& listView1, ListView& listView2, Form1Services services, TextView productName)
    : ListView1(listView1),
      ListView2(listView2),
      m_services(services),
      m_productName(productName),
      m_applicationTitle(productName.substr(0, kTitleLimit - 1)) {}

void Form1::SetApplicationTitle() {
    m_applicationTitle = ApplicationTitleFor(m_productName);
}

// The skin file beside the program, when there is one, skins the main window.
void Form1::ApplySkin() {
    const Text skinFile = m_services.files.ApplicationFolder() + u"\\x\\o.cjs";
    if (!m_services.files.OrdinaryFileExists(skinFile)) {
        return;
    }
    constexpr std::uint32_t kButtonFace = 0x8000000F;
    m_services.window.SetBackgroundColour(kButtonFace);
    // No control of the window is an option button, check box, frame or label, so no other
    // control takes the button-face colour.
    SkinEngine& skin = m_services.SkinFramework1;
    skin.Invoke(2, {skinFile, Text()});
    skin.PutProperty(1, skin.GetProperty(1) | 1);
    skin.PutProperty(5, true);
    skin.PutProperty(10, true);
    skin.Invoke(3, {m_services.window.Handle()});
}

void Form1::SetPointerUnlessBusy(int setting) {
    if (m_services.window.MousePointer() != kBusyPointer) {
        m_services.window.SetMousePointer(setting);
    }
}

void Form1::PushButton_MouseMove() {
    SetPointerUnlessBusy(kCustomPointer);
}
void Form1::Form_MouseMove() {
    SetPointerUnlessBusy(kDefaultPointer);
}
void Form1::ListView1_MouseMove() {
    SetPointerUnlessBusy(kDefaultPointer);
}
void Form1::ListView2_MouseMove() {
    SetPointerUnlessBusy(kDefaultPointer);
}

void Form1::Form_Load() {
    StepTrap trap(m_services.dialogs, Location::Form_Load);
    trap.Run(100, [&] { ApplySkin(); });
    Text pointerFile;
    if (trap.Check(104, [&] {
            pointerFile = m_services.files.ApplicationFolder() + u"\\HAND-M.CUR";
            return m_services.files.FileExists(pointerFile);
        })) {
        trap.Run(106, [&] { m_services.window.SetCustomPointerImage(pointerFile); });
    }
    trap.Run(126, [&] { m_services.window.SetCaption(m_productName); });
    trap.Run(126, [&] { m_services.window.SetApplicationIcon(); });
    trap.Run(126, [&] { SetApplicationTitle(); });
    trap.Run(128, [&] { ListView1.AppendColumn(u" Window"); });
    trap.Run(130, [&] { ListView1.AppendColumn(u"Handle"); });
    trap.Run(132, [&] { ListView1.SetColumnWidth(1, 7000); });
    trap.Run(134, [&] { ListView1.SetColumnWidth(2, 0); });
    trap.Run(136, [&] { getAllWindows(ListView1, m_services.windows, m_services.dialogs); });
    trap.Run(138, [&] { ListView2.AppendColumn(u"Class Name"); });
    trap.Run(140, [&] { ListView2.AppendColumn(u"Handle"); });
    trap.Run(142, [&] { ListView2.AppendColumn(u"Text"); });
    trap.Run(144, [&] { ListView2.SetColumnWidth(1, 1700); });
    trap.Run(146, [&] { ListView2.SetColumnWidth(2, 1500); });
    trap.Run(148, [&] { ListView2.SetColumnWidth(3, 3800); });
}

void Form1::Form_Unload() {
    m_services.window.EndProgram();
}

void Form1::PushButton1_Click() {
    StepTrap trap(m_services.dialogs, Location::PushButton1_Click);
    trap.Run(100, [&] { getAllWindows(ListView1, m_services.windows, m_services.dialogs); });
}

void Form1::PushButton2_Click() {
    StepTrap trap(m_services.dialogs, Location::PushButton2_Click);
    if (!trap.Check(100, [&] { return ListView1.RowCount() != 0; })) {
        return;
    }
    trap.Run(102, [&] { ListView2.Clear(); });
    trap.Run(104, [&] {
        const WindowHandle window = ParseHandle(ListView1.SubItem(ListView1.SelectedRow(), 1));
        WindowInfo(window, ListView2, m_services.windows, m_services.dialogs);
    });
}

bool Form1::SaveResultsAsExcelFileIsExcelInstalled() {
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

void Form1::PushButton3_Click() {
    StepTrap trap(m_services.dialogs, Location::PushButton3_Click);
    if (!trap.Check(100, [&] { return SaveResultsAsExcelFileIsExcelInstalled(); })) {
        trap.Run(172, [&] {
            m_services.dialogs.ShowInformation(
                u"Excel is not installed on this computer. You need to have it installed to use "
                u"this feature.",
                m_applicationTitle);
        });
        return;
    }
    trap.Run(108, [&] { m_services.window.SetMousePointer(kBusyPointer); });
    if (trap.Check(110, [&] { return ListView2.RowCount() != 0; })) {
        std::unique_ptr<AutomationObject> application;
        std::unique_ptr<AutomationObject> workbook;
        trap.Run(112,
                 [&] { application = m_services.automation.Create(Text(kSpreadsheetProgId)); });
        trap.Run(114, [&] {
            workbook = Require(application, u"application").Get(u"Workbooks")->Call(u"Add");
        });
        trap.Run(116, [&] { Require(application, u"application").Put(u"Visible", true); });
        if (!trap.CommandEnded()) {
            ExportRows(trap, workbook);
        }
    }
    trap.Run(170, [&] { m_services.window.SetMousePointer(kDefaultPointer); });
}

// Captions in sheet row 1, then ticked results row r in sheet row r + 1. Stops early only when
// the spreadsheet application has gone.
void Form1::ExportRows(StepTrap& trap, const std::unique_ptr<AutomationObject>& workbook) {
    std::unique_ptr<AutomationObject> activeSheet;
    const auto sheet = [&]() -> AutomationObject& {
        if (!activeSheet) {
            activeSheet = Require(workbook, u"workbook").Get(u"ActiveSheet");
        }
        return *activeSheet;
    };
    const auto cell = [&](std::int32_t row, std::int32_t column) {
        return sheet().Get(u"cells", {row, column});
    };
    std::int32_t sheetColumn = 1;
    const int columns = ListView2.ColumnCount();
    for (int column = 1; column <= columns && !trap.CommandEnded(); ++column) {
        trap.Run(122, [&] { m_services.pump.Pump(); });
        trap.Run(124, [&] {
            cell(1, sheetColumn)->PutDefault(ListView2.ColumnHeader(column));
            ++sheetColumn;
        });
        trap.Run(134, [&] { sheet().Get(u"Columns", {column})->Call(u"Autofit"); });
    }
    std::int32_t sheetRow = 2;
    const std::size_t rows = ListView2.RowCount();
    for (std::size_t row = 1; row <= rows && !trap.CommandEnded(); ++row) {
        trap.Run(142, [&] { m_services.pump.Pump(); });
        if (trap.Check(144, [&] { return ListView2.Checked(row); })) {
            sheetColumn = 1;
            const int rowColumns = ListView2.ColumnCount();
            for (int column = 1; column <= rowColumns && !trap.CommandEnded(); ++column) {
                trap.Run(150, [&] { m_services.pump.Pump(); });
                const int line = column == 1 ? 152 : 158;
                trap.Run(line, [&] {
                    Text value = column == 1 ? ListView2.MainText(row)
                                             : WithoutEquals(ListView2.SubItem(row, column - 1));
                    cell(sheetRow, sheetColumn)->Put(u"Value", std::move(value));
                    ++sheetColumn;
                });
            }
        }
        ++sheetRow;
    }
    if (!trap.CommandEnded()) {
        trap.Run(168, [&] { sheet().Get(u"Columns")->Call(u"Autofit"); });
    }
}

void Form1::PushButton4_Click() {
    StepTrap trap(m_services.dialogs, Location::PushButton4_Click);
    // The confirmation follows only a copy that really reached the clipboard.
    if (trap.Run(106, [&] {
            CopyCheckedRowsToClipboard(ListView2, m_services.clipboard, m_services.pump);
        })) {
        trap.Run(108, [&] {
            m_services.dialogs.ShowInformation(
                u"Results have been copied to the clipboard.\r\rClick a text area where you "
                u"normally type and press Ctrl+V to paste the clipboard.",
                m_applicationTitle);
        });
    }
}

void Form1::PushButton5_Click() {
    StepTrap trap(m_services.dialogs, Location::PushButton5_Click);
    trap.Run(100, [&] { ListView2.Clear(); });
}

void Form1::PushButton6_Click() {
    StepTrap trap(m_services.dialogs, Location::PushButton6_Click);
    SaveDialogRequest request;
    request.fileName = u"";
    request.flags =
        0x280201;  // read-only box ticked, multiple selection, Explorer style, long names
    request.title = u"Save";
    request.filter = u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|";
    Text path;
    trap.Run(114, [&] { path = m_services.dialogs.ShowSaveDialog(request); });
    if (!trap.Check(118, [&] { return !path.empty(); })) {
        return;
    }
    bool overwrite = true;
    if (trap.Check(120, [&] { return m_services.files.FileExists(path); })) {
        trap.Run(122, [&] {
            overwrite = m_services.dialogs.AskYesNo(
                u"Are you sure you wish to overwrite " + path + u" ?", m_applicationTitle);
        });
    }
    if (!trap.Check(126, [&] { return overwrite; })) {
        return;
    }
    // A save that fails is reported once, at its line, and the target is left as it was.
    std::unique_ptr<SaveFile> file;
    std::string bytes;
    if (trap.Run(128, [&] { file = m_services.saveFiles.Open(path); }) &&
        trap.Run(130, [&] { bytes = TextFileBytes(ListView2, m_services.saveFiles); }) &&
        trap.Run(144, [&] { file->Write(bytes); })) {
        trap.Run(148, [&] { file->Commit(); });
    }
}
