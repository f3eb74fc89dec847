// JSON-RPC 2.0's messages, read and written.
#include "serve/JsonRpc.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace {

constexpr char kVersion[] = "2.0";

RpcRefused Invalid(std::string message, RpcId id = kNoRpcId) {
    return {RpcError(RpcCode::kInvalidRequest, std::move(message)), std::move(id)};
}

// A request's id may be a string, a number or null.
bool IsId(const Json& id) {
    return id.is_string() || id.is_number() || id.is_null();
}

bool IsBlank(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n';
}

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
    return at;
}

// Where the JSON value that starts at `at` ends (one past it); npos when the text ends first.
std::size_t ValueEnd(std::string_view text, std::size_t at) {
    JsonStringTracker strings;
    std::size_t depth = 0;
    for (; at < text.size(); ++at) {
        const char byte = text[at];
        if (strings.InString(byte)) {
            if (depth == 0 && byte == '"' && !strings.Open()) {
                return at + 1;
            }
        } else if (byte == '[' || byte == '{') {
            ++depth;
        } else if (byte == ']' || byte == '}') {
            if (depth == 0) {
                return at;  // the close of what holds the value
            }
            if (--depth == 0) {
                return at + 1;
            }
        } else if (depth == 0 && (byte == ',' || IsBlank(byte))) {
            return at;
        }
    }
    return depth == 0 && !strings.Open() ? at : std::string_view::npos;
}

bool IsDigit(char byte) {
    return byte >= '0' && byte <= '9';
}

// Whether the text is one JSON number, as JSON writes them.
bool IsJsonNumber(std::string_view text) {
    std::size_t at = 0;
    const auto digits = [&] {
        const std::size_t from = at;
        while (at < text.size() && IsDigit(text[at])) {
            ++at;
        }
        return at > from;
    };
    const auto next = [&](std::string_view bytes) {
        const bool is = at < text.size() && bytes.find(text[at]) != std::string_view::npos;
        at += is ? 1 : 0;
        return is;
    };
    next("-");
    if (!next("0") && !digits()) {
        return false;
    }
    if (next(".") && !digits()) {
        return false;
    }
    if (next("eE") && (next("+-"), !digits())) {
        return false;
    }
    return at == text.size();
}

// Where the message's own member "id" holds a number: its offset and length in the line.
std::optional<std::pair<std::size_t, std::size_t>> NumberIdAt(std::string_view line) {
    std::size_t at = SkipBlanks(line, 0);
    if (at >= line.size() || line[at] != '{') {
        return std::nullopt;
    }
    at = SkipBlanks(line, at + 1);
    while (at < line.size() && line[at] == '"') {
        const std::size_t keyEnd = ValueEnd(line, at);
        const bool isId = line.substr(at, keyEnd - at) == "\"id\"";
        at = SkipBlanks(line, keyEnd);
        if (at >= line.size() || line[at] != ':') {
            return std::nullopt;
        }
        at = SkipBlanks(line, at + 1);
        const std::size_t valueEnd = ValueEnd(line, at);
        if (valueEnd == std::string_view::npos) {
            return std::nullopt;
        }
        if (isId) {
            const std::string_view value = line.substr(at, valueEnd - at);
            return IsJsonNumber(value) ? std::optional(std::pair(at, value.size())) : std::nullopt;
        }
        at = SkipBlanks(line, valueEnd);
        if (at >= line.size() || line[at] != ',') {
            return std::nullopt;
        }
        at = SkipBlanks(line, at + 1);
    }
    return std::nullopt;
}

}  // namespace

RpcMessage ReadRpcMessage(std::string_view line) {
    if (std::all_of(line.begin(), line.end(),
                    [](char byte) { return byte == ' ' || byte == '\t'; })) {
        return RpcNothing{};
    }
    if (NestedTooDeeplyAt(line)) {
        return Invalid("the message nests arrays and objects deeper than " +
                       std::to_string(kDeepestJsonNesting) + " levels");
    }
    // A number as id is given back as written; the parser sees a 0 in its place, which it can
    // neither round nor find too large.
    std::string readable;
    std::optional<RpcId> numberId;
    if (const auto at = NumberIdAt(line)) {
        numberId = RpcId(line.substr(at->first, at->second));
        readable.append(line.substr(0, at->first)).append("0");
        readable.append(line.substr(at->first + at->second));
    } else {
        readable = line;
    }
    Json message = Json::parse(readable, nullptr, false);
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
    const RpcId knownId = numberId              ? *numberId
                          : id != message.end() ? JsonText(*id)
                                                : RpcId(kNoRpcId);
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
        call.id = knownId;
    }
    if (const auto params = message.find("params"); params != message.end()) {
        if (!params->is_object() && !params->is_array()) {
            return Invalid("a request's params are an object or an array", knownId);
        }
        call.params = std::move(*params);
    }
    return call;
}

namespace {

// An answer's line: its version, the id it answers, then its result or error (JSON text).
std::string AnswerLine(std::string_view id, std::string_view member, std::string_view value) {
    std::string line = OpenObjectText({{"jsonrpc", kVersion}});
    for (const std::string_view part :
         {std::string_view(",\"id\":"), id, std::string_view(",\""), member,
          std::string_view("\":"), value, std::string_view("}\n")}) {
        line += part;
    }
    return line;
}

}  // namespace

std::string RpcResultLine(std::string_view id, std::string_view result) {
    return AnswerLine(id, "result", result);
}

std::string RpcErrorLine(std::string_view id, const RpcError& error) {
    return AnswerLine(id, "error", JsonText({{"code", error.code}, {"message", error.message}}));
}
