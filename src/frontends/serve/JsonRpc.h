// JSON-RPC 2.0, one message a line: what a line asks, and the lines that answer it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "documents/JsonText.h"

namespace RpcCode {
inline constexpr int kParseError = -32700;
inline constexpr int kInvalidRequest = -32600;
inline constexpr int kMethodNotFound = -32601;
inline constexpr int kInvalidParams = -32602;
inline constexpr int kInternalError = -32603;
}  // namespace RpcCode

// A request that cannot be answered with a result: its error's code and message.
class RpcError {
public:
    RpcError(int code, std::string message) : code(code), message(std::move(message)) {}

    int code;
    std::string message;
};

// A request's id as its answer gives it back: JSON text, a number as it was written (all 40
// digits of a long one, and one beyond a double's range too).
using RpcId = std::string;
// The id of an answer to a line whose id could not be read.
inline constexpr char kNoRpcId[] = "null";

// A request (with an id, to be answered) or a notification (without one, never answered).
struct RpcCall {
    std::optional<RpcId> id;
    std::string method;
    // An object or an array; an empty object when the message has none.
    Json params = Json::object();
};

// What the peer sent that asks for nothing: an answer to a request, or a blank line.
struct RpcNothing {};

// A line that is no message that can be run: the error that answers it, with the line's id
// when it could be read, else null.
struct RpcRefused {
    RpcError error;
    RpcId id = kNoRpcId;
};

using RpcMessage = std::variant<RpcCall, RpcNothing, RpcRefused>;

// What the line asks: a call, nothing, or an error that the line itself is (not JSON, nested
// deeper than kDeepestJsonNesting, not a request, a batch).
[[nodiscard]] RpcMessage ReadRpcMessage(std::string_view line);

// The line that answers the request with id: its result (as JSON text), or its error.
[[nodiscard]] std::string RpcResultLine(std::string_view id, std::string_view result);
[[nodiscard]] std::string RpcErrorLine(std::string_view id, const RpcError& error);
