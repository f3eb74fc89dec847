// The spreadsheet export under Wine against our automation double, registered as
// "Excel.Application" in the test prefix, in-process or as a local server, and with nothing
// registered.
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <fstream>
#include <tuple>

#include <gtest/gtest.h>

#include "tests/e2e/AutomationDouble.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Truth.h"
#include "tests/e2e/TruthFormat.h"

namespace {

std::filesystem::path RecordFile() {
    static int made = 0;
    const auto file = ScratchRoot() / (L"record-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                       std::to_wstring(++made) + L".txt");
    std::filesystem::create_directories(file.parent_path());
    std::filesystem::remove(file);
    std::filesystem::remove(file.wstring() + L".grid");
    return file;
}

std::vector<std::string> Lines(const std::filesystem::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// A results row as the double writes it to its grid: cells escaped, between tabs.
std::string GridLine(const std::vector<std::wstring>& cells) {
    std::wstring line;
    for (const std::wstring& cell : cells) {
        line += (line.empty() ? L"" : L"\t") + EscapeField(cell);
    }
    return ToUtf8(line);
}

// While this lives, the double's calls told to hang do, and so does a local server told never
// to offer its class; at its end they go on, and the local servers the test started end.
class HangingSpreadsheet {
public:
    HangingSpreadsheet() : m_release(CreateEventW(nullptr, TRUE, FALSE, kHangReleaseEvent)) {}
    ~HangingSpreadsheet() {
        SetEvent(m_release);
        CloseHandle(m_release);
        const HANDLE processes = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32FirstW(processes, &entry); more;
             more = Process32NextW(processes, &entry)) {
            if (_wcsicmp(entry.szExeFile, L"AutomationServerDouble.exe") == 0) {
                if (const HANDLE server =
                        OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
                    TerminateProcess(server, 0);
                    WaitForSingleObject(server, 5000);
                    CloseHandle(server);
                }
            }
        }
        CloseHandle(processes);
    }
    HangingSpreadsheet(const HangingSpreadsheet&) = delete;
    HangingSpreadsheet& operator=(const HangingSpreadsheet&) = delete;

private:
    HANDLE m_release;
};

const std::wstring kOfferStart = L"Excel has not answered for ";
const std::wstring kOfferEnd =
    L" seconds. It may be busy, or waiting for an answer in one of its own windows.\r\rClick "
    L"Retry to keep waiting, or Cancel to stop the export.";

// The offer to keep waiting, as it shows after the given wait.
void ExpectOffer(const MessageBoxSeen& box, int seconds, const std::wstring& screenshot = L"") {
    ExpectBox(box, L"Tessivane Window Text Reader",
              kOfferStart + std::to_wstring(seconds) + kOfferEnd, true, {L"&Retry", L"Cancel"},
              screenshot);
}

// Ticks the first rows of the results.
void Tick(const ExtractedTree& run, int rows) {
    for (int row = 0; row < rows; ++row) {
        run.tool.Results().ClickTick(row);
    }
}

// An export to the local server, told by an environment variable how to behave, of the first
// results rows ticked.
struct LocalExport {
    LocalExport(const wchar_t* variable, const wchar_t* value, int ticked) : told(variable, value) {
        Tick(run, ticked);
        click = run.tool.Click(L"Save Results As Excel File");
    }

    const RegisteredSpreadsheet spreadsheet{SpreadsheetServer::kLocal};
    const HangingSpreadsheet servers;
    const ScopedEnvironment told;
    ExtractedTree run;
    std::future<void> click;
};

// How long the offer says the call has waited.
int OfferSeconds(const MessageBoxSeen& box) {
    return box.text.starts_with(kOfferStart) ? std::stoi(box.text.substr(kOfferStart.size())) : -1;
}

// The error report box's text for a description at a line of the export.
std::wstring ExportReport(const std::wstring& description, int line) {
    return description + L"\r\nin Tessivane2021/08/31.Form1.PushButton3_Click at line " +
           std::to_wstring(line) +
           L"\r\rPlease email screenshot of this message to support@tessivane.example";
}

// After Cancel at the offer: no box follows, the export ends at once, and the status line says
// that waiting for the application to do what was stopped.
void ExpectStopNoted(LocalExport& stopped, const std::wstring& what) {
    const Tool& tool = stopped.run.tool;
    EXPECT_EQ(stopped.click.wait_for(3s), std::future_status::ready);
    EXPECT_FALSE(tool.WaitForMessageBox(1s).has_value());
    EXPECT_EQ(StatusLineText(tool.Main()),
              L"Waiting for the spreadsheet application to " + what + L" was stopped.");
}

}  // namespace

TEST(SpreadsheetE2e, TickedRowsArriveUnderTheCaptionsInTheirPlaces) {
    const RegisteredSpreadsheet spreadsheet;
    const auto record = RecordFile();
    const ScopedEnvironment recording(L"TESSIVANE_AUTOMATION_RECORD", record.wstring());
    ExtractedTree run;
    const RemoteList results = run.tool.Results();
    results.ClickTick(0);
    results.ClickTick(3);
    const auto rows = results.Rows();
    run.tool.ClickAndWait(L"Save Results As Excel File");

    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(record.wstring() + L".grid"); }));
    const auto grid = Lines(record.wstring() + L".grid");
    ASSERT_EQ(grid.size(), 5u);  // captions, row 1, an empty row 2, row 3, row 4 of results
    EXPECT_EQ(grid[0], "Class Name\tHandle\tText");
    EXPECT_EQ(grid[1], GridLine(rows[0]));
    EXPECT_EQ(grid[2], "\t\t");
    EXPECT_EQ(grid[3], "\t\t");
    EXPECT_EQ(grid[4], GridLine(rows[3]));

    const auto calls = Lines(record);
    const std::vector<std::string> opening{
        "create",           "release",          "create",
        "Workbooks\tget",   "Add\tcall",        "Visible\tput\ttrue",
        "ActiveSheet\tget", "cells\tget\t1\t1", "default\tput\t1\t1\tClass Name",
        "Columns\tget\t1",  "Autofit\tcall\t1"};
    ASSERT_GE(calls.size(), opening.size());
    EXPECT_EQ(std::vector<std::string>(calls.begin(),
                                       calls.begin() + static_cast<std::ptrdiff_t>(opening.size())),
              opening);
    const std::vector<std::string> closing{"Columns\tget\tall", "Autofit\tcall\tall", "release"};
    EXPECT_EQ(std::vector<std::string>(calls.end() - 3, calls.end()), closing);
    EXPECT_FALSE(run.tool.WaitForMessageBox(300ms).has_value());
}

TEST(SpreadsheetE2e, WithoutTheApplicationTwoMessagesSayItIsNotInstalled) {
    ExtractedTree run;
    run.tool.Results().ClickTick(0);
    auto click = run.tool.Click(L"Save Results As Excel File");
    for (const wchar_t* ending :
         {L"to use this software without error.", L"to use this feature."}) {
        const auto box = run.tool.WaitForMessageBox();
        ASSERT_TRUE(box.has_value());
        ExpectBox(*box, L"Tessivane Window Text Reader",
                  std::wstring(
                      L"Excel is not installed on this computer. You need to have it installed ") +
                      ending,
                  false, {L"OK"});
        Tool::Answer(*box, IDOK);
    }
    click.get();
    EXPECT_FALSE(run.tool.WaitForMessageBox(300ms).has_value());
}

TEST(SpreadsheetE2e, ApplicationGoneMidExportGivesOneBoxAndTheToolGoesOn) {
    const RegisteredSpreadsheet spreadsheet;
    const auto record = RecordFile();
    const ScopedEnvironment recording(L"TESSIVANE_AUTOMATION_RECORD", record.wstring());
    const ScopedEnvironment disconnect(L"TESSIVANE_AUTOMATION_DISCONNECT_AFTER", L"5");
    ExtractedTree run;
    for (int row = 0; row < 6; ++row) {
        run.tool.Results().ClickTick(row);
    }
    auto click = run.tool.Click(L"Save Results As Excel File");
    const auto box = run.tool.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, L"Application Error");
    EXPECT_NE(box->text.find(L"\r\nin Tessivane2021/08/31.Form1.PushButton3_Click at line 15"),
              std::wstring::npos);
    Tool::Answer(*box, IDOK);
    click.get();
    EXPECT_FALSE(run.tool.WaitForMessageBox(500ms).has_value());
    run.tool.ClickAndWait(L"Clear Results");
    EXPECT_EQ(run.tool.Results().RowCount(), 0);
}

TEST(SpreadsheetE2e, ClosingTheWindowDuringTheExportEndsTheProgramAtOnce) {
    const RegisteredSpreadsheet spreadsheet;
    const ScopedEnvironment slow(L"TESSIVANE_AUTOMATION_CALL_DELAY_MS", L"200");
    ExtractedTree run;
    for (int row = 0; row < 8; ++row) {
        run.tool.Results().ClickTick(row);
    }
    auto click = run.tool.Click(L"Save Results As Excel File");
    Sleep(1000);  // a few cells into the export
    ASSERT_FALSE(run.tool.Program().HasExited());
    PostMessageW(run.tool.Main(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(run.tool.Program().HasExited(2000ms));
    click.wait();
}

TEST(SpreadsheetE2e, TheLocalServerTakesTheExportOutOfProcess) {
    const RegisteredSpreadsheet spreadsheet(SpreadsheetServer::kLocal);
    const HangingSpreadsheet servers;
    const auto record = RecordFile();
    const ScopedEnvironment recording(L"TESSIVANE_AUTOMATION_RECORD", record.wstring());
    ExtractedTree run;
    run.tool.Results().ClickTick(1);
    const auto rows = run.tool.Results().Rows();
    run.tool.ClickAndWait(L"Save Results As Excel File");
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(record.wstring() + L".grid"); }));
    const auto grid = Lines(record.wstring() + L".grid");
    ASSERT_EQ(grid.size(), 3u);
    EXPECT_EQ(grid[0], "Class Name\tHandle\tText");
    EXPECT_EQ(grid[2], GridLine(rows[1]));
}

TEST(SpreadsheetE2e, AServerStuckInACallIsOfferedToBeWaitedForOrStopped) {
    LocalExport stuck(L"TESSIVANE_AUTOMATION_HANG", L"Add", 3);
    const Tool& tool = stuck.run.tool;
    // The window answers all along.
    Sleep(2000);
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutW(tool.Main(), WM_NULL, 0, 0, SMTO_NORMAL, 1000, &answer), 0);
    const auto first = tool.WaitForMessageBox();
    ASSERT_TRUE(first.has_value());
    ExpectOffer(*first, 5, L"wait-offer.bmp");
    Tool::Answer(*first, IDRETRY);
    // Asked again, a while after "keep waiting".
    const auto second = tool.WaitForMessageBox();
    ASSERT_TRUE(second.has_value());
    const int seconds = OfferSeconds(*second);
    EXPECT_GE(seconds, 10);
    ExpectOffer(*second, seconds);
    Tool::Answer(*second, IDCANCEL);
    ExpectStopNoted(stuck, L"do \"Add\"");
    tool.ClickAndWait(L"Clear Results");
    EXPECT_EQ(tool.Results().RowCount(), 0);
}

TEST(SpreadsheetE2e, ClosingTheWindowWhileAServerIsStuckEndsTheProgram) {
    // Closed while the first cell's value is being put, and while the offer shows.
    for (const bool offerShown : {false, true}) {
        LocalExport stuck(L"TESSIVANE_AUTOMATION_HANG", offerShown ? L"Workbooks" : L"Value", 2);
        Tool& tool = stuck.run.tool;
        if (offerShown) {
            ASSERT_TRUE(tool.WaitForMessageBox().has_value());
        } else {
            Sleep(2000);  // the first cell's value is being put
        }
        ASSERT_FALSE(tool.Program().HasExited());
        PostMessageW(tool.Main(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(tool.Program().HasExited(3000ms)) << offerShown;
        stuck.click.wait();
    }
}

TEST(SpreadsheetE2e, AServerThatNeverOffersItsClassIsReportedAsNotStarting) {
    LocalExport never(L"TESSIVANE_AUTOMATION_NEVER_REGISTER", L"1", 1);
    const Tool& tool = never.run.tool;
    // Kept waiting at each offer, until the system gives up on the server (Wine: 30 seconds).
    std::optional<MessageBoxSeen> box;
    int offers = 0;
    while ((box = tool.WaitForMessageBox()) && box->caption != L"Application Error") {
        ASSERT_EQ(box->buttons, (std::vector<std::wstring>{L"&Retry", L"Cancel"})) << box->text;
        ASSERT_LT(++offers, 12);
        Tool::Answer(*box, IDRETRY);
    }
    ASSERT_TRUE(box.has_value());
    EXPECT_GE(offers, 1);
    EXPECT_EQ(box->text.find(L"The spreadsheet application could not be started: "), 0u)
        << box->text;
    EXPECT_NE(box->text.find(L"\r\nin Tessivane2021/08/31.Form1.PushButton3_Click at line 100"),
              std::wstring::npos);
    Tool::Answer(*box, IDOK);
    // Not said to be missing, and nothing else follows.
    EXPECT_FALSE(tool.WaitForMessageBox(1s).has_value());
    EXPECT_EQ(never.click.wait_for(10s), std::future_status::ready);
}

TEST(SpreadsheetE2e, AServerThatNeverOffersItsClassCanBeStoppedAtTheOffer) {
    LocalExport never(L"TESSIVANE_AUTOMATION_NEVER_REGISTER", L"1", 1);
    const Tool& tool = never.run.tool;
    const auto offer = tool.WaitForMessageBox();
    ASSERT_TRUE(offer.has_value());
    ExpectOffer(*offer, 5);
    Tool::Answer(*offer, IDCANCEL);
    // Well before the system would give up on the server (Wine: 30 seconds); a loaded machine
    // once took over 2 seconds to end the command.
    EXPECT_EQ(never.click.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(tool.WaitForMessageBox(1s).has_value());
    EXPECT_EQ(StatusLineText(tool.Main()),
              L"Waiting for the spreadsheet application to start was stopped.");
}

TEST(SpreadsheetE2e, NoWorkbookGivesOneBoxAndEndsTheExport) {
    const RegisteredSpreadsheet spreadsheet;
    for (const auto& [variable, member, description] :
         {std::tuple{L"TESSIVANE_AUTOMATION_FAIL", L"Add",
                     L"The spreadsheet application could not do \"Add\": The automation double "
                     L"was told to fail Add."},
          std::tuple{L"TESSIVANE_AUTOMATION_EMPTY", L"Workbooks",
                     L"The spreadsheet application gave no object for \"Workbooks\"."}}) {
        const ScopedEnvironment told(variable, member);
        ExtractedTree run;
        Tick(run, 10);
        auto click = run.tool.Click(L"Save Results As Excel File");
        const auto report = run.tool.WaitForMessageBox();
        ASSERT_TRUE(report.has_value());
        ExpectBox(*report, L"Application Error", ExportReport(description, 114), true, {L"OK"});
        Tool::Answer(*report, IDOK);
        EXPECT_EQ(click.wait_for(3s), std::future_status::ready);
        EXPECT_FALSE(run.tool.WaitForMessageBox(1s).has_value()) << member;
    }
}

TEST(SpreadsheetE2e, ARepeatedCellFailureOffersToStopTheExport) {
    const RegisteredSpreadsheet spreadsheet;
    const auto record = RecordFile();
    const ScopedEnvironment recording(L"TESSIVANE_AUTOMATION_RECORD", record.wstring());
    const ScopedEnvironment failing(L"TESSIVANE_AUTOMATION_FAIL", L"Value");
    ExtractedTree run;
    Tick(run, 10);
    auto click = run.tool.Click(L"Save Results As Excel File");
    const std::wstring description =
        L"The spreadsheet application could not do \"Value\": The automation double was told "
        L"to fail Value.";
    const auto first = run.tool.WaitForMessageBox();
    ASSERT_TRUE(first.has_value());
    ExpectBox(*first, L"Application Error", ExportReport(description, 152), true, {L"OK"});
    Tool::Answer(*first, IDOK);
    const auto second = run.tool.WaitForMessageBox();
    ASSERT_TRUE(second.has_value());
    ExpectBox(*second, L"Application Error", ExportReport(description, 158), true,
              {L"OK", L"Cancel"}, L"repeated-failure.bmp");
    Tool::Answer(*second, IDCANCEL);
    EXPECT_EQ(click.wait_for(3s), std::future_status::ready);
    EXPECT_FALSE(run.tool.WaitForMessageBox(1s).has_value());
    // Nothing was asked of the application after the stop.
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(record.wstring() + L".grid"); }));
    const auto calls = Lines(record);
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                            [](const std::string& call) { return call.starts_with("Value\t"); }),
              2);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Autofit\tcall\tall"), 0);
}

TEST(SpreadsheetE2e, AHugeFailureDescriptionIsCutInItsBox) {
    const RegisteredSpreadsheet spreadsheet;
    const ScopedEnvironment failing(L"TESSIVANE_AUTOMATION_FAIL", L"Add");
    const ScopedEnvironment huge(L"TESSIVANE_AUTOMATION_FAIL_DESCRIPTION_LENGTH", L"3000000");
    ExtractedTree run;
    Tick(run, 1);
    auto click = run.tool.Click(L"Save Results As Excel File");
    const auto report = run.tool.WaitForMessageBox();
    ASSERT_TRUE(report.has_value());
    const std::wstring start =
        L"The spreadsheet application could not do \"Add\": The automation double was told to "
        L"fail Add.";
    const std::wstring description = start + std::wstring(2000 - start.size(), L'.') + L"\u2026";
    EXPECT_EQ(report->text, ExportReport(description, 114));
    Tool::Answer(*report, IDOK);
    EXPECT_EQ(click.wait_for(3s), std::future_status::ready);
}

TEST(SpreadsheetE2e, GoingOnAfterARepeatedCellFailureAsksNoMoreAndNotesTheEmptyCells) {
    const std::wstring description =
        L"The spreadsheet application could not do \"Value\": The automation double was told "
        L"to fail Value.";
    for (const SpreadsheetServer server :
         {SpreadsheetServer::kInProcess, SpreadsheetServer::kLocal}) {
        const RegisteredSpreadsheet spreadsheet(server);
        const HangingSpreadsheet servers;
        const ScopedEnvironment failing(L"TESSIVANE_AUTOMATION_FAIL", L"Value");
        ExtractedTree run;
        Tick(run, 10);
        auto click = run.tool.Click(L"Save Results As Excel File");
        // OK to every box: the failure, its repeat, then the note; a storm would go on.
        std::vector<MessageBoxSeen> boxes;
        while (const auto box = run.tool.WaitForMessageBox(boxes.size() < 3 ? 20s : 1s)) {
            boxes.push_back(*box);
            Tool::Answer(*box, IDOK);
            if (boxes.size() > 5) {
                break;
            }
        }
        const int local = server == SpreadsheetServer::kLocal ? 1 : 0;
        ASSERT_EQ(boxes.size(), 3u) << local;
        ExpectBox(boxes[0], L"Application Error", ExportReport(description, 152), true, {L"OK"});
        ExpectBox(boxes[1], L"Application Error", ExportReport(description, 158), true,
                  {L"OK", L"Cancel"});
        ExpectBox(boxes[2], L"Tessivane Window Text Reader",
                  L"30 cells could not be written in the workbook: they are empty.", false, {L"OK"},
                  local != 0 ? L"unwritten-cells.bmp" : L"");
        EXPECT_EQ(click.wait_for(3s), std::future_status::ready) << local;
    }
}

TEST(SpreadsheetE2e, StoppingTheWaitForACaptionGivesOneBoxAndANote) {
    LocalExport stuck(L"TESSIVANE_AUTOMATION_HANG", L"default", 2);
    const Tool& tool = stuck.run.tool;
    const auto offer = tool.WaitForMessageBox();
    ASSERT_TRUE(offer.has_value());
    ExpectOffer(*offer, 5);
    Tool::Answer(*offer, IDCANCEL);
    ExpectStopNoted(stuck, L"do \"Value\"");
}

TEST(SpreadsheetE2e, AFaultInAnInProcessServerEndsTheToolWithABoxThatNamesIt) {
    const RegisteredSpreadsheet spreadsheet;
    const ScopedEnvironment faulting(L"TESSIVANE_AUTOMATION_FAULT_IN_PROCESS", L"Value");
    ExtractedTree run;
    Tick(run, 2);
    auto click = run.tool.Click(L"Save Results As Excel File");
    const auto report = run.tool.WaitForMessageBox();
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->caption, L"Application Error");
    EXPECT_NE(report->text.find(L"Tessivane Window Text Reader has to close: "),
              std::wstring::npos);
    EXPECT_NE(report->text.find(L"AutomationDouble.dll failed with an access violation "
                                L"(exception 0xC0000005 at address "),
              std::wstring::npos)
        << ToUtf8(report->text);
    SaveScreenshot(report->window, BuildFolder() / L"artifacts" / L"server-fault.bmp");
    // The window waits for the box: the export's offer to keep waiting does not come meanwhile.
    EXPECT_FALSE(IsWindowEnabled(run.tool.Main()));
    Sleep(6000);
    EXPECT_EQ(FindTopLevel(run.tool.Program().Id(), L"#32770", L"Tessivane Window Text Reader"),
              nullptr);
    Tool::Answer(*report, IDOK);
    ASSERT_TRUE(run.tool.Program().HasExited(5000ms));
    DWORD exitCode = 0;
    GetExitCodeProcess(run.tool.Program().Handle(), &exitCode);
    EXPECT_EQ(exitCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    EXPECT_EQ(click.wait_for(3s), std::future_status::ready);
}

TEST(SpreadsheetE2e, AServerInAProcessOfItsOwnIsChosenOverAnInProcessOne) {
    // Loaded into the tool the double would fault; in its own process it serves.
    const RegisteredSpreadsheet spreadsheet(SpreadsheetServer::kBoth);
    const HangingSpreadsheet servers;
    const ScopedEnvironment faulting(L"TESSIVANE_AUTOMATION_FAULT_IN_PROCESS", L"Value");
    const auto record = RecordFile();
    const ScopedEnvironment recording(L"TESSIVANE_AUTOMATION_RECORD", record.wstring());
    ExtractedTree run;
    Tick(run, 2);
    run.tool.ClickAndWait(L"Save Results As Excel File");
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(record.wstring() + L".grid"); }));
    EXPECT_EQ(Lines(record.wstring() + L".grid").size(), 3u);
    EXPECT_FALSE(run.tool.Program().HasExited());
}

TEST(SpreadsheetE2e, AnInProcessOnlyServerIsLoadedAtOnce) {
    // Asked first for a server in a process of its own, Wine takes ten seconds to say there is
    // none, and the offer to keep waiting would show meanwhile.
    const RegisteredSpreadsheet spreadsheet(SpreadsheetServer::kInProcess);
    const auto record = RecordFile();
    const ScopedEnvironment recording(L"TESSIVANE_AUTOMATION_RECORD", record.wstring());
    ExtractedTree run;
    Tick(run, 2);
    const auto started = std::chrono::steady_clock::now();
    auto click = run.tool.Click(L"Save Results As Excel File");
    std::optional<MessageBoxSeen> offer;
    WaitUntil(
        [&] {
            return click.wait_for(0s) == std::future_status::ready ||
                   (offer = run.tool.WaitForMessageBox(0ms)).has_value();
        },
        20s);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_FALSE(offer.has_value()) << ToUtf8(offer->text);
    if (offer) {
        Tool::Answer(*offer, IDRETRY);
    }
    click.wait();
    EXPECT_LT(took, 3s);
    EXPECT_FALSE(run.tool.WaitForMessageBox(500ms).has_value());
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(record.wstring() + L".grid"); }));
    EXPECT_EQ(Lines(record.wstring() + L".grid").size(), 3u);
}
