// tessivane-cli serve on the fake desktop: JSON-RPC lines in, answers out; bad lines answered
// with their errors while the server goes on; the tools' results against the command line's own
// documents.
#include <gtest/gtest.h>

#include "serve/JsonRpc.h"
#include "serve/LineFramer.h"
#include "serve/Serve.h"
#include "unit/cli/CliHarness.h"

namespace {

using namespace std::chrono_literals;

// The standard input: its text handed on no more at once than the reader's buffer takes.
struct ScriptedInput final : InputStream {
    std::string text;
    std::size_t read = 0;

    std::size_t Read(std::span<char> buffer) override {
        const std::size_t handed = text.copy(buffer.data(), buffer.size(), read);
        read += handed;
        return handed;
    }
};

std::string Call(const std::string& id, const std::string& method, const std::string& params) {
    return JsonText({{"jsonrpc", "2.0"},
                     {"id", Json::parse(id)},
                     {"method", method},
                     {"params", Json::parse(params)}});
}

std::string ToolCall(int id, const std::string& tool, const std::string& arguments) {
    return Call(std::to_string(id), "tools/call",
                JsonText({{"name", tool}, {"arguments", Json::parse(arguments)}}));
}

// The id of a line that gets no answer.
const Json kNoAnswer = Json::value_t::discarded;

struct ServeTest : ::testing::Test {
    CliHarness cli;
    ScriptedInput input;
    RecordingConsole server;
    std::vector<std::chrono::milliseconds> pauses;
    WindowHandle top = cli.desktop.AddTopLevel(u"Main window");
    // Blanks, quotes and a backslash in a string stay as they are when a document is made compact.
    WindowHandle edit = Add(top, u"Edit", u"Working\u2026 \"a \\ b\"\r\n  end", 7);
    WindowHandle list = Add(top, u"ListBox", u"", 8);

    WindowHandle Add(WindowHandle parent, Text className, Text text, std::int64_t id) {
        return cli.AddControl(parent, std::move(className), std::move(text), id);
    }

    // Serves the input given so far; answers the lines written.
    std::vector<std::string> ServedLines() {
        ToolServices tools{[this](const CliRequest& request, Console& console) {
                               return cli.RunOn(request, console);
                           },
                           [this] { return cli.now; },
                           [this](std::chrono::milliseconds pause) {
                               pauses.push_back(pause);
                               cli.now += pause;
                           }};
        ServeServices services{input, server, tools};
        EXPECT_EQ(Serve(services), 0);
        std::vector<std::string> lines;
        for (std::size_t start = 0; start < server.out.size();) {
            const std::size_t end = server.out.find('\n', start);
            EXPECT_NE(end, std::string::npos) << "an answer without its line feed";
            lines.push_back(server.out.substr(start, end - start));
            start = end + 1;
        }
        return lines;
    }

    // Serves the input given so far; answers each line written, parsed.
    std::vector<Json> Served() {
        std::vector<Json> answers;
        for (const std::string& line : ServedLines()) {
            answers.push_back(Json::parse(line));
        }
        return answers;
    }

    // The result of one tool call, alone in the server's output.
    Json Called(const std::string& tool, const Json& arguments) {
        server.out.clear();
        pauses.clear();
        input.text += ToolCall(1, tool, JsonText(arguments)) + "\n";
        const std::vector<Json> answers = Served();
        EXPECT_EQ(answers.size(), 1u);
        EXPECT_TRUE(answers.at(0).contains("result")) << answers.at(0).dump();
        return answers.at(0).value("result", Json());
    }
};

}  // namespace

TEST(LineFramer, HoldsNoMoreThanTheCapOfALineAndSaysHowLongAnOverLongOneWas) {
    LineFramer framer(10);
    std::vector<std::string> lines;
    const auto keep = [&](const FramedLine& line) {
        lines.push_back(line.overLong ? std::string("over:").append(std::to_string(line.bytes))
                                      : std::string(line.text));
    };
    framer.Feed("short\r\nexactly ten\n0123456789\n", keep);
    for (int block = 0; block < 1000; ++block) {
        framer.Feed("xxxxxxx", keep);
        EXPECT_LE(framer.Held(), 10u);
    }
    framer.Feed("x\nafter\nunfin", keep);
    EXPECT_EQ(framer.Held(), 5u);
    EXPECT_EQ(lines,
              (std::vector<std::string>{"short", "over:11", "0123456789", "over:7001", "after"}));
}

TEST_F(ServeTest, EachBadLineGetsItsErrorAndTheServerGoesOn) {
    const struct {
        std::string line;
        Json id;           // of the answer; discarded: no answer
        int code;          // 0: a result
        std::string said;  // a part of the error's message
    } cases[] = {
        {"garbage", nullptr, RpcCode::kParseError, "not JSON"},
        {Call("2", "frobnicate", "{}"), 2, RpcCode::kMethodNotFound, "\"frobnicate\""},
        {R"({"jsonrpc":"2.0","method":"frobnicate"})", kNoAnswer, 0, ""},
        {R"({"jsonrpc":"2.0","method":"notifications/initialized"})", kNoAnswer, 0, ""},
        {R"({"jsonrpc":"2.0","id":3,"result":{}})", kNoAnswer, 0, ""},
        {"   ", kNoAnswer, 0, ""},
        {std::string("[").append(Call("4", "ping", "{}")).append("]"), nullptr,
         RpcCode::kInvalidRequest, "batches"},
        {R"({"id":5,"method":"ping"})", 5, RpcCode::kInvalidRequest, R"("jsonrpc":"2.0")"},
        {R"({"jsonrpc":"2.0","id":[6],"method":"ping"})", nullptr, RpcCode::kInvalidRequest, "id"},
        {R"({"jsonrpc":"2.0","id":7})", 7, RpcCode::kInvalidRequest, "method"},
        {Call("8", "ping", "3"), 8, RpcCode::kInvalidRequest, "params"},
        {Call(R"("nine")", "ping", "{}") + "\r", "nine", 0, ""},
        {Call("10", "tools/call", R"({"name":"frobnicate"})"), 10, RpcCode::kInvalidParams,
         R"(no tool is named "frobnicate": the tools are list_windows, dump_window)"},
        {Call("11", "tools/call", R"({"arguments":{}})"), 11, RpcCode::kInvalidParams, "name"},
        {ToolCall(12, "dump_window", "{}"), 12, RpcCode::kInvalidParams,
         "dump_window needs one of handle, title, titleContains, class, pid"},
        {ToolCall(14, "dump_window", R"({"title":"a","maxDepth":"3"})"), 14,
         RpcCode::kInvalidParams, "maxDepth is a whole number from 0 to"},
        {ToolCall(16, "dump_window", R"({"title":"a","depth":1})"), 16, RpcCode::kInvalidParams,
         R"(dump_window has no argument "depth": it takes handle)"},
        {ToolCall(18, "find_controls", R"({"text":"(","regex":true})"), 18, RpcCode::kInvalidParams,
         R"(text "(" is not a regular expression)"},
        {ToolCall(19, "dump_window", R"({"handle":"x1"})"), 19, RpcCode::kInvalidParams,
         "handle must be a window handle"},
        {ToolCall(20, "wait_for_text", R"({"title":"a","path":"Edit#7"})"), 20,
         RpcCode::kInvalidParams, "wait_for_text needs one of text, textContains"},
        {ToolCall(21, "list_windows", "[]"), 21, RpcCode::kInvalidParams,
         "arguments are an object"},
        {ToolCall(22, "dump_window", R"({"at":"5,10"})"), 22, RpcCode::kInvalidParams,
         R"(at is an object {"x": X, "y": Y} of whole pixels)"},
        {ToolCall(23, "dump_window", R"({"at":{"x":5}})"), 23, RpcCode::kInvalidParams,
         R"(at is an object)"},
        {ToolCall(24, "dump_window", R"({"at":{"x":5,"y":4294967296}})"), 24,
         RpcCode::kInvalidParams, R"(at is an object)"},
        {ToolCall(25, "dump_window", R"({"foreground":true,"title":"a"})"), 25,
         RpcCode::kInvalidParams, "takes one of foreground and title, not both"},
        {ToolCall(26, "dump_window", R"({"foreground":false})"), 26, RpcCode::kInvalidParams,
         "dump_window needs one of handle, title, titleContains, class, pid, foreground, at"},
    };
    for (const auto& each : cases) {
        input.text += each.line + "\n";
    }
    const std::vector<Json> answers = Served();
    auto answer = answers.begin();
    for (const auto& each : cases) {
        SCOPED_TRACE(each.line);
        if (each.id.is_discarded()) {
            continue;
        }
        ASSERT_NE(answer, answers.end());
        EXPECT_EQ((*answer)["jsonrpc"], "2.0");
        EXPECT_EQ((*answer)["id"], each.id);
        if (each.code == 0) {
            EXPECT_EQ((*answer)["result"], Json::object());
        } else {
            EXPECT_EQ((*answer)["error"]["code"], each.code);
            EXPECT_NE((*answer)["error"]["message"].get<std::string>().find(each.said),
                      std::string::npos)
                << (*answer)["error"]["message"];
        }
        ++answer;
    }
    EXPECT_EQ(answer, answers.end());
}

TEST_F(ServeTest, IdsComeBackAsWrittenAndTooDeepANestingIsRefusedWhileTheServerGoesOn) {
    const std::string deep = std::string(30000, '[') + std::string(30000, ']');
    const std::string tooDeep =
        R"({"jsonrpc":"2.0","id":null,"error":{"code":-32600,"message":"the message nests )"
        R"(arrays and objects deeper than 512 levels"}})";
    const std::string notJson =
        R"({"jsonrpc":"2.0","id":null,"error":{"code":-32700,"message":"the line is not JSON"}})";
    const std::pair<std::string, std::string> cases[] = {
        {R"({"jsonrpc":"2.0","id":1234567890123456789012345678901234567890,"method":"ping"})",
         R"({"jsonrpc":"2.0","id":1234567890123456789012345678901234567890,"result":{}})"},
        {R"( { "id" : 1e400 , "jsonrpc":"2.0","method":"ping"})",
         R"({"jsonrpc":"2.0","id":1e400,"result":{}})"},
        {R"({"params":{"id":3},"x":[{"id":4}],"jsonrpc":"2.0","id":-0.50,"method":"ping"})",
         R"({"jsonrpc":"2.0","id":-0.50,"result":{}})"},
        {R"({"jsonrpc":"2.0","id":"x","method":"ping","params":)" + deep + "}", tooDeep},
        {R"({"jsonrpc":"2.0","method":"ping","id":)" + deep + "}", tooDeep},
        {R"({"jsonrpc":"2.0","id":01,"method":"ping"})", notJson},
        {R"({"jsonrpc":"2.0","id":1e400,"method":"ping","params":[1e400]})", notJson},
        {Call("5", "ping", "[[[[1]]]]"), R"({"jsonrpc":"2.0","id":5,"result":{}})"},
    };
    for (const auto& [line, answer] : cases) {
        input.text += line + "\n";
    }
    const std::vector<std::string> answers = ServedLines();
    ASSERT_EQ(answers.size(), std::size(cases));
    for (std::size_t each = 0; each < answers.size(); ++each) {
        EXPECT_EQ(answers[each], cases[each].second) << cases[each].first.substr(0, 80);
    }
}

TEST_F(ServeTest, AnOverLongLineIsRefusedAndAnInputClosedMidMessageEndsTheServer) {
    // 65 blocks of 64 KiB: over the cap of 4 MiB, which the server never holds whole.
    input.text.assign(std::size_t{65} << 16, 'x');
    for (const std::string& line : {Call("1", "initialize", R"({"protocolVersion":"2024-11-05"})"),
                                    Call("2", "initialize", R"({"protocolVersion":"1999-01-01"})"),
                                    Call("3", "tools/list", "{}")}) {
        input.text.append("\n").append(line);
    }
    input.text.append("\n").append(R"({"jsonrpc":"2.0","id":4,"meth)");
    const std::vector<Json> answers = Served();
    ASSERT_EQ(answers.size(), 4u);
    EXPECT_EQ(answers[0]["error"]["code"], RpcCode::kInvalidRequest);
    EXPECT_EQ(answers[0]["error"]["message"],
              "the line of 4259840 bytes is over the cap of 4194304 bytes a message: it was "
              "dropped");
    // The version asked when it is one of the server's, else its latest.
    EXPECT_EQ(answers[1]["result"]["protocolVersion"], "2024-11-05");
    EXPECT_EQ(answers[2]["result"]["protocolVersion"], "2025-11-25");
    EXPECT_EQ(answers[1]["result"]["serverInfo"]["name"], "tessivane-cli");
    EXPECT_TRUE(answers[1]["result"]["capabilities"].contains("tools"));
    const Json& tools = answers[3]["result"]["tools"];
    std::vector<std::string> names;
    for (const Json& tool : tools) {
        names.push_back(tool["name"]);
        EXPECT_EQ(tool["inputSchema"]["type"], "object");
        EXPECT_EQ(tool["annotations"]["readOnlyHint"], true);
        for (const auto& [name, property] : tool["inputSchema"]["properties"].items()) {
            EXPECT_FALSE(property.value("description", "").empty()) << name;
        }
    }
    EXPECT_EQ(names, (std::vector<std::string>{"list_windows", "dump_window", "find_controls",
                                               "read_items", "wait_for_text"}));
}

TEST_F(ServeTest, ToolsGiveTheCommandLinesOwnDocuments) {
    const std::string handle = std::to_string(top);
    cli.desktop.foreground = top;
    cli.desktop.At(top).rect = {0, 0, 100, 100};
    cli.desktop.At(edit).rect = {10, 10, 50, 30};
    cli.items.Link(list, cli.items.fake.AddTexts(ItemsKind::ListBox, {u"alpha", u"beta"}));
    const struct {
        std::string tool;
        Json arguments;
        std::vector<std::string> command;
    } cases[] = {
        {"list_windows", {{"all", true}}, {"list", "--all", "-f", "json"}},
        {"dump_window", {{"handle", top}}, {"dump", "--handle", handle, "-f", "json"}},
        {"dump_window",
         {{"title", "Main window"}, {"path", "Edit#7"}, {"maxDepth", 0}, {"timeoutMs", 200}},
         {"dump", "--title", "Main window", "--path", "Edit#7", "--max-depth", "0", "--timeout",
          "200", "-f", "json"}},
        {"find_controls",
         {{"textContains", "WORK"}, {"ignoreCase", true}, {"handle", handle}},
         {"find", "--text-contains", "WORK", "--ignore-case", "--handle", handle, "-f", "json"}},
        {"dump_window",
         {{"foreground", true}, {"maxDepth", 0}},
         {"dump", "--foreground", "--max-depth", "0", "-f", "json"}},
        {"find_controls",
         {{"foreground", true}, {"class", "Edit"}},
         {"find", "--foreground", "--class", "Edit", "-f", "json"}},
        {"dump_window", {{"at", {{"x", 15}, {"y", 15}}}}, {"dump", "--at", "15,15", "-f", "json"}},
        {"read_items",
         {{"handle", top}, {"path", "ListBox#8"}},
         {"dump", "--handle", handle, "--path", "ListBox#8", "--items", "--max-depth", "0", "-f",
          "json"}},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.tool + " " + each.arguments.dump());
        cli.console = RecordingConsole();
        ASSERT_EQ(cli.Run(each.command), 0) << cli.console.error;
        const Json document = Json::parse(cli.console.out);
        const Json result = Called(each.tool, each.arguments);
        EXPECT_EQ(result["isError"], false);
        EXPECT_EQ(result["structuredContent"], document);
        ASSERT_EQ(result["content"].size(), 1u);
        EXPECT_EQ(result["content"][0], Json({{"type", "text"}, {"text", JsonText(document)}}));
    }
}

TEST_F(ServeTest, FailuresAreResultsThatSayWhyAndAHungWindowEndsInItsTimeOut) {
    const Json missing = Called("dump_window", {{"title", "No such window"}});
    EXPECT_EQ(missing["isError"], true);
    EXPECT_FALSE(missing.contains("structuredContent"));
    EXPECT_EQ(missing["content"][0]["text"],
              "tessivane-cli: no window has the title \"No such window\" among the window list's "
              "windows (all looks at every top-level window)");

    cli.desktop.At(edit).thread = 2;
    cli.desktop.HangThread(2);
    const Json hung = Called("dump_window", {{"handle", top}});
    EXPECT_EQ(hung["isError"], false);
    EXPECT_EQ(hung["structuredContent"]["summary"]["timedOut"], 1);
    ASSERT_EQ(hung["content"].size(), 2u);
    EXPECT_EQ(hung["content"][1]["text"], "tessivane-cli: 1 window did not answer in time");
}

TEST_F(ServeTest, ReadItemsOfAControlWithoutItemsSaysSo) {
    const Json result = Called("read_items", {{"handle", edit}});
    EXPECT_EQ(result["isError"], false);
    EXPECT_FALSE(result["structuredContent"]["window"].contains("items"));
    ASSERT_EQ(result["content"].size(), 2u);
    EXPECT_TRUE(result["content"][1]["text"].get<std::string>().starts_with(
        "the control (Edit) holds no items"));
}

// A list whose items cannot be read says why in a second text beside the document.
TEST_F(ServeTest, ReadItemsOfAListWithoutTextsSaysWhyBesideTheDocument) {
    FakeRemoteItems::Control drawn;
    drawn.rows = {{u"one"}, {u"two"}, {u"three"}};
    drawn.keepsStrings = false;
    const struct {
        WindowHandle fake;
        const char* status;
        const char* note;
    } cases[] = {
        {cli.items.fake.AddTexts(ItemsKind::ListBox, {u"", u"", u""}), "noText",
         "the program gave no text for its 3 rows: it may draw them itself"},
        {cli.items.fake.Add(drawn), "noTexts",
         "the ListBox draws its items itself and keeps no texts: it holds 3 items that cannot be "
         "read"},
    };
    for (const auto& [fake, status, note] : cases) {
        cli.items.Link(list, fake);
        const Json result = Called("read_items", {{"handle", list}});
        EXPECT_EQ(result["structuredContent"]["window"]["items"]["status"], status);
        ASSERT_EQ(result["content"].size(), 2u);
        EXPECT_EQ(result["content"][1]["text"], note);
    }
}

TEST_F(ServeTest, AResultOverTheCapIsCutWithANoteAndTheWalkStopsThere) {
    const Text longText(4000, u'w');
    for (int window = 0; window < 400; ++window) {
        Add(top, u"Static", longText, window);
    }
    const Json result = Called("dump_window", {{"handle", top}});
    EXPECT_EQ(result["isError"], false);
    EXPECT_FALSE(result.contains("structuredContent"));
    const std::string text = result["content"][0]["text"];
    EXPECT_LE(text.size(), kMaxResultBytes + 300);
    EXPECT_NE(text.find("[cut: the result reached its cap of 1048576 bytes"), std::string::npos);
    EXPECT_NE(text.find("maxDepth"), std::string::npos);
    // Each window's text is 4,000 bytes: the walk stopped after about 260 of the 400.
    EXPECT_LT(cli.desktop.textRequests.size(), 300u);
}

TEST_F(ServeTest, WaitForTextPollsUntilTheTextShowsOrSaysItDidNotWithinTheTime) {
    int reads = 0;
    cli.desktop.onTextRequest = [&](WindowHandle window) {
        if (window == edit && ++reads == 3) {
            cli.desktop.At(edit).text = u"Done: 3 files";
        } else if (window == edit && reads == 5) {
            cli.desktop.At(edit).text = u"Done: 4 files";
        }
    };
    const Json shown = Called(
        "wait_for_text",
        {{"handle", top}, {"path", "Edit#7"}, {"textContains", "done"}, {"ignoreCase", true}});
    EXPECT_EQ(shown["isError"], false);
    EXPECT_EQ(shown["structuredContent"]["window"]["text"], "Done: 3 files");
    EXPECT_EQ(shown["structuredContent"]["waited"], Json({{"shown", true}, {"ms", 200}}));
    EXPECT_EQ(Json::parse(shown["content"][0]["text"].get<std::string>()),
              shown["structuredContent"]);

    const Json late =
        Called("wait_for_text",
               {{"handle", top}, {"path", "Edit#7"}, {"text", "Finished"}, {"timeoutMs", 250}});
    EXPECT_EQ(late["isError"], true);
    EXPECT_EQ(late["structuredContent"]["waited"], Json({{"shown", false}, {"ms", 250}}));
    EXPECT_EQ(late["content"][1]["text"],
              "the text \"Finished\" did not show within 250 ms: the control's text is "
              "\"Done: 4 files\"");
    EXPECT_EQ(pauses, (std::vector<std::chrono::milliseconds>{100ms, 100ms, 50ms}));
}

TEST(ServeCommandLine, TakesNoOptions) {
    const ParsedCommandLine serve = ParseCommandLine({"serve"});
    ASSERT_TRUE(serve.request);
    EXPECT_TRUE(std::holds_alternative<ServeRequest>(*serve.request));
    EXPECT_EQ(ParseCommandLine({"serve", "now"}).error,
              "tessivane-cli: serve takes no word \"now\" (see tessivane-cli serve --help)\n");
}
