// tessivane-cli serve under Wine, on the target fixture's tree: the same dump asked 20 times in a
// row of one serve process (from its start to the last answer) against the same dump command run
// 20 times in this process, each document parsed as often as serve's answer carries it; then, as
// context only, 20 walks of the reading engine in this process (class and text, no details, no
// document) and 20 tessivane-cli dump processes. Prints the ratios; all are measured in this one
// run. Run it through scripts/one-cpu.sh, which says why.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "bench/EngineWalk.h"
#include "bench/FixtureTree.h"
#include "bench/InProcessDump.h"
#include "bench/WallClock.h"
#include "tests/e2e/ConsoleRun.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/TruthFormat.h"

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

// The dump command run in this process; its document parsed as many times as serve's answer
// carries it (as text and as structured content), so both sides parse the same bytes. Answers how
// many windows it holds.
std::size_t WindowsDumpedInThisProcess(const std::wstring& root) {
    const std::string document =
        DumpInThisProcess({"dump", "--handle", ToUtf8(root), "--format", "json"});
    Json parsed;
    for (int copy = 0; copy < 2; ++copy) {
        parsed = Json::parse(document, nullptr, false);
    }
    return DumpedWindows(parsed);
}

// What the ways took in all, in seconds, and how many windows each dump gave.
struct Figures {
    std::size_t windows;
    double serve;
    double serveStart;
    double dumps;
    double engine;
    double processes;
};

// The headline first (serve against the same dumps in this process), then the context.
void PrintFigures(const Figures& taken) {
    const auto [windows, serve, serveStart, dumps, engine, processes] = taken;
    std::printf(
        "serve: %d dumps of %zu windows through one serve process, from its start to the last "
        "answer: %.3f s, the same dump command run %d times in this process %.3f s: %.2f x the "
        "dumps in this process (goal: at most 1.1)\n",
        kDumps, windows, serve, kDumps, dumps, serve / dumps);
    std::printf(
        "serve: of its %.3f s, its process start and the protocol's opening took %.3f s, once for "
        "the %d dumps; the dumps in this process pay no process start\n",
        serve, serveStart, kDumps);
    std::printf(
        "context: %d walks of the reading engine in this process (class and text only: no "
        "control id, state, rectangle, path nor document) %.3f s; the dumps in this process are "
        "%.2f x it, serve %.2f x it\n",
        kDumps, engine, dumps / engine, serve / engine);
    std::printf(
        "context: %d tessivane-cli dump processes, each paying its own start, %.3f s; serve is "
        "%.2f x them\n",
        kDumps, processes, serve / processes);
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
    const double serveStart = SecondsOf([&] {
        server.emplace(cli, L"serve");
        server->Write(Request(0, "initialize",
                              {{"protocolVersion", "2025-06-18"},
                               {"capabilities", Json::object()},
                               {"clientInfo", {{"name", "serve_bench"}, {"version", "1"}}}}));
        check(Json::parse(server->ReadLine(), nullptr, false).contains("result"), "initialize");
        server->Write("{\"jsonrpc\":\"2.0\",\"method\":\"notifications/initialized\"}\n");
    });
    serve += serveStart;
    double engine = 0;
    double dumps = 0;
    double processes = 0;
    // A dump of each way a round, so that the machine's changes of pace fall on all of them.
    for (int dump = 1; dump <= kDumps; ++dump) {
        engine += SecondsOf([&] { check(EngineWalk(rootWindow) == windows, "the engine's walk"); });
        dumps += SecondsOf([&] {
            check(WindowsDumpedInThisProcess(root) == windows, "the dump in this process");
        });
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
    PrintFigures({windows, serve, serveStart, dumps, engine, processes});
    return 0;
}
