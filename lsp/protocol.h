#pragma once

#include "positions.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <stdexcept>
#include <string>
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
inline constexpr int requestCancelled = -32800;
inline constexpr int contentModified = -32801;
inline constexpr int requestFailed = -32803;

inline constexpr int severityError = 1;
inline constexpr int severityInformation = 3;
inline constexpr int syncIncremental = 2;

// Messages nested deeper are refused before they are parsed: the parser
// recurses, and no message of the protocol comes near this.
inline constexpr int maxNesting = 64;

bool nestedDeeperThan(std::string_view body, int limit);

// JSON-RPC ids are strings or numbers; only those are echoed.
bool isValidId(const json& id);

// Parameters of a request that are JSON of the right shape but no value the
// protocol allows, answered with invalidParams.
class badParams : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

json positionJson(editorPosition position);
// Throws badParams unless line and character are non-negative integers that
// fit: a number in any other form has no place in a text.
editorPosition positionFrom(const json& position);
json rangeJson(editorPosition start, editorPosition end);

// JSON text written as it goes, for an answer too large to build as values
// first: the outline of a file of 13,000 tips.
class jsonText {
public:
    jsonText& raw(std::string_view text);
    jsonText& string(std::string_view text);
    jsonText& number(std::uint64_t value);
    jsonText& range(editorPosition start, editorPosition end);
    std::string text;
};

json notification(std::string_view method, json params);
json response(const json& id, json result);
// A response whose result is JSON text already.
std::string responseText(const json& id, std::string_view result);
json errorResponse(const json& id, int code, std::string_view message);

} // namespace kavrin::lsp::protocol
