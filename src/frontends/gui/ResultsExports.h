// The main window's exports of the results: the clipboard, the text file, the Unicode file and
// the spreadsheet.
#pragma once

#include <optional>

#include "core/Reporter.h"
#include "core/RowTable.h"
#include "core/Steps.h"
#include "core/Text.h"
#include "gui/MainFormServices.h"
#include "gui/SpreadsheetWaitBox.h"
#include "ports/Dialogs.h"

class ResultsExports {
public:
    // applicationTitle: the caption of the boxes, as it stands when each shows.
    ResultsExports(RowTable& results, MainFormServices services, Reporter& reporter,
                   const Text& applicationTitle) noexcept
        : m_results(results),
          m_services(services),
          m_reporter(reporter),
          m_applicationTitle(applicationTitle),
          m_spreadsheetWait(services.dialogs, applicationTitle) {}

    // The ticked rows, aligned, on the clipboard.
    void CopyToClipboard();
    // Every row in a text file, in the ANSI code page unless the user chooses UTF-8.
    void SaveAsTextFile();
    // Every row in a Unicode file: CSV or tab-separated text, UTF-8, by the chosen type.
    void SaveAsUnicodeFile();
    // The ticked rows in a new workbook of the spreadsheet application.
    void SaveAsSpreadsheet();

    // True when a spreadsheet application can be started; tells the user when none is
    // installed. Throws when one is installed but could not be started.
    [[nodiscard]] bool IsSpreadsheetInstalled();

private:
    // Asks how to save when the text file in the ANSI code page would lose characters; No (the
    // code page) when it would lose none.
    [[nodiscard]] YesNoCancel AskAboutLostCharacters();
    // The spreadsheet export's steps from the application's start to the last cell; answers how
    // many cells could not be written, or nothing when it had no workbook to write them in.
    std::optional<std::size_t> ExportTickedRows(StepRunner& steps);
    // The user's stop of a wait for the application, in the status line: it is no fault, so
    // no box tells of it.
    void NoteStop(StepRunner& steps);

    RowTable& m_results;
    MainFormServices m_services;
    Reporter& m_reporter;
    const Text& m_applicationTitle;
    SpreadsheetWaitBox m_spreadsheetWait;
};
