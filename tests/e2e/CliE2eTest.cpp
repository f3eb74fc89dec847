// tessivane-cli under Wine, run as a script runs it: its JSON against the schema and the target
// fixture's truth window for window (and item for item, 64-bit and 32-bit), its CSV, TSV and
// text bytes, list and list --all, each exit code, and the same bytes redirected or written with
// --output.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/JsonSchemaCheck.h"
#include "tests/e2e/ConsoleRun.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/ItemsFixture.h"
#include "tests/e2e/Truth.h"
#include "tests/e2e/TruthFormat.h"

namespace {

using ParsedJson = nlohmann::json;

constexpr auto kRunLimit = 120s;
constexpr wchar_t kTreeTitle[] = L"Tessivane Fixture Tree";

// Runs tessivane-cli in folder (empty: the build folder).
ConsoleRun Cli(const std::wstring& arguments, const std::filesystem::path& folder = {}) {
    ConsoleRun run =
        RunConsoleProgram(BuildFolder() / L"tessivane-cli.exe", arguments, kRunLimit, folder);
    EXPECT_TRUE(run.finished) << "tessivane-cli " << ToUtf8(arguments) << " did not end";
    return run;
}

HWND WindowOf(const std::wstring& handle) {
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(std::stol(handle)));
}

std::string Utf8(const std::wstring& text) {
    return ToUtf8(text);
}

std::string Decimal(HWND window) {
    return std::to_string(static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(window)));
}

// The window as the system answers for it: what the dump must say beside class and text.
struct SystemWindow {
    HWND handle = nullptr;
    HWND parent = nullptr;  // within the dump: none for its first window
    int depth = 0;
    std::wstring className;
    std::wstring text;
    bool hung = false;
    LONG_PTR controlId = 0;
    bool visible = false;
    bool enabled = false;
    RECT rect{};
};

// The tree fixture's truth, each window with the system's answers about it.
std::vector<SystemWindow> TreeWindows(const TargetFixture& fixture) {
    std::vector<SystemWindow> windows;
    std::vector<HWND> path;
    for (std::size_t line = 1; line < fixture.Lines().size(); ++line) {
        const auto& fields = fixture.Lines()[line];  // depth, handle, class, text, flag
        SystemWindow window;
        window.depth = std::stoi(fields.at(0));
        window.handle = WindowOf(fields.at(1));
        path.resize(static_cast<std::size_t>(window.depth));
        window.parent = path.empty() ? nullptr : path.back();
        path.push_back(window.handle);
        window.className = fields.at(2);
        window.text = fields.at(3);
        window.hung = fields.at(4) == L"hung";
        window.controlId = GetWindowLongPtrW(window.handle, GWLP_ID);
        window.visible = IsWindowVisible(window.handle) != FALSE;
        window.enabled = IsWindowEnabled(window.handle) != FALSE;
        GetWindowRect(window.handle, &window.rect);
        windows.push_back(window);
    }
    return windows;
}

// The dump's windows in pre-order, each checked to sit under its parent at its depth.
void Flatten(const ParsedJson& window, std::vector<const ParsedJson*>& windows,
             const ParsedJson& parent, int depth) {
    EXPECT_EQ(window.at("depth"), depth);
    EXPECT_EQ(window.at("parent"), parent);
    windows.push_back(&window);
    for (const ParsedJson& child : window.at("children")) {
        Flatten(child, windows, window.at("handle"), depth + 1);
    }
}

// Checks the document against the schema and answers its windows in pre-order.
std::vector<const ParsedJson*> DumpedWindows(const ParsedJson& document) {
    const ParsedJson schema =
        ReadSchemaFile(ToUtf8((BuildFolder() / L"tessivane-cli.schema.json").wstring()));
    EXPECT_EQ(SchemaViolations(schema, document), std::vector<std::string>{});
    std::vector<const ParsedJson*> windows;
    if (!document.at("window").is_null()) {
        Flatten(document["window"], windows, nullptr, 0);
    }
    return windows;
}

void ExpectSameWindow(const ParsedJson& got, const SystemWindow& want) {
    SCOPED_TRACE(Utf8(want.className) + " " + Decimal(want.handle));
    EXPECT_EQ(got.at("handle").get<std::int64_t>(),
              static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(want.handle)));
    EXPECT_EQ(got.at("class"), Utf8(want.className));
    EXPECT_EQ(got.at("text"), want.hung ? std::string() : Utf8(want.text));
    EXPECT_EQ(got.at("status"), want.hung ? "timedOut" : "read");
    EXPECT_EQ(got.at("controlId"), want.controlId);
    EXPECT_EQ(got.at("visible"), want.visible);
    EXPECT_EQ(got.at("enabled"), want.enabled);
    EXPECT_EQ(got.at("rect"), ParsedJson({{"left", want.rect.left},
                                          {"top", want.rect.top},
                                          {"right", want.rect.right},
                                          {"bottom", want.rect.bottom}}));
}

// The records of RFC 4180 text: quoted cells with doubled quotes, each record ended by CR LF.
std::vector<std::vector<std::string>> ParseCsv(const std::string& bytes) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string cell;
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (bytes[at] == '"') {
            for (++at; at < bytes.size(); ++at) {
                if (bytes[at] == '"' && at + 1 < bytes.size() && bytes[at + 1] == '"') {
                    cell += '"';
                    ++at;
                } else if (bytes[at] == '"') {
                    ++at;
                    break;
                } else {
                    cell += bytes[at];
                }
            }
        }
        for (; at < bytes.size() && bytes[at] != ',' && bytes[at] != '\r'; ++at) {
            EXPECT_NE(bytes[at], '"') << "a quote in an unquoted cell at " << at;
            EXPECT_NE(bytes[at], '\n') << "a line feed outside quotes at " << at;
            cell += bytes[at];
        }
        record.push_back(std::move(cell));
        cell.clear();
        if (at < bytes.size() && bytes[at] == '\r') {
            EXPECT_EQ(bytes.substr(at, 2), "\r\n") << "a record ends in CR LF";
            records.push_back(std::move(record));
            record.clear();
            at += 2;
        } else {
            ++at;  // the comma
        }
    }
    EXPECT_TRUE(record.empty()) << "the last record ends in CR LF";
    return records;
}

// The lines of tab-separated text, each cell unescaped (\t, \r, \n and \\).
std::vector<std::vector<std::string>> ParseTsv(const std::string& bytes) {
    std::vector<std::vector<std::string>> records;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "each line ends in CR LF";
        const std::string line = bytes.substr(start, end - start);
        EXPECT_EQ(line.find('\n'), std::string::npos);
        std::vector<std::string>& record = records.emplace_back();
        std::size_t cellStart = 0;
        for (;;) {
            const std::size_t tab = line.find('\t', cellStart);
            record.push_back(
                ToUtf8(UnescapeField(FromUtf8(line.substr(cellStart, tab - cellStart)))));
            if (tab == std::string::npos) {
                break;
            }
            cellStart = tab + 1;
        }
        start = end == std::string::npos ? bytes.size() : end + 2;
    }
    return records;
}

// The delimited row the dump must give for a window.
std::vector<std::string> ExpectedRow(const SystemWindow& window) {
    const auto boolean = [](bool value) { return std::string(value ? "true" : "false"); };
    char hex[16];
    std::snprintf(hex, sizeof(hex), "0x%08X",
                  static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window.handle)));
    return {Decimal(window.handle),
            hex,
            Utf8(window.className),
            window.hung ? std::string() : Utf8(window.text),
            std::to_string(window.controlId),
            window.parent == nullptr ? std::string() : Decimal(window.parent),
            std::to_string(window.depth),
            boolean(window.visible),
            boolean(window.enabled),
            std::to_string(window.rect.left),
            std::to_string(window.rect.top),
            std::to_string(window.rect.right),
            std::to_string(window.rect.bottom),
            window.hung ? "timedOut" : "read"};
}

const std::vector<std::string> kDumpColumns{"handle", "handleHex", "class", "text",    "controlId",
                                            "parent", "depth",     "path",  "visible", "enabled",
                                            "left",   "top",       "right", "bottom",  "status"};
// Where the path is among them: the truth knows no paths, they are checked by finding windows
// again.
constexpr std::size_t kPathColumn = 7;

std::wstring HandleArgument(const TargetFixture& fixture) {
    return L"--handle " + fixture.Lines().at(0).at(1);
}

}  // namespace

TEST(CliE2e, JsonDumpConformsToTheSchemaAndEqualsTheTreeWindowForWindow) {
    const TargetFixture fixture(L"tree", L"--wide 40");
    const std::vector<SystemWindow> truth = TreeWindows(fixture);
    const std::filesystem::path file = ScratchRoot() / L"cli-tree.json";
    std::filesystem::remove(file);

    const ConsoleRun written = Cli(L"dump " + HandleArgument(fixture) +
                                   L" --format json --output \"" + file.wstring() + L"\"");
    ASSERT_EQ(written.exitCode, 0u) << written.error;
    EXPECT_TRUE(written.out.empty());
    EXPECT_TRUE(written.error.empty()) << written.error;
    const std::string bytes = FileBytes(file);
    const ParsedJson document = ParsedJson::parse(bytes);
    EXPECT_EQ(document["schema"], 1);
    const std::vector<const ParsedJson*> windows = DumpedWindows(document);
    ASSERT_EQ(windows.size(), truth.size());
    for (std::size_t index = 0; index < truth.size(); ++index) {
        ExpectSameWindow(*windows[index], truth[index]);
    }
    EXPECT_EQ(document["summary"]["windows"], truth.size());
    EXPECT_EQ(document["summary"]["complete"], true);

    // The same document redirected to a file by the shell.
    const ConsoleRun redirected = Cli(L"dump " + HandleArgument(fixture));
    EXPECT_EQ(redirected.exitCode, 0u);
    EXPECT_EQ(redirected.out, bytes);
}

TEST(CliE2e, CsvAndTsvGiveOneRowPerWindowAndRedirectedOrWrittenTheSameBytes) {
    const TargetFixture fixture(L"tree");
    const std::vector<SystemWindow> truth = TreeWindows(fixture);
    for (const std::wstring format : {L"csv", L"tsv"}) {
        SCOPED_TRACE(Utf8(format));
        const ConsoleRun run = Cli(L"dump " + HandleArgument(fixture) + L" --format " + format);
        ASSERT_EQ(run.exitCode, 0u) << run.error;
        const auto records = format == L"csv" ? ParseCsv(run.out) : ParseTsv(run.out);
        ASSERT_EQ(records.size(), truth.size() + 1);
        EXPECT_EQ(records[0], kDumpColumns);
        for (std::size_t index = 0; index < truth.size(); ++index) {
            std::vector<std::string> row = records[index + 1];
            row.erase(row.begin() + kPathColumn);
            EXPECT_EQ(row, ExpectedRow(truth[index])) << index;
        }

        const std::filesystem::path file = ScratchRoot() / (L"cli-tree." + format);
        const ConsoleRun written = Cli(L"dump " + HandleArgument(fixture) + L" --format " + format +
                                       L" --output \"" + file.wstring() + L"\"");
        EXPECT_EQ(written.exitCode, 0u);
        EXPECT_EQ(FileBytes(file), run.out);
    }
}

TEST(CliE2e, OutputReplacesAnExistingFileHoweverItsPathIsWritten) {
    const TargetFixture fixture(L"tree");
    const ScratchFolder folder(ScratchRoot() / L"cli-output");
    std::filesystem::create_directories(folder.Path() / L"json");
    const std::wstring dump = L"dump " + HandleArgument(fixture) + L" --max-depth 1 -o \"";
    const ConsoleRun reference = Cli(L"dump " + HandleArgument(fixture) + L" --max-depth 1");
    ASSERT_EQ(reference.exitCode, 0u) << reference.error;

    // Each spelling names a file in the folder, the program running in it.
    const std::wstring slashed = (folder.Path() / L"slashed.json").generic_wstring();  // Z:/...
    const std::wstring rooted = (folder.Path() / L"rooted.json").generic_wstring();
    const std::pair<std::wstring, std::filesystem::path> spellings[] = {
        {L"new.json", L"new.json"},
        {L"./dot.json", L"dot.json"},
        {L"json/nested.json", L"json/nested.json"},
        {L".\\back.json", L"back.json"},
        {(folder.Path() / L"full.json").wstring(), L"full.json"},
        {slashed, L"slashed.json"},
        {rooted.substr(rooted.find(L'/')), L"rooted.json"}};  // /... on the same drive
    for (const auto& [argument, name] : spellings) {
        SCOPED_TRACE(Utf8(argument));
        const std::filesystem::path file = folder.Path() / name;
        // Made new, then replacing the file that is there.
        for (const char* before : {"", "an older file"}) {
            if (*before != '\0') {
                std::ofstream(file, std::ios::binary) << before;
            }
            const ConsoleRun run = Cli(dump + argument + L"\"", folder.Path());
            EXPECT_EQ(run.exitCode, 0u) << run.error;
            EXPECT_TRUE(run.error.empty()) << run.error;
            EXPECT_EQ(FileBytes(file), reference.out);
        }
    }
    // No temporary file is left beside them.
    EXPECT_EQ(folder.Names(),
              (std::vector<std::wstring>{L"back.json", L"dot.json", L"full.json", L"json",
                                         L"new.json", L"rooted.json", L"slashed.json"}));
}

TEST(CliE2e, TextIsExactlyWhatCopyResultsToClipboardMakesOfAllRows) {
    ExtractedTree run;
    const RemoteList results = run.tool.Results();
    for (int row = 0; row < results.RowCount(); ++row) {
        results.ClickTick(row);
    }
    auto click = run.tool.Click(L"Copy Results To Clipboard");
    const auto box = run.tool.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    Tool::Answer(*box, IDOK);
    click.get();
    const std::wstring copied = ClipboardText();
    ASSERT_FALSE(copied.empty());

    const ConsoleRun text = Cli(L"dump " + HandleArgument(run.fixture) + L" --format text");
    ASSERT_EQ(text.exitCode, 0u) << text.error;
    EXPECT_EQ(FromUtf8(text.out), copied);
}

TEST(CliE2e, ListShowsTheWindowListsWindowsAndAllAddsTheOthersWithWhy) {
    const TargetFixture fixture(L"toplevel");
    std::map<std::wstring, std::pair<std::wstring, std::wstring>> truth;  // kind: handle, title
    for (const auto& line : fixture.Lines()) {
        truth[line.at(0)] = {line.at(1), line.at(2)};
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(WindowOf(truth.at(L"titled").first), &processId);

    // Each of the fixture's windows listed, by handle.
    const auto listed = [&](const std::wstring& arguments) {
        const ConsoleRun run = Cli(L"list --format tsv" + arguments);
        EXPECT_EQ(run.exitCode, 0u) << run.error;
        std::map<std::string, std::vector<std::string>> rows;
        for (const auto& record : ParseTsv(run.out)) {
            rows[record.at(0)] = record;
        }
        return rows;
    };
    const auto plain = listed(L"");
    const auto all = listed(L" --all");
    ASSERT_TRUE(plain.contains("handle"));
    EXPECT_EQ(plain.at("handle"),
              (std::vector<std::string>{"handle", "handleHex", "class", "title", "processId",
                                        "image", "visible", "owner"}));
    EXPECT_EQ(all.at("handle").back(), "notListedBecause");
    for (const auto& [kind, window] : truth) {
        SCOPED_TRACE(Utf8(kind));
        const std::string handle = Utf8(window.first);
        const bool inList =
            kind == L"titled" || kind == L"blank" || kind == L"long" || kind == L"unicode";
        EXPECT_EQ(plain.contains(handle), inList);
        ASSERT_TRUE(all.contains(handle));
        const std::vector<std::string>& row = all.at(handle);
        EXPECT_EQ(row.at(2), "TessivaneFixtureTop");
        EXPECT_EQ(row.at(3), Utf8(window.second));
        EXPECT_EQ(row.at(4), std::to_string(processId));
        EXPECT_EQ(row.at(5), "TargetFixture.exe");
        EXPECT_EQ(row.at(6), kind == L"invisible" ? "false" : "true");
        EXPECT_EQ(row.at(7), kind == L"owned" ? Utf8(truth.at(L"titled").first) : "");
        const std::map<std::wstring, std::string> why{
            {L"untitled", "untitled"}, {L"owned", "owned"}, {L"invisible", "hidden"}};
        EXPECT_EQ(row.at(8), why.contains(kind) ? why.at(kind) : "");
        if (inList) {
            EXPECT_EQ(plain.at(handle), std::vector<std::string>(row.begin(), row.end() - 1));
        }
    }

    // The same windows as JSON, valid against the schema.
    const ConsoleRun json = Cli(L"list --all --format json");
    ASSERT_EQ(json.exitCode, 0u);
    const ParsedJson document = ParsedJson::parse(json.out);
    const ParsedJson schema =
        ReadSchemaFile(ToUtf8((BuildFolder() / L"tessivane-cli.schema.json").wstring()));
    EXPECT_EQ(SchemaViolations(schema, document), std::vector<std::string>{});
    const auto owned = std::find_if(
        document["windows"].begin(), document["windows"].end(), [&](const ParsedJson& window) {
            return window["handle"] == std::stol(truth.at(L"owned").first);
        });
    ASSERT_NE(owned, document["windows"].end());
    EXPECT_EQ((*owned)["notListedBecause"], ParsedJson({"owned"}));
}

TEST(CliE2e, EachExitCodeFromDoneToIncomplete) {
    const TargetFixture first(L"tree");
    const TargetFixture second(L"tree");
    const std::string firstHandle = Utf8(first.Lines().at(0).at(1));
    const std::string secondHandle = Utf8(second.Lines().at(0).at(1));

    const ConsoleRun version = Cli(L"--version");
    EXPECT_EQ(version.exitCode, 0u);
    EXPECT_EQ(version.out.rfind("tessivane-cli ", 0), 0u);

    // A usage error is one line on standard error, in the program's own words.
    for (const std::wstring wrong : {L"dump --title", L"frobnicate", L"dump --class a -f xml"}) {
        const ConsoleRun usage = Cli(wrong);
        EXPECT_EQ(usage.exitCode, 1u);
        EXPECT_TRUE(usage.out.empty());
        EXPECT_EQ(usage.error.rfind("tessivane-cli: ", 0), 0u) << usage.error;
        EXPECT_EQ(usage.error.find('\n'), usage.error.size() - 1) << usage.error;
    }

    const ConsoleRun none = Cli(L"dump --title \"No window has this title 7c1e\"");
    EXPECT_EQ(none.exitCode, 2u);
    EXPECT_TRUE(none.out.empty());
    EXPECT_NE(none.error.find("no window has the title"), std::string::npos);

    // Both fixtures have the same title: the list of those found goes to standard error.
    const ConsoleRun several = Cli(L"dump --title \"" + std::wstring(kTreeTitle) + L"\"");
    EXPECT_EQ(several.exitCode, 3u);
    EXPECT_TRUE(several.out.empty());
    EXPECT_NE(several.error.find(firstHandle), std::string::npos);
    EXPECT_NE(several.error.find(secondHandle), std::string::npos);

    const ConsoleRun chosen =
        Cli(L"dump --title \"" + std::wstring(kTreeTitle) + L"\" --first --max-depth 0");
    EXPECT_EQ(chosen.exitCode, 0u) << chosen.error;
    EXPECT_EQ(ParsedJson::parse(chosen.out)["window"]["text"], Utf8(kTreeTitle));

    // A process's one application window.
    DWORD processId = 0;
    GetWindowThreadProcessId(WindowOf(second.Lines().at(0).at(1)), &processId);
    const ConsoleRun byProcess =
        Cli(L"dump --pid " + std::to_wstring(processId) + L" --max-depth 1");
    EXPECT_EQ(byProcess.exitCode, 0u) << byProcess.error;
    EXPECT_EQ(ParsedJson::parse(byProcess.out)["window"]["handle"].get<std::int64_t>(),
              std::stol(second.Lines().at(0).at(1)));
}

TEST(CliE2e, AHungWindowGivesFourWithinTheTimeOutAndItsStatusSaysSo) {
    const TargetFixture fixture(L"tree", L"--hung");
    const std::vector<SystemWindow> truth = TreeWindows(fixture);
    const ConsoleRun run = Cli(L"dump " + HandleArgument(fixture) + L" --timeout 300");
    ASSERT_EQ(run.exitCode, 4u) << run.error;
    const ParsedJson document = ParsedJson::parse(run.out);
    const std::vector<const ParsedJson*> windows = DumpedWindows(document);
    ASSERT_EQ(windows.size(), truth.size());
    for (std::size_t index = 0; index < truth.size(); ++index) {
        ExpectSameWindow(*windows[index], truth[index]);
    }
    EXPECT_EQ(document["summary"]["timedOut"], 1);
    EXPECT_EQ(document["summary"]["complete"], false);
}

TEST(CliE2e, ATopLevelWindowsMenuBarIsItsItemsOrWhereTheSystemHidesItItsStatusSaysSo) {
    const TargetFixture fixture(L"tree", L"--menu");
    const ConsoleRun run = Cli(L"dump " + HandleArgument(fixture) + L" --items --max-depth 0");
    ASSERT_EQ(run.exitCode, 0u) << run.error;
    const ParsedJson document = ParsedJson::parse(run.out);
    ASSERT_EQ(DumpedWindows(document).size(), 1u);
    const ParsedJson& items = document["window"]["items"];
    EXPECT_EQ(items["kind"], "menu");
    // Wine keeps each program's menus from the others; Windows lets them be read.
    const bool underWine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    if (underWine) {
        EXPECT_EQ(items["status"], "notReadable");
        EXPECT_EQ(items["rows"], ParsedJson::array());
    } else {
        EXPECT_EQ(items["status"], "read");
        EXPECT_EQ(items["rows"], ParsedJson::parse(R"([["&File","submenu"],["&Open...\tCtrl+O",""],
            ["","separator"],["Recent","submenu"],["\u03A9.txt",""],["E&xit","greyed"],
            ["&Wrap","checked"]])"));
        EXPECT_EQ(items["depths"], ParsedJson::parse("[0,1,1,1,2,1,0]"));
    }
}

TEST(CliE2e, JsonLinesComeALineAWindowInTheTreesOrderThenTheSummary) {
    const TargetFixture fixture(L"tree", L"--wide 40");
    const std::vector<SystemWindow> truth = TreeWindows(fixture);
    const ParsedJson schema =
        ReadSchemaFile(ToUtf8((BuildFolder() / L"tessivane-cli.schema.json").wstring()));
    // Every line a document of its own, valid against the schema.
    const auto lines = [&](const std::wstring& arguments) {
        const ConsoleRun run = Cli(arguments);
        EXPECT_EQ(run.exitCode, 0u) << run.error;
        EXPECT_TRUE(run.error.empty()) << run.error;
        const auto [parsed, violations] = CheckJsonLines(schema, run.out);
        EXPECT_EQ(violations, std::vector<std::string>{});
        return parsed;
    };

    const std::vector<ParsedJson> dumped = lines(L"dump " + HandleArgument(fixture) + L" -f jsonl");
    ASSERT_EQ(dumped.size(), truth.size() + 1);
    for (std::size_t index = 0; index < truth.size(); ++index) {
        EXPECT_EQ(dumped[index]["type"], "window");
        EXPECT_EQ(dumped[index]["depth"], truth[index].depth);
        EXPECT_EQ(dumped[index]["parent"],
                  index == 0 ? ParsedJson(nullptr)
                             : ParsedJson(std::stoll(Decimal(truth[index].parent))));
        ExpectSameWindow(dumped[index], truth[index]);
    }
    EXPECT_EQ(dumped.back()["type"], "summary");
    EXPECT_EQ(dumped.back()["windows"], truth.size());
    EXPECT_EQ(dumped.back()["complete"], true);

    const std::vector<ParsedJson> listed = lines(L"list -f jsonl");
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(listed.back()["windows"], listed.size() - 1);
    EXPECT_TRUE(std::any_of(listed.begin(), listed.end(), [&](const ParsedJson& line) {
        return line.value("handle", ParsedJson()) == dumped.front()["handle"];
    }));
}

TEST(CliE2e, AReaderThatClosesThePipeAfterOneLineEndsTheDumpWithZeroAndNoMessage) {
    // Far more than a pipe holds, so that the dump meets the closed end.
    const TargetFixture fixture(L"bench", L"--count 4000");
    for (const std::wstring format : {L"jsonl", L"json", L"csv"}) {
        SCOPED_TRACE(Utf8(format));
        const ConsoleRun run = RunConsoleProgramReadingOneLine(
            BuildFolder() / L"tessivane-cli.exe",
            L"dump --handle " + fixture.Lines().at(0).at(1) + L" -f " + format, kRunLimit);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(run.error, "");
        EXPECT_TRUE(run.out.ends_with('\n') && run.out.size() > 1) << run.out;
    }
}

TEST(CliE2e, DeadlineAgainstAHungWindowKeepsWhatWasReadAndGivesFour) {
    const TargetFixture fixture(L"tree", L"--hung");
    // The hung window's text message waits its whole second, by which the deadline has passed.
    const ConsoleRun run =
        Cli(L"dump " + HandleArgument(fixture) + L" --timeout 1000 --deadline 200");
    ASSERT_EQ(run.exitCode, 4u) << run.error;
    const ParsedJson document = ParsedJson::parse(run.out);
    EXPECT_FALSE(DumpedWindows(document).empty());
    EXPECT_EQ(document["summary"]["deadline"], true);
    EXPECT_EQ(document["summary"]["complete"], false);
    EXPECT_NE(run.error.find("tessivane-cli: "), std::string::npos);
    EXPECT_NE(run.error.find("--deadline ended the command early\n"), std::string::npos)
        << run.error;
}

namespace {

const std::map<std::wstring, std::string> kKindNames{
    {L"ListBox", "listBox"},     {L"ComboBox", "comboBox"}, {L"ListView", "listView"},
    {L"TreeView", "treeView"},   {L"Tab", "tab"},           {L"Header", "header"},
    {L"StatusBar", "statusBar"}, {L"Toolbar", "toolbar"}};

// Two runs of the fixture give the same tree under other handles: diff matches their windows by
// path. A label's text set from outside between two dumps of one run is the one change.
TEST(CliE2e, DiffMatchesTwoRunsByPathAndNamesALabelWhoseTextChanged) {
    // Dumps the fixture to the file (JSON or JSON lines, as its name ends).
    const auto dumped = [](const TargetFixture& fixture, const std::wstring& name) {
        const std::filesystem::path file = ScratchRoot() / name;
        const std::wstring format = file.extension() == L".json" ? L"json" : L"jsonl";
        const ConsoleRun run = Cli(L"dump " + HandleArgument(fixture) + L" -f " + format +
                                   L" -o \"" + file.wstring() + L"\"");
        EXPECT_EQ(run.exitCode, 0u) << run.error;
        return file;
    };
    const auto diff = [](const std::filesystem::path& before, const std::filesystem::path& after) {
        return Cli(L"diff \"" + before.wstring() + L"\" \"" + after.wstring() + L"\"");
    };
    std::filesystem::path firstRun;
    std::wstring firstHandle;
    {
        const TargetFixture fixture(L"tree");
        firstRun = dumped(fixture, L"diff-first-run.json");
        firstHandle = fixture.Lines().at(0).at(1);
    }
    const TargetFixture fixture(L"tree");
    ASSERT_NE(fixture.Lines().at(0).at(1), firstHandle);
    const std::filesystem::path secondRun = dumped(fixture, L"diff-second-run.jsonl");
    const ConsoleRun same = diff(firstRun, secondRun);
    EXPECT_EQ(same.exitCode, 0u) << same.out << same.error;
    EXPECT_EQ(same.out, "");

    const std::vector<SystemWindow> truth = TreeWindows(fixture);
    const auto label = std::find_if(truth.begin(), truth.end(), [](const SystemWindow& window) {
        return window.className == L"Static" && !window.text.empty();
    });
    ASSERT_NE(label, truth.end());
    // The label's path, from its line in the dump.
    std::string path;
    std::istringstream lines(FileBytes(secondRun));
    for (std::string line; std::getline(lines, line);) {
        const ParsedJson window = ParsedJson::parse(line);
        if (window.value("handle", ParsedJson()) ==
            ParsedJson(std::stoll(Decimal(label->handle)))) {
            path = window["path"];
        }
    }
    ASSERT_FALSE(path.empty());
    ASSERT_TRUE(SendMessageW(label->handle, WM_SETTEXT, 0,
                             reinterpret_cast<LPARAM>(L"Set from outside \u00e9")));
    const ConsoleRun changed = diff(secondRun, dumped(fixture, L"diff-later.jsonl"));
    EXPECT_EQ(changed.exitCode, 5u) << changed.error;
    EXPECT_EQ(changed.out, "changed text   " + path + "  " + ParsedJson(Utf8(label->text)).dump() +
                               " -> \"Set from outside \u00e9\"\n");
}

// Input meant to hurt gets a clear answer and loses nothing: diff's output over one of its dumps,
// a pattern that would hold a backtracking matcher for hours, a search among windows that never
// answer, and a line nested 30,000 deep to the agent server.
TEST(CliE2e, HostileInputGetsAnAnswerAndLosesNothing) {
    const TargetFixture hung(L"tree", L"--hung");
    const std::filesystem::path dump = ScratchRoot() / L"hostile-dump.json";
    ASSERT_EQ(
        Cli(L"dump " + HandleArgument(hung) + L" --timeout 300 -o \"" + dump.wstring() + L"\"")
            .exitCode,
        4u);
    const std::string dumped = FileBytes(dump);
    // The same file, its name spelt in capitals.
    const ConsoleRun over =
        Cli(L"diff \"" + dump.wstring() + L"\" \"" + dump.wstring() + L"\" -o \"" +
            (ScratchRoot() / L"HOSTILE-DUMP.JSON").wstring() + L"\"");
    EXPECT_EQ(over.exitCode, 1u);
    EXPECT_NE(over.error.find("diff does not write over the files it compares"), std::string::npos)
        << over.error;
    EXPECT_EQ(FileBytes(dump), dumped);

    const ConsoleRun unread = Cli(L"find " + HandleArgument(hung) + L" --text Absent");
    EXPECT_EQ(unread.exitCode, 4u) << unread.error;
    EXPECT_NE(unread.error.find("1 window did not answer in time"), std::string::npos)
        << unread.error;

    const TargetFixture fixture(L"tree");
    const std::vector<SystemWindow> truth = TreeWindows(fixture);
    const auto label = std::find_if(truth.begin(), truth.end(), [](const SystemWindow& window) {
        return window.className == L"Static";
    });
    ASSERT_NE(label, truth.end());
    const std::wstring as(30000, L'a');
    ASSERT_TRUE(SendMessageW(label->handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(as.c_str())));
    const ConsoleRun pattern = Cli(L"find " + HandleArgument(fixture) +
                                   L" --text-contains \"(a+)+!$\" --regex --deadline 1000");
    EXPECT_EQ(pattern.exitCode, 2u) << pattern.error;

    ConsoleSession server(BuildFolder() / L"tessivane-cli.exe", L"serve");
    ASSERT_TRUE(server.Write(R"({"jsonrpc":"2.0","id":1,"method":"ping","params":)" +
                             std::string(30000, '[') + std::string(30000, ']') + "}\n" +
                             R"({"jsonrpc":"2.0","id":2,"method":"ping"})" + "\n"));
    EXPECT_NE(server.ReadLine().find(R"("code":-32600)"), std::string::npos);
    EXPECT_EQ(server.ReadLine(), "{\"jsonrpc\":\"2.0\",\"id\":2,\"result\":{}}\n");
    EXPECT_EQ(server.Finish(kRunLimit).exitCode, 0u);
}

class CliItemsE2e : public testing::TestWithParam<FixtureBuild> {};

}  // namespace

TEST_P(CliItemsE2e, ItemsComeWithTheirControlsItemForItem) {
    const TargetFixture fixture(L"items", L"", GetParam());
    const std::vector<ControlTruth> controls = ItemsControls(fixture);
    ASSERT_FALSE(controls.empty());
    const HWND window = GetAncestor(WindowOf(controls.front().handle), GA_ROOT);
    const ConsoleRun run =
        Cli(L"dump --handle " + std::to_wstring(reinterpret_cast<INT_PTR>(window)) + L" --items");
    ASSERT_EQ(run.exitCode, 0u) << run.error;
    const ParsedJson document = ParsedJson::parse(run.out);
    std::map<std::int64_t, const ParsedJson*> byHandle;
    for (const ParsedJson* dumped : DumpedWindows(document)) {
        byHandle[(*dumped)["handle"].get<std::int64_t>()] = dumped;
    }
    // The icon static's text says what it shows, and the resource's ordinal comes beside it.
    const auto icon = std::find_if(byHandle.begin(), byHandle.end(), [](const auto& dumped) {
        return dumped.second->at("class") == "Static";
    });
    ASSERT_NE(icon, byHandle.end());
    EXPECT_EQ(icon->second->at("text"), "(icon " + std::to_string(kStaticIconOrdinal) + ")");
    EXPECT_EQ(icon->second->value("resource", 0), kStaticIconOrdinal);
    EXPECT_FALSE(byHandle.at(std::stol(controls.front().handle))->contains("resource"));
    for (const ControlTruth& control : controls) {
        SCOPED_TRACE(Utf8(control.name));
        ASSERT_TRUE(byHandle.contains(std::stol(control.handle)));
        const ParsedJson& items = byHandle.at(std::stol(control.handle))->at("items");
        EXPECT_EQ(items["kind"], kKindNames.at(control.kind));
        if (!control.keepsTexts) {
            EXPECT_EQ(items["status"], "noTexts");
            EXPECT_TRUE(items["rows"].empty());
            continue;
        }
        EXPECT_EQ(items["status"], "read");
        ASSERT_EQ(items["columns"].size(), control.columns);
        for (std::size_t column = 0; column < control.captions.size(); ++column) {
            EXPECT_EQ(items["columns"][column], Utf8(control.captions[column]));
        }
        EXPECT_EQ(items.value("hiddenColumns", ParsedJson::array()),
                  ParsedJson(control.hiddenColumns));
        ASSERT_EQ(items["rows"].size(), control.rows.size());
        for (std::size_t row = 0; row < control.rows.size(); ++row) {
            for (std::size_t column = 0; column < control.columns; ++column) {
                ASSERT_EQ(items["rows"][row][column], Utf8(control.rows[row][column]))
                    << "row " << row << " column " << column;
            }
            if (control.kind == L"TreeView") {
                EXPECT_EQ(items["depths"][row], control.depths[row]) << row;
            }
        }
    }
}

// A list view whose owner draws its rows and gives the list no text is told apart from a read one.
TEST_P(CliItemsE2e, AListWithoutAnyTextIsNoTextAndCounted) {
    const TargetFixture fixture(L"hostileitems", L"--kind lvnotext", GetParam());
    const ControlTruth control = ItemsControl(fixture, L"lvnotext");
    const ConsoleRun run = Cli(L"dump --handle " + control.handle + L" --items");
    ASSERT_EQ(run.exitCode, 0u) << run.error;
    const ParsedJson document = ParsedJson::parse(run.out);
    const ParsedJson& items = document["window"]["items"];
    EXPECT_EQ(items["status"], "noText");
    EXPECT_EQ(items["rows"].size(), control.rows.size());
    EXPECT_EQ(document["summary"]["textlessLists"], 1);
}

// What people and agents look for: a button by the text it shows, a control by a path typed
// without its id, the windows a path that misses may have meant, the window in the foreground and
// the one at a point.
TEST(CliE2e, ShownTextsPathsWithoutIdsTheForegroundAndAPointFindTheirWindows) {
    const TargetFixture tree(L"tree");
    const ConsoleRun shown =
        Cli(L"find " + HandleArgument(tree) + L" --text \"OK button\" -f json");
    ASSERT_EQ(shown.exitCode, 0u) << shown.error;
    const ParsedJson found = ParsedJson::parse(shown.out)["matches"];
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]["text"], "&OK button");
    EXPECT_EQ(found[0]["shown"], "OK button");

    // Its truth: root, label, list and button, whose ids are 101, 102 and 103.
    const TargetFixture changing(L"changing");
    const std::wstring top = HandleArgument(changing);
    const HWND button = WindowOf(changing.Lines().at(3).at(1));
    const ConsoleRun forgiven = Cli(L"dump " + top + L" --max-depth 0 --path Button");
    ASSERT_EQ(forgiven.exitCode, 0u) << forgiven.error;
    EXPECT_EQ(ParsedJson::parse(forgiven.out)["window"]["handle"], std::stol(Decimal(button)));
    EXPECT_EQ(ParsedJson::parse(forgiven.out)["window"]["path"], "Button#103");
    const ConsoleRun missed = Cli(L"dump " + top + L" --path Edit");
    EXPECT_EQ(missed.exitCode, 2u);
    for (const std::size_t line : {1u, 2u, 3u}) {
        const std::string handle = Utf8(changing.Lines().at(line).at(1));
        EXPECT_NE(missed.error.find("\n  " + handle + " 0x"), std::string::npos) << missed.error;
    }
    EXPECT_NE(missed.error.find(" ListBox#102\n"), std::string::npos) << missed.error;

    const HWND root = WindowOf(changing.Lines().at(0).at(1));
    SetForegroundWindow(root);
    const ConsoleRun foreground = Cli(L"dump --foreground --max-depth 0");
    ASSERT_EQ(foreground.exitCode, 0u) << foreground.error;
    EXPECT_EQ(ParsedJson::parse(foreground.out)["window"]["handle"], std::stol(Decimal(root)));
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(button, &rect));
    const ConsoleRun at =
        Cli(L"dump --max-depth 0 --at " + std::to_wstring((rect.left + rect.right) / 2) + L"," +
            std::to_wstring((rect.top + rect.bottom) / 2));
    ASSERT_EQ(at.exitCode, 0u) << at.error;
    EXPECT_EQ(ParsedJson::parse(at.out)["window"]["handle"], std::stol(Decimal(button)));
    EXPECT_EQ(Cli(L"dump --at 5;5").exitCode, 1u);
}

// A path printed by one run of the fixture finds the same control in a new run, where every
// handle differs; one that leads nowhere names its step; find finds windows by text and class.
class CliPathE2e : public testing::TestWithParam<FixtureBuild> {};

TEST_P(CliPathE2e, APathFromOneRunFindsTheSameControlInTheNextAndFindListsPaths) {
    std::vector<std::pair<std::string, std::string>> controls;  // path, class and text
    {
        const TargetFixture fixture(L"tree", L"", GetParam());
        const ConsoleRun run = Cli(L"dump " + HandleArgument(fixture));
        ASSERT_EQ(run.exitCode, 0u) << run.error;
        const ParsedJson document = ParsedJson::parse(run.out);
        for (const ParsedJson* window : DumpedWindows(document)) {
            controls.emplace_back((*window)["path"], (*window)["class"].get<std::string>() + " " +
                                                         (*window)["text"].get<std::string>());
        }
    }
    ASSERT_GT(controls.size(), 2u);
    EXPECT_EQ(controls.front().first, "");

    const TargetFixture fixture(L"tree", L"", GetParam());
    for (const auto& [path, classAndText] : controls) {
        const ConsoleRun run = Cli(L"dump " + HandleArgument(fixture) +
                                   L" --max-depth 0 --path \"" + FromUtf8(path) + L"\"");
        ASSERT_EQ(run.exitCode, 0u) << path << ": " << run.error;
        const ParsedJson dumped = ParsedJson::parse(run.out);
        const ParsedJson& window = dumped["window"];
        EXPECT_EQ(window["class"].get<std::string>() + " " + window["text"].get<std::string>(),
                  classAndText);
        EXPECT_EQ(window["path"], path);
    }

    // The last control with a text.
    const auto& [lastPath, lastControl] =
        *std::find_if(controls.rbegin(), controls.rend(),
                      [](const auto& control) { return !control.second.ends_with(' '); });
    const ConsoleRun wrong = Cli(L"dump " + HandleArgument(fixture) + L" --path \"" +
                                 FromUtf8(lastPath) + L"/NoSuchClass\"");
    EXPECT_EQ(wrong.exitCode, 2u);
    EXPECT_NE(wrong.error.find("matches step "), std::string::npos) << wrong.error;
    EXPECT_NE(wrong.error.find(" \"NoSuchClass\" of the path"), std::string::npos) << wrong.error;

    // find by the last control's class and text, in the fixture alone.
    const std::string lastClass = lastControl.substr(0, lastControl.find(' '));
    const std::string lastText = lastControl.substr(lastControl.find(' ') + 1);
    const ConsoleRun found = Cli(L"find " + HandleArgument(fixture) + L" -f csv --class " +
                                 FromUtf8(lastClass) + L" --text \"" + FromUtf8(lastText) + L"\"");
    ASSERT_EQ(found.exitCode, 0u) << found.error;
    const auto rows = ParseCsv(found.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].at(6), lastPath);
    const ConsoleRun none =
        Cli(L"find " + HandleArgument(fixture) + L" --text-contains \"no such text\"");
    EXPECT_EQ(none.exitCode, 2u);
}

const auto kBuildName = [](const testing::TestParamInfo<FixtureBuild>& build) {
    return build.param == FixtureBuild::Native ? "Native" : "Bits32";
};
INSTANTIATE_TEST_SUITE_P(Builds, CliItemsE2e,
                         testing::Values(FixtureBuild::Native, FixtureBuild::Bits32), kBuildName);
INSTANTIATE_TEST_SUITE_P(Builds, CliPathE2e,
                         testing::Values(FixtureBuild::Native, FixtureBuild::Bits32), kBuildName);
