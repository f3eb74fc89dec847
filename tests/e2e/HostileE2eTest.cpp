// The walk against hostile targets under Wine: windows that lie about their texts, texts of
// every length, a target that exits mid-walk, slow threads, a thread that stalls once, texts that
// change while read, and a target that clicks the tool's buttons while it is read. Each ends in
// bounded time and memory with the right rows and note.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/e2e/ConsoleRun.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Truth.h"

namespace {

constexpr wchar_t kTitle[] = L"Tessivane Window Text Reader";

// The hostile target, listed and selected in a freshly started tool.
struct HostileRun {
    TargetFixture fixture;
    Tool tool;

    explicit HostileRun(const std::wstring& options) : fixture(L"hostile", options) {
        SelectWindow(tool, Root());
    }
    [[nodiscard]] std::wstring Root() const { return fixture.Lines().at(0).at(1); }
    [[nodiscard]] int Children() const { return std::stoi(fixture.Lines().at(0).at(2)); }
};

// tessivane-cli's JSON dump of the hostile target, which must end within the run's limit.
struct HostileDump {
    TargetFixture fixture;
    ConsoleRun run;
    nlohmann::json document;

    explicit HostileDump(const std::wstring& options) : fixture(L"hostile", options) {
        run = RunConsoleProgram(BuildFolder() / L"tessivane-cli.exe",
                                L"dump --handle " + fixture.Lines().at(0).at(1), 120s);
        EXPECT_TRUE(run.finished);
        document = nlohmann::json::parse(run.out, nullptr, false);
    }
    [[nodiscard]] const nlohmann::json& Children() const { return document["window"]["children"]; }
    [[nodiscard]] const nlohmann::json& Summary() const { return document["summary"]; }
};

double PeakWorkingSetMegabytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(process, &counters, sizeof(counters));
    return static_cast<double>(counters.PeakWorkingSetSize) / 1048576.0;
}

}  // namespace

TEST(HostileE2e, TwoThousandLiarsCostNoMemoryAndGiveTheirThreeLetters) {
    // Each claims 2^31 - 1 units, copies "abc" and answers that it filled the buffer.
    HostileRun run(L"--kind liars --count 2001");
    auto click = run.tool.Click(kStartButton);
    // Each answer claims more than the window wrote: every text is marked cut.
    const auto note = run.tool.WaitForMessageBox(60s);
    ASSERT_TRUE(note.has_value());
    EXPECT_NE(note->text.find(L"\r\n2001 texts were cut: "), std::wstring::npos)
        << std::string(note->text.begin(), note->text.end());
    Tool::Answer(*note, IDOK);
    click.get();
    const auto rows = run.tool.Results().Rows();
    ASSERT_EQ(rows.size(), 2002u);
    for (std::size_t row = 1; row < rows.size(); ++row) {
        ASSERT_EQ(rows[row][2], L"abc") << row;
    }
    const double peak = PeakWorkingSetMegabytes(run.tool.Program().Handle());
    std::printf("tool's peak working set after 2001 liars: %.1f MB\n", peak);
    EXPECT_LT(peak, 100.0);
}

TEST(HostileE2e, TextsOfEveryLengthAreReadWholeAndANulEndsOne) {
    HostileRun run(L"--kind lengths");
    auto click = run.tool.Click(kStartButton);
    // The window that answers "ab\0cd" claims more than its text up to the NUL.
    const auto note = run.tool.WaitForMessageBox(60s);
    ASSERT_TRUE(note.has_value());
    EXPECT_NE(note->text.find(L"\r\n1 text was cut: "), std::wstring::npos);
    Tool::Answer(*note, IDOK);
    click.get();
    const RemoteList results = run.tool.Results();
    ASSERT_EQ(results.RowCount(), 8);
    const std::size_t lengths[] = {510, 511, 512, 513, 2000};
    for (int row = 1; row <= 5; ++row) {
        const std::size_t length = lengths[row - 1];
        EXPECT_EQ(results.Cell(row, 2),
                  std::wstring(length, static_cast<wchar_t>(L'a' + length % 26)))
            << length;
    }
    EXPECT_EQ(results.Cell(7, 2), L"ab");
    // The million-unit text is longer than a list cell shows: the clipboard has it whole.
    results.ClickTick(6);
    auto copy = run.tool.Click(L"Copy Results To Clipboard");
    const auto confirmation = run.tool.WaitForMessageBox();
    ASSERT_TRUE(confirmation.has_value());
    Tool::Answer(*confirmation, IDOK);
    copy.get();
    const std::wstring million(1000000, static_cast<wchar_t>(L'a' + 1000000 % 26));
    EXPECT_NE(ClipboardText().find(L"\t" + million + L"\r\n"), std::wstring::npos);
}

TEST(HostileE2e, TargetExitingMidWalkLeavesNoBlankRowsAndOneNote) {
    HostileRun run(L"--kind exits --count 1000");  // exits at its tenth text request
    auto click = run.tool.Click(kStartButton);
    const auto note = run.tool.WaitForMessageBox(60s);
    ASSERT_TRUE(note.has_value());
    EXPECT_EQ(note->caption, kTitle);
    EXPECT_NE(note->text.find(L"closed during the walk: they have no rows."), std::wstring::npos)
        << std::string(note->text.begin(), note->text.end());
    Tool::Answer(*note, IDOK);
    click.get();
    const auto rows = run.tool.Results().Rows();
    // The tenth window asked closes with its program while it is read: it has no row.
    EXPECT_LE(rows.size(), 10u);
    for (const auto& row : rows) {
        EXPECT_FALSE(row[0].empty());
        EXPECT_FALSE(row[2].empty());
    }
}

TEST(HostileE2e, DuringASlowWalkTheWindowAnswersAndAStopEndsItWithAWord) {
    // Esc, and a click on Stop sent by another program, which the tool cannot tell from the
    // user's own.
    for (const bool byClick : {false, true}) {
        SCOPED_TRACE(byClick ? "a click on Stop" : "Esc");
        // 20 children, each on its own thread, each answering in 450 ms: 9 s to read them all.
        HostileRun run(L"--kind slow --count 20 --ms 450");
        auto click = run.tool.Click(kStartButton);
        Sleep(1500);
        ASSERT_NE(click.wait_for(0s), std::future_status::ready);
        // The window answers a message meanwhile; only a hang fails here: the limit is ten times
        // one text read's time-out, which is what the window may wait for.
        DWORD_PTR answer = 0;
        EXPECT_NE(SendMessageTimeoutW(run.tool.Main(), WM_NULL, 0, 0, SMTO_BLOCK, 5000, &answer),
                  0);
        // The start button reads "Stop" meanwhile, and the other buttons wait.
        EXPECT_FALSE(IsWindowEnabled(run.tool.Button(L"Clear Results")));
        EXPECT_TRUE(IsWindowEnabled(run.tool.Button(L"Stop")));
        SaveScreenshot(run.tool.Main(), BuildFolder() / L"artifacts" / L"walk-running.bmp");
        if (byClick) {
            PostMessageW(run.tool.Button(L"Stop"), BM_CLICK, 0, 0);
        } else {
            PostMessageW(GetDlgItem(run.tool.Main(), 103), WM_KEYDOWN, VK_ESCAPE, 0);
        }
        const auto note = run.tool.WaitForMessageBox(3s);
        ASSERT_TRUE(note.has_value());
        // Stopped early: fewer rows than the 21 of the whole walk.
        const int rows = run.tool.Results().RowCount();
        EXPECT_GE(rows, 2);
        EXPECT_LT(rows, 21);
        ExpectBox(*note, kTitle, L"Stopped after " + std::to_wstring(rows) + L" windows.", false,
                  {L"OK"});
        Tool::Answer(*note, IDOK);
        EXPECT_EQ(click.wait_for(3s), std::future_status::ready);
        EXPECT_TRUE(IsWindowEnabled(run.tool.Button(L"Clear Results")));
        EXPECT_NO_THROW((void)run.tool.Button(kStartButton));
        EXPECT_FALSE(run.tool.WaitForMessageBox(500ms).has_value());
    }
}

TEST(HostileE2e, TargetClickingTheToolsButtonsWhileReadNestsNoCommand) {
    // Each child clicks "Clear Results" and "Save Results As Text File" when its text is asked.
    HostileRun run(L"--kind clicker --count 5");
    run.tool.ClickAndWait(kStartButton);  // no box, no save dialog
    EXPECT_EQ(run.tool.Results().RowCount(), 6);
    EXPECT_EQ(FindTopLevel(run.tool.Program().Id(), L"#32770"), nullptr);
}

TEST(HostileE2e, LiarsGiveOnlyWhatTheyWroteAndAWindowClosingInItsReadHasNoEntry) {
    // Each liar follows a window whose long text the read before it left in the buffer.
    HostileDump dump(L"--kind stale");
    EXPECT_EQ(dump.run.exitCode, 4u);
    const nlohmann::json& children = dump.Children();
    ASSERT_EQ(children.size(), 5u) << dump.run.out;
    for (std::size_t child = 0; child < 3; ++child) {
        EXPECT_EQ(children[2 * child]["text"], std::string(2000, static_cast<char>('K' + child)));
        EXPECT_EQ(children[2 * child]["status"], "read");
    }
    // It wrote nothing; the other wrote "ab", of which the system may have carried nothing back.
    EXPECT_EQ(children[1]["text"], "");
    EXPECT_TRUE(std::string_view("ab").starts_with(children[3]["text"].get<std::string>()));
    EXPECT_EQ(children[1]["status"], "cut");
    EXPECT_EQ(children[3]["status"], "cut");
    EXPECT_EQ(dump.Summary()["cut"], 2);
    EXPECT_EQ(dump.Summary()["gone"], 1);
    EXPECT_EQ(dump.Summary()["windows"], 6);
}

TEST(HostileE2e, AThreadThatStallsOnceLosesNoTextAndTheRowsComeInOrder) {
    HostileDump dump(L"--kind stall --count 50 --ms 700");
    EXPECT_EQ(dump.run.exitCode, 0u) << dump.run.error;
    ASSERT_EQ(dump.Children().size(), 50u) << dump.run.out;
    for (std::size_t child = 0; child < 50; ++child) {
        EXPECT_EQ(dump.Children()[child]["text"], "stalling child " + std::to_string(child));
        EXPECT_EQ(dump.Children()[child]["status"], "read") << child;
    }
    EXPECT_EQ(dump.Summary()["timedOut"], 0);
}

TEST(HostileE2e, TextsThatChangeWhileReadAreTextsThatExistedOrMarkedChanging) {
    HostileDump dump(L"--kind churn --count 8");
    EXPECT_EQ(dump.run.exitCode, 4u);
    ASSERT_EQ(dump.Children().size(), 8u) << dump.run.error;
    const std::string middle(4096, 'm');
    const std::string longText(70000, 'g');
    int changing = 0;
    for (std::size_t child = 0; child < 8; ++child) {
        const nlohmann::json& window = dump.Children()[child];
        const std::string text = window["text"];
        changing += window["status"] == "changing" ? 1 : 0;
        if (child % 2 == 0) {
            // Given the long text after its length is asked at the middle one, every time.
            EXPECT_EQ(window["status"], "changing") << child;
            EXPECT_EQ(text, longText.substr(0, middle.size() + 1)) << child;
        } else if (window["status"] == "read") {
            EXPECT_TRUE(text == middle || text == longText || text == "short")
                << child << ": " << text.size() << " characters";
        } else {
            EXPECT_EQ(window["status"], "changing") << child;
        }
    }
    EXPECT_EQ(dump.Summary()["changing"], changing);
}

TEST(HostileE2e, AWindowThatAnswersANegativeLengthIsMarkedAloneAndItsThreadIsReadOn) {
    // Between good windows of its thread, one answers its 600-character text's length as -5.
    HostileDump dump(L"--kind negative");
    EXPECT_EQ(dump.run.exitCode, 4u) << dump.run.error;
    const nlohmann::json& children = dump.Children();
    ASSERT_EQ(children.size(), 3u) << dump.run.out;
    for (const std::size_t good : {0u, 2u}) {
        EXPECT_EQ(children[good]["text"], "good " + std::to_string(good));
        EXPECT_EQ(children[good]["status"], "read") << good;
    }
    // What it wrote before its length was asked is kept, asked once.
    EXPECT_EQ(children[1]["text"], std::string(511, 'n'));
    EXPECT_EQ(children[1]["status"], "cut");
    EXPECT_EQ(dump.Summary()["timedOut"], 0);
    EXPECT_EQ(dump.Summary()["changing"], 0);
    EXPECT_EQ(dump.Summary()["cut"], 1);
}
