#pragma once

#include "positions.h"

#include <nlohmann/json.hpp>

#include <string_view>

// The parts of JSON-RPC and the Language Server Protocol that kavrin-lsp
// speaks, as plain values and conversions.
namespace kavrin::lsp::protocol {

using nlohmann::json;

// JSON-RPC and protocol error codes.
inline constexpr int parseError = -32700;
inline constexpr int invalidRequest = -32600;
inline constexpr int methodNotFound = -32601;
inline constexpr int invalidParams = -32602;
inline constexpr int serverNotInitialized = -32002;

inline constexpr int severityError = 1;
inline constexpr int syncIncremental = 2;

// Messages nested deeper are refused before they are parsed: the parser
// recurses, and no message of the protocol comes near this.
inline constexpr int maxNesting = 64;

bool nestedDeeperThan(std::string_view body, int limit);

// JSON-RPC ids are strings or numbers; only those are echoed.
bool isValidId(const json& id);

json positionJson(editorPosition position);
editorPosition positionFrom(const json& position);
json rangeJson(editorPosition start, editorPosition end);

json notification(std::string_view method, json params);
json response(const json& id, json result);
json errorResponse(const json& id, int code, std::string_view message);

} // namespace kavrin::lsp::protocol
