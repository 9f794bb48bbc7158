#include "protocol.h"

namespace kavrin::lsp::protocol {

bool nestedDeeperThan(std::string_view body, int limit)
{
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : body) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit)
                return true;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

bool isValidId(const json& id) { return id.is_string() || id.is_number() || id.is_null(); }

json positionJson(editorPosition position)
{
    return { { "line", position.line }, { "character", position.character } };
}

editorPosition positionFrom(const json& position)
{
    return { position.at("line").get<std::uint32_t>(), position.at("character").get<std::uint32_t>() };
}

json rangeJson(editorPosition start, editorPosition end)
{
    return { { "start", positionJson(start) }, { "end", positionJson(end) } };
}

json notification(std::string_view method, json params)
{
    return { { "jsonrpc", "2.0" }, { "method", method }, { "params", std::move(params) } };
}

json response(const json& id, json result)
{
    return { { "jsonrpc", "2.0" }, { "id", id }, { "result", std::move(result) } };
}

json errorResponse(const json& id, int code, std::string_view message)
{
    return { { "jsonrpc", "2.0" }, { "id", isValidId(id) ? id : json() },
        { "error", { { "code", code }, { "message", message } } } };
}

} // namespace kavrin::lsp::protocol
