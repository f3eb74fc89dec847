// The main window's load step, commands and pointer rules.
#include "gui/MainForm.h"

#include <utility>

#include "core/Failure.h"
#include "core/ReportLocations.h"
#include "core/Steps.h"
#include "extraction/ChildWalk.h"
#include "extraction/TextRead.h"
#include "gui/BackgroundWalk.h"
#include "windowlist/WindowList.h"

namespace {

constexpr std::size_t kTitleLimit = 40;
constexpr char16_t kPickedWindowClosed[] =
    u"The picked window has closed, so it has no row in the results.";

// Selects the row whose handle cell holds handle; false when no row does.
bool SelectRowOfHandle(RowTable& rows, const Text& handle) {
    for (std::size_t row = 1; row <= rows.RowCount(); ++row) {
        if (rows.SubItem(row, kHandleColumn) == handle) {
            rows.SelectRow(row);
            return true;
        }
    }
    return false;
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
                // Nothing may leave a destructor: the buttons stay as they are, and the next
                // command sets them again.
            }
        }
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

private:
    MainForm& m_form;
    bool m_letsEventsThrough;
};

// A click on a command while another runs does nothing.
template <typename Command>
void MainForm::RunCommand(bool letsEventsThrough, Command&& command) {
    if (m_running) {
        return;
    }
    const Running running(*this, letsEventsThrough);
    std::forward<Command>(command)();
}

Text WalkNote(const WalkSummary& summary) {
    // A stop may come from the user or from another program's click on Stop: either is told.
    Text note;
    if (summary.stopped) {
        note = u"Stopped after " + Counted(summary.rows, u"window.", u"windows.");
    }
    if (!summary.Incomplete()) {
        return note;
    }
    if (!note.empty()) {
        note += u"\r\n";
    }
    note += u"Some texts in the results are missing or incomplete:";
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
    if (summary.denied != 0) {
        note += u"\r\n" + Counted(summary.denied,
                                  u"window belongs to a program running with higher rights: run "
                                  u"the tool as administrator to read it",
                                  u"windows belong to a program running with higher rights: run "
                                  u"the tool as administrator to read them");
    }
    if (summary.cut != 0) {
        const Text cap = DecimalText(static_cast<std::int64_t>(kTextCap));
        note +=
            u"\r\n" + Counted(summary.cut,
                              u"text was cut: it was longer than " + cap +
                                  u" characters, or its window claimed more than it gave.",
                              u"texts were cut: they were longer than " + cap +
                                  u" characters, or their windows claimed more than they gave.");
    }
    if (summary.changing != 0) {
        note += u"\r\n" + Counted(summary.changing,
                                  u"text changed while it was read: it may be incomplete.",
                                  u"texts changed while they were read: they may be incomplete.");
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
    // The lines are broken by hand and kept shorter than the product's name: a message box
    // measures its text a little narrower than it draws it, and a line as wide as the box wraps
    // its last word onto a line that the box has no room for.
    return Text(productName) + u"\r\nVersion " + Text(version) +
           u"\r\n\r\nReads the class, handle and text\r\nof a window and of every\r\nwindow inside "
           u"it.";
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
      m_exports(results, services, m_errorReports, m_applicationTitle),
      m_remembered(services.settings) {}

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
    m_showAllWindows = m_remembered.ShowsAllWindows();
    m_showDepth = m_remembered.ShowsDepth();
    steps.Run(136, [&] {
        FillWindowList(m_windowList, m_services.windows, m_errorReports, m_showAllWindows);
    });
    steps.Run(138, [&] { m_results.AppendColumn(u"Class Name"); });
    steps.Run(140, [&] { m_results.AppendColumn(u"Handle"); });
    steps.Run(142, [&] { m_results.AppendColumn(u"Text"); });
    steps.Run(144, [&] { m_results.SetColumnWidth(1, 1700); });
    steps.Run(146, [&] { m_results.SetColumnWidth(2, 1500); });
    steps.Run(148, [&] { m_results.SetColumnWidth(3, 3800); });
    RestoreColumnWidths(m_windowList, RememberedList::kWindowList);
    RestoreColumnWidths(m_results, RememberedList::kResults);
}

void MainForm::RestoreColumnWidths(RowTable& rows, RememberedList list) {
    for (int column = 1; column <= rows.ColumnCount(); ++column) {
        if (const std::optional<int> twips = m_remembered.ColumnTwips(list, column)) {
            rows.SetColumnWidth(column, *twips);
        }
    }
}

void MainForm::Close() {
    m_services.window.EndProgram();
}

void MainForm::RefreshList() {
    RunCommand(false, [this] {
        const std::optional<Text> selected = SelectedWindowHandle();
        StepRunner steps(m_errorReports, ReportLocation::RefreshList);
        steps.Run(100, [&] {
            FillWindowList(m_windowList, m_services.windows, m_errorReports, m_showAllWindows);
        });
        // The window selected before stays selected while it is still open.
        if (selected) {
            SelectRowOfHandle(m_windowList, *selected);
        }
    });
}

std::optional<Text> MainForm::SelectedWindowHandle() const {
    try {
        return m_windowList.SubItem(m_windowList.SelectedRow(), kHandleColumn);
    } catch (const Failure&) {
        return std::nullopt;
    }
}

void MainForm::PickWindow(WindowHandle picked) {
    // A pick during another command changes nothing.
    if (m_running) {
        return;
    }
    const WindowHandle top = m_services.windows.TopLevelOf(picked);
    if (top == 0) {
        m_services.dialogs.ShowInformation(kPickedWindowClosed, m_applicationTitle);
        return;
    }
    if (!SelectRowOfHandle(m_windowList, DecimalText(top))) {
        m_windowList.SelectRow(AppendWindowRow(m_windowList, m_services.windows, top));
    }
    Extract(picked);
}

void MainForm::ToggleShowAllWindows() {
    if (m_running) {
        return;
    }
    m_showAllWindows = !m_showAllWindows;
    m_remembered.SetShowsAllWindows(m_showAllWindows);
    RefreshList();
}

void MainForm::ToggleShowDepth() {
    m_showDepth = !m_showDepth;
    m_remembered.SetShowsDepth(m_showDepth);
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
    // Each command on a line of its own under what it does: the box's font is proportional, so
    // nothing is lined up in columns, and no line is long enough to wrap.
    m_services.dialogs.ShowInformation(
        u"tessivane-cli.exe, beside this program, reads the same texts from a command prompt or "
        u"a script.\r\n\r\n"
        u"The application windows and their handles (--all: every one):\r\n"
        u"        tessivane-cli list\r\n"
        u"A window's tree as JSON, or as CSV with its lists' items:\r\n"
        u"        tessivane-cli dump --title \"Untitled - Notepad\"\r\n"
        u"        tessivane-cli dump --handle N --format csv --items\r\n"
        u"The windows whose text is OK, in every window:\r\n"
        u"        tessivane-cli find --text OK\r\n"
        u"A window's changes as they come, until Ctrl+C:\r\n"
        u"        tessivane-cli watch --handle N\r\n"
        u"What changed between two dumps:\r\n"
        u"        tessivane-cli diff before.json after.json\r\n"
        u"A server that agents read windows through (Model Context Protocol):\r\n"
        u"        tessivane-cli serve\r\n\r\n"
        u"tessivane-cli --help tells every command, tessivane-cli COMMAND --help its options.",
        m_applicationTitle);
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
        window = ParseHandle(m_windowList.SubItem(row, kHandleColumn));
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
    Extract(0);
}

void MainForm::Extract(WindowHandle picked) {
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
            ParseHandle(m_windowList.SubItem(m_windowList.SelectedRow(), kHandleColumn));
        BackgroundWalk walk(m_results, {m_services.windows, m_services.items}, m_errorReports,
                            m_services.pump);
        summary = walk.Run(window, [this] { return m_stopRequested; });
    });
    if (summary && summary->stopped) {
        steps.Run(106, [&] {
            m_services.window.ShowStatusNote(u"Stopped after " +
                                             Counted(summary->rows, u"window", u"windows"));
        });
    }
    Text note = summary ? WalkNote(*summary) : Text();
    // A picked window that is still open has no row only when the walk ended early, which the
    // note says already.
    if (picked != 0 && !SelectRowOfHandle(m_results, DecimalText(picked)) &&
        !m_services.windows.Exists(picked)) {
        note += (note.empty() ? u"" : u"\r\n") + Text(kPickedWindowClosed);
    }
    if (!note.empty()) {
        steps.Run(106, [&] { m_services.dialogs.ShowInformation(note, m_applicationTitle); });
    }
}

// The exports' own steps are those of ResultsExports; MainForm lets one run at a time.
void MainForm::SaveResultsAsSpreadsheet() {
    RunCommand(true, [this] { m_exports.SaveAsSpreadsheet(); });
}

void MainForm::CopyResultsToClipboard() {
    RunCommand(true, [this] { m_exports.CopyToClipboard(); });
}

void MainForm::ClearResults() {
    RunCommand(false, [this] {
        StepRunner steps(m_errorReports, ReportLocation::ClearResults);
        steps.Run(100, [&] { m_results.Clear(); });
    });
}

void MainForm::SaveResultsAsTextFile() {
    RunCommand(false, [this] { m_exports.SaveAsTextFile(); });
}

void MainForm::SaveResultsAs() {
    RunCommand(false, [this] { m_exports.SaveAsUnicodeFile(); });
}

bool MainForm::IsSpreadsheetInstalled() {
    return m_exports.IsSpreadsheetInstalled();
}
