// tessivane-cli serve under Wine, on the target fixture's tree: the same dump asked 20 times in a
// row of one serve process (from its start to the last answer), against 20 walks of the reading
// engine in this process and against 20 tessivane-cli dump processes, one a dump; and, to tell
// the protocol's cost from the dump's, against the same 20 dumps run in this process. Prints the
// ratios; all are measured in this one run. Run it through scripts/one-cpu.sh, which says why.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "bench/EngineWalk.h"
#include "bench/FixtureTree.h"
#include "bench/WallClock.h"
#include "cli/Cli.h"
#include "tests/e2e/ConsoleRun.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/TruthFormat.h"
#include "win32/Win32Files.h"
#include "win32/Win32RemoteItems.h"
#include "win32/Win32SaveFiles.h"
#include "win32/Win32WindowDetails.h"

namespace {

constexpr auto kRunLimit = 600s;
constexpr int kDumps = 20;

using Json = nlohmann::json;

// A JSON-RPC request line.
std::string Request(int id, const std::string& method, const Json& params) {
    return Json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}}.dump() +
           "\n";
}

// How many windows a dump's document holds by its summary; 0 when it is not a whole dump.
std::size_t DumpedWindows(const Json& document) {
    return document.is_object() && document.contains("summary")
               ? document["summary"].value("windows", std::size_t{0})
               : 0;
}

// A standard output that keeps the document for its count of windows.
class KeptOutput final : public Console {
public:
    void Out(std::string_view utf8) override { document += utf8; }
    void Error(std::string_view) noexcept override {}
    std::string document;
};

// The dump command run in this process, as tessivane-cli runs it; answers how many windows its
// document holds.
std::size_t DumpInThisProcess(const std::wstring& root) {
    const ParsedCommandLine parsed =
        ParseCommandLine({"dump", "--handle", ToUtf8(root), "--format", "json"});
    Win32WindowSystem windows(MessageTimeout(*parsed.request));
    Win32WindowDetails details;
    Win32RemoteItems items;
    Win32SaveFiles files;
    Win32Files readFiles;
    KeptOutput output;
    CliServices services{
        windows, details, items, files, readFiles, output, std::chrono::steady_clock::now};
    return RunRequest(*parsed.request, services) == 0
               ? DumpedWindows(Json::parse(output.document, nullptr, false))
               : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const FixtureTree tree(argc, argv, 2000);
    const std::wstring& root = tree.Root();
    const HWND rootWindow = tree.RootWindow();
    const std::size_t windows = tree.Windows();
    const std::filesystem::path cli = BuildFolder() / L"tessivane-cli.exe";
    // One walk first, so that none of the three meets a colder system than the others.
    if (EngineWalk(rootWindow) != windows) {
        std::printf("the engine's walk did not give the fixture's %zu windows\n", windows);
        return 1;
    }

    // Which of the ways gave fewer windows than the tree has, in words.
    std::string shortOf;
    const auto check = [&](bool whole, const char* way) {
        if (!whole && shortOf.find(way) == std::string::npos) {
            shortOf += std::string(shortOf.empty() ? "" : ", ") + way;
        }
    };
    // One serve process for all its dumps: its start and the protocol's opening count for it.
    double serve = 0;
    std::optional<ConsoleSession> server;
    serve += SecondsOf([&] {
        server.emplace(cli, L"serve");
        server->Write(Request(0, "initialize",
                              {{"protocolVersion", "2025-06-18"},
                               {"capabilities", Json::object()},
                               {"clientInfo", {{"name", "serve_bench"}, {"version", "1"}}}}));
        check(Json::parse(server->ReadLine(), nullptr, false).contains("result"), "initialize");
        server->Write("{\"jsonrpc\":\"2.0\",\"method\":\"notifications/initialized\"}\n");
    });
    double engine = 0;
    double dumps = 0;
    double processes = 0;
    // A dump of each way a round, so that the machine's changes of pace fall on all of them.
    for (int dump = 1; dump <= kDumps; ++dump) {
        engine += SecondsOf([&] { check(EngineWalk(rootWindow) == windows, "the engine's walk"); });
        dumps += SecondsOf(
            [&] { check(DumpInThisProcess(root) == windows, "the dump in this process"); });
        processes += SecondsOf([&] {
            const ConsoleRun run =
                RunConsoleProgram(cli, L"dump --handle " + root + L" --format json", kRunLimit);
            check(run.finished && run.exitCode == 0 &&
                      DumpedWindows(Json::parse(run.out, nullptr, false)) == windows,
                  "tessivane-cli dump");
        });
        serve += SecondsOf([&] {
            server->Write(
                Request(dump, "tools/call",
                        {{"name", "dump_window"}, {"arguments", {{"handle", std::stoll(root)}}}}));
            const Json answer = Json::parse(server->ReadLine(), nullptr, false);
            check(answer.is_object() && answer.value("id", 0) == dump &&
                      DumpedWindows(answer["result"]["structuredContent"]) == windows,
                  "serve");
        });
    }
    ConsoleRun served;
    serve += SecondsOf([&] { served = server->Finish(kRunLimit); });
    check(served.finished && served.exitCode == 0, "serve's end");
    if (!shortOf.empty()) {
        std::printf(
            "not every dump gave the fixture's %zu windows: %s (serve ended with %lu: %s)\n",
            windows, shortOf.c_str(), static_cast<unsigned long>(served.exitCode),
            served.error.c_str());
        return 1;
    }
    std::printf(
        "serve: %d dumps of %zu windows through one serve process, from its start to the last "
        "answer: %.3f s, %d in-process walks of the engine %.3f s: %.2f x the in-process walks "
        "(goal: at most 1.1)\n",
        kDumps, windows, serve, kDumps, engine, serve / engine);
    std::printf(
        "serve: the same %d dumps: %.3f s, the dump command run %d times in this process %.3f s: "
        "%.2f x the dumps in this process\n",
        kDumps, serve, kDumps, dumps, serve / dumps);
    std::printf(
        "serve: the same %d dumps: %.3f s, %d tessivane-cli dump processes %.3f s: %.2f x the "
        "dump processes\n",
        kDumps, serve, kDumps, processes, serve / processes);
    return 0;
}
