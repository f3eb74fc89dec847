// Load step and command handlers of the main window.
#include "app/Form1.h"

#include "app/ErrorReport.h"
#include "common/Failure.h"
#include "output/Main.h"
#include "windows/mProcess.h"
#include "windows/mWindowInfo.h"

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

Form1::Form1(ListView& listView1, ListView& listView2, Form1Services services, TextView productName)
    : ListView1(listView1),
      ListView2(listView2),
      m_services(services),
      m_productName(productName),
      m_applicationTitle(productName.substr(0, kTitleLimit - 1)) {}

void Form1::SetApplicationTitle() {
    m_applicationTitle = ApplicationTitleFor(m_productName);
}

void Form1::Form_Load() {
    StepTrap trap(m_services.dialogs, Location::Form_Load);
    const Text pointerFile = m_services.files.ApplicationFolder() + u"\\HAND-M.CUR";
    if (trap.Check(104, [&] { return m_services.files.FileExists(pointerFile); })) {
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
