#pragma once

#include "format.h"

#include <cstddef>
#include <string_view>

// The canonical layout of a ticket file, the one that a file written from
// data has and that formatting gives: the declaration on the first line, then
// one element per line, indented two spaces a level; an element with a value
// stands with it on one line (<ziroTipp>03,11,19,27,38,45</ziroTipp>), an
// element of elements has its start and end tags on lines of their own.
// Every line ends with the file's line end, the last one too. A comment given
// with a file written from data stands on the line after the declaration.
namespace kavrin::layout {

inline constexpr std::string_view declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
inline constexpr std::string_view declarationStart = "<?xml";
inline constexpr std::string_view instructionOpen = "<?";
inline constexpr std::string_view instructionClose = "?>";
inline constexpr std::string_view commentOpen = "<!--";
inline constexpr std::string_view commentClose = "-->";
inline constexpr std::string_view cdataOpen = "<![CDATA[";
inline constexpr std::string_view indentUnit = "  ";
inline constexpr std::string_view commentStart = "<!-- ";
inline constexpr std::string_view commentEnd = " -->";

enum class lineEnd { lf, crLf };

constexpr std::string_view textOf(lineEnd end) { return end == lineEnd::crLf ? "\r\n" : "\n"; }

// A file keeps the line ends it has: CR LF when its first line break is one.
constexpr lineEnd lineEndOf(std::string_view bytes)
{
    const std::size_t lineFeed = bytes.find('\n');
    return lineFeed != std::string_view::npos && lineFeed > 0 && bytes[lineFeed - 1] == '\r' ? lineEnd::crLf
                                                                                             : lineEnd::lf;
}

// How many elements an element stands in: 0 for the root.
constexpr std::size_t depthOf(const format::element& e)
{
    std::size_t depth = 0;
    for (const format::element* at = &e; !at->parent.empty(); at = &format::row(at->parent))
        ++depth;
    return depth;
}

// An element with a value stands on one line with it.
constexpr bool onOneLine(const format::element& e) { return e.value != format::valueKind::none; }

} // namespace kavrin::layout
