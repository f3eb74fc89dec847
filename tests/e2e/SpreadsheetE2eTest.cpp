// The spreadsheet export under Wine against our automation double, registered as
// "Excel.Application" in the test prefix, and with nothing registered.
#include <windows.h>

#include <fstream>

#include <gtest/gtest.h>

#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Truth.h"
#include "tests/e2e/TruthFormat.h"

namespace {

std::filesystem::path RecordFile() {
    static int made = 0;
    const auto file = BuildFolder() / L"e2e-tmp" /
                      (L"record-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
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
