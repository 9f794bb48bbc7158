#include "checker.h"
#include "codes.h"
#include "messages.h"
#include "reasons.h"
#include "utf8.h"

#include <array>

namespace {

// The declaration is compared with fixed texts at fixed byte offsets of the
// item; the byte at offset k stands in column tokenColumn + 1 + k.
constexpr std::size_t versionOffset = 5;
constexpr std::size_t versionValueOffset = 13;
constexpr std::size_t separatorOffset = 18;
constexpr std::size_t encodingOffset = 19;
constexpr std::size_t encodingValueOffset = 28;
constexpr std::size_t closingOffset = 35;

constexpr std::array<std::string_view, 8> encodingValues = {
    "\"UTF-8\"",
    "'UTF-8'",
    "\"utf-8\"",
    "'utf-8'",
    "\"ASCII\"",
    "'ASCII'",
    "\"ascii\"",
    "'ascii'",
};

bool byteAt(std::string_view item, std::size_t offset, char expected)
{
    return offset < item.size() && item[offset] == expected;
}

} // namespace

bool kavrin::detail::checker::checkXmlDeclaration() const
{
    const std::string_view item = currentTag;
    if (!kavrin::utf8::holdsAt(item, 0, "?xml "))
        return false;
    const auto failAt = [this, item](std::size_t offset, std::string_view expected) {
        const std::string_view found = kavrin::utf8::wholeCharacters(item, offset, expected.size());
        throw Error(kavrin::messages::leadIn, tokenLine, tokenColumn + 1 + static_cast<std::uint32_t>(offset),
            offsetInToken(item, offset, tokenColumn + 1), kavrin::messages::contentDetail,
            kavrin::codes::badDeclaration, kavrin::reasons::badDeclaration(item, expected, found));
    };
    if (!kavrin::utf8::holdsAt(item, versionOffset, "version="))
        failAt(versionOffset, "version=");
    if (!kavrin::utf8::holdsAt(item, versionValueOffset, "\"1.0\"")
        && !kavrin::utf8::holdsAt(item, versionValueOffset, "'1.0'"))
        failAt(versionValueOffset, "\"1.0\"");
    if (byteAt(item, separatorOffset, '?') || kavrin::utf8::holdsAt(item, separatorOffset, " ?"))
        return true;
    if (!kavrin::utf8::holdsAt(item, encodingOffset, "encoding="))
        failAt(encodingOffset, "encoding=");
    bool knownEncoding = false;
    for (const std::string_view value : encodingValues)
        knownEncoding = knownEncoding || kavrin::utf8::holdsAt(item, encodingValueOffset, value);
    if (!knownEncoding) {
        const std::string_view value = item.substr(std::min(item.size(), encodingValueOffset));
        throw Error(kavrin::messages::encoding, kavrin::codes::unsupportedEncoding,
            kavrin::reasons::unsupportedEncoding(value.substr(0, value.find_first_of(" ?"))));
    }
    const std::size_t closing = byteAt(item, closingOffset, ' ') ? closingOffset + 1 : closingOffset;
    if (!byteAt(item, closing, '?'))
        failAt(closing, "?>");
    return true;
}
