// The main window's behaviour: its load step, its six commands and its pointer rules, on the two
// row tables and the ports that the platform provides.
#pragma once

#include <optional>

#include "core/RowSearch.h"
#include "core/RowTable.h"
#include "core/Text.h"
#include "extraction/ChildWalk.h"
#include "gui/ErrorReportBox.h"
#include "gui/MainFormServices.h"
#include "gui/RememberedSettings.h"
#include "gui/ResultsExports.h"

inline constexpr TextView kProductName = u"Tessivane Window Text Reader 2021";

// The About box's text for a version such as "1.4.0".
[[nodiscard]] Text AboutText(TextView productName, TextView version);

// The application title for a product name: its last word cut off, then further trailing
// words while it is longer than 40 code units. Throws when there is no blank to cut at.
[[nodiscard]] Text ApplicationTitleFor(TextView productName);

class MainForm {
public:
    MainForm(RowTable& windowList, RowTable& results, MainFormServices services,
             TextView productName = kProductName, TextView version = u"");

    void Load();
    // The user closed the window: the program ends.
    void Close();

    // The six commands. While one runs, the others wait: a click on them does nothing, and a
    // click on the start button during a walk stops the walk.
    void RefreshList();
    void ExtractSelectedWindow();
    void SaveResultsAsSpreadsheet();
    void CopyResultsToClipboard();
    void ClearResults();
    void SaveResultsAsTextFile();

    // The menu's own commands: every results row ticked or unticked, and the help boxes.
    void TickAllResults();
    void UntickAllResults();
    void ShowCommandLineHelp();
    // Every results row in a Unicode file: CSV or tab-separated text, UTF-8, by the chosen type.
    void SaveResultsAs();
    void ShowAbout();
    // Show All Windows: the window list also shows owned, untitled and hidden windows, marked
    // with why the plain list leaves them out. Off at first; this and Show Depth are kept in
    // the user's settings for the next run.
    void ToggleShowAllWindows();
    // Selects the next results row, in the search's direction from the selected one, that holds
    // the search's text; says so when no row does.
    void FindInResults(const RowSearch& search);
    [[nodiscard]] bool ShowsAllWindows() const noexcept { return m_showAllWindows; }
    // Show Depth: the results indent each row by its window's depth in the tree. On at first.
    void ToggleShowDepth();
    [[nodiscard]] bool ShowsDepth() const noexcept { return m_showDepth; }

    // The window picked by pointing at it: its top-level window is selected in the window list
    // (given a row there when the list leaves it out) and extracted as the start button does,
    // and the picked window's row is selected in the results.
    void PickWindow(WindowHandle picked);

    // Stops a walk that is running (Esc, or the start button reading "Stop"), keeping the rows
    // it has read.
    void RequestStop() noexcept;

    // Pointer feedback: the hand over the push buttons, the arrow over the window's surface and
    // the lists; neither replaces the hourglass of a long command.
    void PointerOverButton();
    void PointerOverSurface();
    void PointerOverList();

    // True when a spreadsheet application can be started; tells the user when none is
    // installed. Throws when one is installed but could not be started.
    [[nodiscard]] bool IsSpreadsheetInstalled();

    // The caption of every message box that names no title of its own.
    [[nodiscard]] const Text& ApplicationTitle() const noexcept { return m_applicationTitle; }

private:
    class Running;

    void SetApplicationTitle();
    // True, after saying so and refreshing the window list, when the selected window has closed.
    [[nodiscard]] bool SelectedWindowHasClosed();
    // Extracts the selected window's tree; with a picked window of it, selects that window's row,
    // and the note after the walk says when it has none because it closed.
    void Extract(WindowHandle picked);
    void ApplySkin();
    // The column widths that the user gave the list's columns in an earlier run, where kept.
    void RestoreColumnWidths(RowTable& rows, RememberedList list);
    // The handle cell of the window list's selected row; nothing when no row is selected.
    [[nodiscard]] std::optional<Text> SelectedWindowHandle() const;
    void SetPointerUnlessBusy(int setting);
    // Runs one of the commands that wait for each other, unless one of them is running.
    template <typename Command>
    void RunCommand(bool letsEventsThrough, Command&& command);

    RowTable& m_windowList;
    RowTable& m_results;
    MainFormServices m_services;
    ErrorReportBox m_errorReports;
    Text m_productName;
    Text m_applicationTitle;
    Text m_version;
    ResultsExports m_exports;
    RememberedSettings m_remembered;
    bool m_running = false;
    bool m_stoppable = false;
    bool m_stopRequested = false;
    bool m_showAllWindows = false;
    bool m_showDepth = true;
};

// How a walk ended early and what it could not read, for the note after it; empty when it read
// everything.
[[nodiscard]] Text WalkNote(const WalkSummary& summary);
