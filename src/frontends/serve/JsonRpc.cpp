// JSON-RPC 2.0's messages, read and written.
#include "serve/JsonRpc.h"

#include <algorithm>

namespace {

constexpr char kVersion[] = "2.0";

RpcRefused Invalid(std::string message, Json id = nullptr) {
    return {RpcError(RpcCode::kInvalidRequest, std::move(message)), std::move(id)};
}

// A request's id may be a string, a number or null.
bool IsId(const Json& id) {
    return id.is_string() || id.is_number() || id.is_null();
}

}  // namespace

RpcMessage ReadRpcMessage(std::string_view line) {
    if (std::all_of(line.begin(), line.end(),
                    [](char byte) { return byte == ' ' || byte == '\t'; })) {
        return RpcNothing{};
    }
    Json message = Json::parse(line, nullptr, false);
    if (message.is_discarded()) {
        return RpcRefused{RpcError(RpcCode::kParseError, "the line is not JSON")};
    }
    if (message.is_array()) {
        return Invalid("batches are not taken: send one message a line");
    }
    if (!message.is_object()) {
        return Invalid("a message is a JSON object");
    }
    const auto id = message.find("id");
    if (id != message.end() && !IsId(*id)) {
        return Invalid("a request's id is a string or a number");
    }
    const Json knownId = id != message.end() ? *id : Json();
    if (message.value("jsonrpc", Json()) != kVersion) {
        return Invalid("a message needs \"jsonrpc\":\"2.0\"", knownId);
    }
    const auto method = message.find("method");
    if (method == message.end() && (message.contains("result") || message.contains("error"))) {
        // An answer: this server sends no requests, so it waits for none.
        return RpcNothing{};
    }
    if (method == message.end() || !method->is_string()) {
        return Invalid("a request needs a method, as a string", knownId);
    }
    RpcCall call;
    call.method = method->get<std::string>();
    if (id != message.end()) {
        call.id = *id;
    }
    if (const auto params = message.find("params"); params != message.end()) {
        if (!params->is_object() && !params->is_array()) {
            return Invalid("a request's params are an object or an array", knownId);
        }
        call.params = std::move(*params);
    }
    return call;
}

std::string RpcResultLine(const Json& id, std::string_view result) {
    return OpenObjectText({{"jsonrpc", kVersion}, {"id", id}}) +
           ",\"result\":" + std::string(result) + "}\n";
}

std::string RpcErrorLine(const Json& id, const RpcError& error) {
    Json line{{"jsonrpc", kVersion}, {"id", id}};
    line["error"] = {{"code", error.code}, {"message", error.message}};
    return JsonText(line) + "\n";
}
