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

namespace {

    constexpr const char* badPosition = "Eine Position ist keine ganze Zahl von 0 bis 4294967295.";

    // An integer the JSON holds signed or unsigned; never one with a
    // fraction or an exponent, whatever its value.
    std::uint32_t coordinate(const json& value)
    {
        const bool fits = value.is_number_unsigned()
            ? value.get<std::uint64_t>() <= UINT32_MAX
            : value.is_number_integer() && value.get<std::int64_t>() >= 0 && value.get<std::int64_t>() <= UINT32_MAX;
        if (!fits)
            throw badParams(badPosition);
        return static_cast<std::uint32_t>(value.get<std::uint64_t>());
    }

} // namespace

editorPosition positionFrom(const json& position)
{
    return { coordinate(position.at("line")), coordinate(position.at("character")) };
}

json rangeJson(editorPosition start, editorPosition end)
{
    return { { "start", positionJson(start) }, { "end", positionJson(end) } };
}

jsonText& jsonText::raw(std::string_view part)
{
    text.append(part);
    return *this;
}

// Texts are the client's UTF-8 or the server's own: only the characters
// JSON reserves are escaped.
jsonText& jsonText::string(std::string_view part)
{
    constexpr std::string_view hexDigits = "0123456789abcdef";
    text.push_back('"');
    for (const char c : part) {
        if (c == '"' || c == '\\') {
            text.push_back('\\');
            text.push_back(c);
        } else if (static_cast<unsigned char>(c) < 0x20) {
            text.append("\\u00");
            text.push_back(hexDigits[static_cast<unsigned char>(c) >> 4]);
            text.push_back(hexDigits[static_cast<unsigned char>(c) & 0xF]);
        } else {
            text.push_back(c);
        }
    }
    text.push_back('"');
    return *this;
}

jsonText& jsonText::number(std::uint64_t value)
{
    text.append(std::to_string(value));
    return *this;
}

jsonText& jsonText::range(editorPosition start, editorPosition end)
{
    return raw("{\"start\":{\"line\":")
        .number(start.line)
        .raw(",\"character\":")
        .number(start.character)
        .raw("},\"end\":{\"line\":")
        .number(end.line)
        .raw(",\"character\":")
        .number(end.character)
        .raw("}}");
}

json notification(std::string_view method, json params)
{
    return { { "jsonrpc", "2.0" }, { "method", method }, { "params", std::move(params) } };
}

json response(const json& id, json result)
{
    return { { "jsonrpc", "2.0" }, { "id", id }, { "result", std::move(result) } };
}

std::string responseText(const json& id, std::string_view result)
{
    return jsonText().raw("{\"jsonrpc\":\"2.0\",\"id\":").raw(id.dump()).raw(",\"result\":").raw(result).raw("}").text;
}

json errorResponse(const json& id, int code, std::string_view message)
{
    return { { "jsonrpc", "2.0" }, { "id", isValidId(id) ? id : json() },
        { "error", { { "code", code }, { "message", message } } } };
}

} // namespace kavrin::lsp::protocol
