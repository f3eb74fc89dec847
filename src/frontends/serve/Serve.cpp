// The server's loop: lines in, answers out, each request run to its end before the next.
#include "serve/Serve.h"

#include <array>
#include <string>
#include <variant>

#include "Version.h"
#include "core/ExitCodes.h"
#include "core/Steps.h"
#include "serve/JsonRpc.h"
#include "serve/LineFramer.h"

namespace {

// The protocol's versions this server speaks, the latest first.
constexpr std::array<std::string_view, 4> kProtocolVersions{"2025-11-25", "2025-06-18",
                                                            "2025-03-26", "2024-11-05"};

constexpr std::size_t kReadBlockBytes = std::size_t{1} << 16;

constexpr char kInstructions[] =
    "Reads the texts of other programs' windows over plain window messages: the desktop's "
    "windows, a window's tree of controls with their texts, states and paths, the items of "
    "lists, trees and other controls. It only reads: nothing is clicked, typed or changed. Every "
    "read is bounded: a window that does not answer in time gets the status timedOut.";

Json Initialized(const Json& params) {
    std::string_view version = kProtocolVersions.front();
    const auto asked = params.find("protocolVersion");
    if (asked != params.end() && asked->is_string()) {
        for (const std::string_view known : kProtocolVersions) {
            if (known == asked->get<std::string>()) {
                version = known;
            }
        }
    }
    return {{"protocolVersion", version},
            {"capabilities", {{"tools", {{"listChanged", false}}}}},
            {"serverInfo",
             {{"name", kProgramName},
              {"title", "Tessivane Window Text Reader"},
              {"version", TESSIVANE_VERSION_TEXT}}},
            {"instructions", kInstructions}};
}

std::string ToolCalled(const Json& params, ToolServices& tools) {
    const auto name = params.find("name");
    if (!params.is_object() || name == params.end() || !name->is_string()) {
        throw RpcError(RpcCode::kInvalidParams, "tools/call needs the tool's name, as a string");
    }
    const Json arguments = params.value("arguments", Json::object());
    return CallTool(name->get<std::string>(), arguments.is_null() ? Json::object() : arguments,
                    tools)
        .Text();
}

// The request's result as JSON text.
std::string Answered(const RpcCall& call, ToolServices& tools) {
    if (call.method == "initialize") {
        return JsonText(Initialized(call.params));
    }
    if (call.method == "ping") {
        return JsonText(Json::object());
    }
    if (call.method == "tools/list") {
        return JsonText({{"tools", ToolDescriptions()}});
    }
    if (call.method == "tools/call") {
        return ToolCalled(call.params, tools);
    }
    throw RpcError(RpcCode::kMethodNotFound, "no method is named \"" + call.method + "\"");
}

// The line that answers the message line; empty for a notification and for what asks nothing.
std::string Answer(const FramedLine& line, ToolServices& tools) {
    if (line.overLong) {
        return RpcErrorLine(
            kNoRpcId,
            RpcError(RpcCode::kInvalidRequest,
                     "the line of " + std::to_string(line.bytes) + " bytes is over the cap of " +
                         std::to_string(kMaxMessageBytes) + " bytes a message: it was dropped"));
    }
    const RpcMessage message = ReadRpcMessage(line.text);
    if (const auto* refused = std::get_if<RpcRefused>(&message)) {
        return RpcErrorLine(refused->id, refused->error);
    }
    const auto* call = std::get_if<RpcCall>(&message);
    if (call == nullptr || !call->id) {
        // A notification: none asks for an answer, and none that this server takes needs work.
        return {};
    }
    try {
        return RpcResultLine(*call->id, Answered(*call, tools));
    } catch (const RpcError& error) {
        return RpcErrorLine(*call->id, error);
    } catch (...) {
        return RpcErrorLine(*call->id,
                            RpcError(RpcCode::kInternalError,
                                     TextToUtf8(DescribeFailure(std::current_exception()))));
    }
}

}  // namespace

int Serve(ServeServices& services) {
    LineFramer framer(kMaxMessageBytes);
    std::string block(kReadBlockBytes, '\0');
    bool readerGone = false;
    const auto answer = [&](const FramedLine& line) {
        if (readerGone) {
            return;
        }
        if (const std::string text = Answer(line, services.tools); !text.empty()) {
            try {
                services.console.Out(text);
            } catch (const OutputClosed&) {
                readerGone = true;
            }
        }
    };
    while (!readerGone) {
        const std::size_t read = services.input.Read(block);
        if (read == 0) {
            break;
        }
        framer.Feed(std::string_view(block).substr(0, read), answer);
    }
    return ExitCode::kDone;
}
