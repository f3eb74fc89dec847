// The output commands under Wine: ticks set with the mouse, the clipboard read back, the text
// file typed into the real save dialog and read back byte for byte.
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <thread>

#include <gtest/gtest.h>

#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Truth.h"

namespace {

// The aligned text of the ticked rows, from the rows as the list shows them.
std::wstring Aligned(const std::vector<std::vector<std::wstring>>& rows,
                     const std::vector<int>& ticked) {
    std::vector<std::size_t> widths(3, 0);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < 3; ++c) {
            widths[c] = std::max(widths[c], row[c].size());
        }
    }
    std::wstring text;
    for (const int r : ticked) {
        std::wstring line;
        for (std::size_t c = 0; c < 3; ++c) {
            line += rows[static_cast<std::size_t>(r)][c] +
                    std::wstring(widths[c] - rows[static_cast<std::size_t>(r)][c].size(), L' ') +
                    L"\t";
        }
        line.pop_back();
        line.erase(line.find_last_not_of(L' ') + 1);
        text += line + L"\r\n";
    }
    return text;
}

std::string FileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Ansi(const std::wstring& text) {
    std::string bytes(text.size() * 2 + 1, '\0');
    bytes.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

// Types name (a path, or whatever a user types) into the tool's save dialog and saves.
void SaveAs(const Tool& tool, const std::wstring& name) {
    const HWND dialog = tool.WaitForDialog(L"Save");
    ASSERT_NE(dialog, nullptr);
    std::this_thread::sleep_for(300ms);  // the dialog fills itself in just after it shows
    const HWND types = GetDlgItem(dialog, 0x470);
    ASSERT_EQ(SendMessageW(types, CB_GETCOUNT, 0, 0), 2);
    wchar_t entry[128];
    SendMessageW(types, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(entry));
    EXPECT_STREQ(entry, L"Text Files (*.txt)");
    SendMessageW(types, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(entry));
    EXPECT_STREQ(entry, L"All Files (*.*)");
    const HWND nameBox = FindWindowExW(GetDlgItem(dialog, 0x47C), nullptr, nullptr, nullptr);
    const HWND edit = GetDlgItem(dialog, 0x47C) != nullptr && nameBox != nullptr
                          ? FindWindowExW(nameBox, nullptr, L"Edit", nullptr)
                          : nullptr;
    SendMessageW(edit != nullptr ? edit : nameBox, WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(name.c_str()));
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    WaitUntil([&] { return !IsWindow(dialog); });
}

}  // namespace

TEST(OutputE2e, TickedRowsReachTheClipboardAlignedEvenWhenItIsBusyAtFirst) {
    ExtractedTree run;
    const RemoteList results = run.tool.Results();
    results.ClickTick(0);
    results.ClickTick(8);  // the label with Greek, CJK and a character outside the BMP
    results.ClickTick(4);
    results.ClickTick(4);  // ticked and unticked again
    EXPECT_TRUE(results.Ticked(0));
    EXPECT_FALSE(results.Ticked(4));
    EXPECT_TRUE(results.Ticked(8));
    const auto rows = results.Rows();

    TargetFixture holder(L"holdclipboard", L"--ms 500");
    auto click = run.tool.Click(L"Copy Results To Clipboard");
    const auto box = run.tool.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    ExpectBox(*box, L"Tessivane Window Text Reader",
              L"Results have been copied to the clipboard.\r\rClick a text area where you normally "
              L"type and press Ctrl+V to paste the clipboard.",
              false, {L"OK"}, L"copy-confirmation.bmp");
    Tool::Answer(*box, IDOK);
    click.get();
    const std::wstring expected = Aligned(rows, {0, 8});
    EXPECT_NE(expected.find(L"Ελληνικά κείμενο 漢字テキスト \U0001D11E end"), std::wstring::npos);
    EXPECT_EQ(ClipboardText(), expected);
}

TEST(OutputE2e, TheWindowAnswersWhileTheCopyWaitsForTheClipboard) {
    ExtractedTree run;
    run.tool.Results().ClickTick(0);
    // Held by this test until the window has answered: a copy that kept the window from
    // answering meanwhile would spend its attempts and fail.
    ASSERT_TRUE(OpenClipboard(nullptr));
    auto click = run.tool.Click(L"Copy Results To Clipboard");
    int answered = 0;
    constexpr int kProbes = 8;
    for (int probe = 0; probe < kProbes; ++probe) {
        Sleep(50);
        DWORD_PTR answer = 0;
        answered +=
            SendMessageTimeoutW(run.tool.Main(), WM_NULL, 0, 0, SMTO_NORMAL, 10'000, &answer) != 0
                ? 1
                : 0;
    }
    CloseClipboard();
    EXPECT_EQ(answered, kProbes);
    const auto box = run.tool.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_TRUE(box->text.starts_with(L"Results have been copied to the clipboard.")) << box->text;
    Tool::Answer(*box, IDOK);
    click.get();
}

TEST(OutputE2e, ClearResultsEmptiesOnlyTheResults) {
    ExtractedTree run;
    const int windows = run.tool.WindowList().RowCount();
    ASSERT_GT(run.tool.Results().RowCount(), 0);
    run.tool.ClickAndWait(L"Clear Results");
    EXPECT_EQ(run.tool.Results().RowCount(), 0);
    EXPECT_EQ(run.tool.WindowList().RowCount(), windows);
}

TEST(OutputE2e, TextFileIsWrittenAskedBeforeOverwritingAndKeptWhenReadOnly) {
    ExtractedTree run;
    const auto rows = run.tool.Results().Rows();
    std::wstring lines;
    for (const auto& row : rows) {
        lines += row[0] + L"\t" + row[1] + L"\t" + row[2] + L"\t\r\n";
    }
    const std::filesystem::path path =
        ScratchRoot() / (L"saved-" + std::to_wstring(GetCurrentProcessId()) + L".txt");
    std::filesystem::remove(path);

    auto click = run.tool.Click(L"Save Results As Text File");
    SaveAs(run.tool, path.wstring());
    // The fixture's label holds characters that the code page cannot: saved in it anyway.
    const auto lossy = run.tool.WaitForMessageBox(120s);
    EXPECT_TRUE(lossy.has_value());
    if (lossy) {
        Tool::Answer(*lossy, IDNO);
    }
    click.get();
    EXPECT_EQ(FileBytes(path), Ansi(lines));
    EXPECT_FALSE(run.tool.WaitForMessageBox(300ms).has_value());

    const auto saveAnswering = [&](int answer) {
        auto again = run.tool.Click(L"Save Results As Text File");
        SaveAs(run.tool, path.wstring());
        const auto question = run.tool.WaitForMessageBox();
        EXPECT_TRUE(question.has_value());
        if (question) {
            EXPECT_EQ(question->text,
                      L"Are you sure you wish to overwrite " + path.wstring() + L" ?");
            EXPECT_EQ(question->caption, L"Tessivane Window Text Reader");
            EXPECT_EQ(question->buttons, (std::vector<std::wstring>{L"&Yes", L"&No"}));
            Tool::Answer(*question, answer);
        }
        return again;
    };
    run.tool.ClickAndWait(L"Clear Results");
    saveAnswering(IDNO).get();
    EXPECT_EQ(FileBytes(path), Ansi(lines));
    EXPECT_FALSE(run.tool.WaitForMessageBox(300ms).has_value());
    saveAnswering(IDYES).get();
    EXPECT_EQ(FileBytes(path), "");  // the empty results list

    std::ofstream(path, std::ios::binary) << "keep me";
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    auto readOnly = saveAnswering(IDYES);
    const auto report = run.tool.WaitForMessageBox();
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->caption, L"Application Error");
    EXPECT_NE(
        report->text.find(L"\r\nin Tessivane2021/08/31.Form1.PushButton6_Click at line 128\r\r"),
        std::wstring::npos);
    Tool::Answer(*report, IDOK);
    readOnly.get();
    EXPECT_FALSE(run.tool.WaitForMessageBox(300ms).has_value());
    EXPECT_EQ(FileBytes(path), "keep me");
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(OutputE2e, CopyWithNothingTickedKeepsTheClipboardAndSaysHowToTick) {
    ExtractedTree run;
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const std::wstring sentinel = L"sentinel \u03A9";
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (sentinel.size() + 1) * sizeof(wchar_t));
    std::copy_n(sentinel.c_str(), sentinel.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();

    auto click = run.tool.Click(L"Copy Results To Clipboard");
    const auto box = run.tool.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    ExpectBox(*box, L"Tessivane Window Text Reader",
              L"No results rows are ticked, so nothing has been copied to the clipboard.\r\rTick "
              L"the rows to copy by clicking their tick boxes, by selecting rows and pressing the "
              L"space bar, or with Edit > Tick All, then click \"Copy Results To Clipboard\" "
              L"again.",
              false, {L"OK"}, L"copy-nothing-ticked.bmp");
    Tool::Answer(*box, IDOK);
    click.get();
    EXPECT_EQ(ClipboardText(), sentinel);
}

TEST(OutputE2e, TwoNamesTypedInTheSaveDialogNeverSaveOverTheFolder) {
    // Made first, ended last: the tool's current folder may be in it.
    const ScratchFolder folder(ScratchRoot() /
                               (L"two-names-" + std::to_wstring(GetCurrentProcessId())));
    ExtractedTree run;
    auto click = run.tool.Click(L"Save Results As Text File");
    SaveAs(run.tool, L"\"" + (folder.Path() / L"one.txt").wstring() + L"\" \"" +
                         (folder.Path() / L"two.txt").wstring() + L"\"");
    // Whatever the dialog makes of it (Wine's answers the folder it shows), nothing is asked
    // about a folder and nothing fails: at most the tool says it cannot save in a folder's place.
    const std::wstring folderNote =
        L"\" is a folder, so the results cannot be saved in its place. Click \"Save Results As "
        L"Text File\" again and type the name of one file.";
    while (const auto box = run.tool.WaitForMessageBox(2s)) {
        EXPECT_TRUE(box->text.ends_with(folderNote)) << box->text;
        EXPECT_EQ(box->buttons, std::vector<std::wstring>{L"OK"});
        Tool::Answer(*box, IDOK);
    }
    EXPECT_EQ(click.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path()));
    EXPECT_TRUE(folder.Names().empty());
}

TEST(OutputE2e, ALongestNameIsSavedAndAFailedReplaceLeavesNoTemporaryFile) {
    // A short folder: the save dialog takes no path longer than 259 characters. Made first, ended
    // last: the tool's current folder may be in it.
    const ScratchFolder folder(L"C:\\t");
    ExtractedTree run;
    constexpr std::size_t kLongestName = 255;
    const std::filesystem::path path =
        folder.Path() / (std::wstring(kLongestName - 5, L'n') + L".txt");  // 254 characters
    ASSERT_EQ(path.filename().wstring().size(), kLongestName - 1);
    ASSERT_EQ(path.wstring().size(), std::size_t{MAX_PATH - 1});
    auto click = run.tool.Click(L"Save Results As Text File");
    SaveAs(run.tool, path.wstring());
    // The fixture's label holds characters that the code page cannot: saved in it anyway.
    const auto lossy = run.tool.WaitForMessageBox();
    ASSERT_TRUE(lossy.has_value());
    Tool::Answer(*lossy, IDNO);
    click.get();
    EXPECT_FALSE(run.tool.WaitForMessageBox(500ms).has_value());
    const std::string saved = FileBytes(path);
    EXPECT_FALSE(saved.empty());
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{path.filename().wstring()});

    // Another program holds the file open, without letting it be deleted: it cannot be replaced.
    const HANDLE holder =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    run.tool.ClickAndWait(L"Clear Results");
    auto again = run.tool.Click(L"Save Results As Text File");
    SaveAs(run.tool, path.wstring());
    const auto question = run.tool.WaitForMessageBox();
    ASSERT_TRUE(question.has_value());
    Tool::Answer(*question, IDYES);
    const auto report = run.tool.WaitForMessageBox();
    CloseHandle(holder);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->caption, L"Application Error");
    EXPECT_NE(
        report->text.find(L"\r\nin Tessivane2021/08/31.Form1.PushButton6_Click at line 148\r\r"),
        std::wstring::npos)
        << report->text;
    Tool::Answer(*report, IDOK);
    again.get();
    EXPECT_EQ(FileBytes(path), saved);
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{path.filename().wstring()});
}
