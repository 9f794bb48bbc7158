#include "messages.h"
#include "tzvParser.h"

namespace {

struct stopSet {
    bool bytes[256] = {};
    constexpr stopSet(unsigned char a, unsigned char b)
    {
        bytes[a] = bytes[b] = true;
        bytes[static_cast<unsigned char>('\n')] = true; // every run counts its lines
    }
};

constexpr stopSet tagStops('>', '\0');
constexpr stopSet textStops('<', '\0');

bool startsWith(const std::string& text, std::string_view prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

// Appends the bytes up to the first stop byte to `into`, keeping line and
// column; returns the stop byte, left unread, or the end of input.
int tzvParser::collectUntil(const bool (&stops)[256], std::string& into)
{
    while (input.fill()) {
        const unsigned char* from = input.next();
        const unsigned char* stop = input.limit();
        const unsigned char* p = from;
        while (p < stop && !stops[*p])
            ++p;
        into.append(reinterpret_cast<const char*>(from), static_cast<std::size_t>(p - from));
        column += static_cast<std::uint32_t>(p - from);
        if (p == stop) {
            input.advance(p);
            continue;
        }
        if (*p != '\n') {
            input.advance(p);
            return *p;
        }
        into.push_back('\n');
        ++line;
        column = 1;
        input.advance(p + 1);
    }
    return kavrin::textReader::endOfInput;
}

void tzvParser::readMarkup()
{
    namespace text = kavrin::messages;
    currentTag.clear();
    skipWhitespace();
    if (!input.fill())
        throw Error(text::leadIn, line, column, text::unclosedDetail);
    if (readChar() != '<')
        throw Error(text::leadIn, line, column - 1, text::markupDetail);
    switch (collectUntil(tagStops.bytes, currentTag)) {
    case '>':
        readChar();
        return;
    case '\0':
        throw Error(text::encoding);
    default:
        throw Error(text::leadIn, line, column, text::unclosedDetail);
    }
}

void tzvParser::nextTag()
{
    do
        readMarkup();
    while (isComment());
}

// "!--" and "--" may overlap: "!--" and "!---" are comments too.
bool tzvParser::isComment() const
{
    return startsWith(currentTag, "!--") && currentTag.compare(currentTag.size() - 2, 2, "--") == 0;
}

void tzvParser::readText()
{
    currentText.clear();
    tokenLine = line;
    tokenColumn = column;
    if (collectUntil(textStops.bytes, currentText) == '\0')
        throw Error(kavrin::messages::encoding);
}

void tzvParser::expectTag(std::string_view name) const
{
    if (currentTag == name)
        return;
    failAtItem(name.front() == '/' ? kavrin::messages::unclosedDetail : kavrin::messages::elementDetail);
}

void tzvParser::expectMatchingTag(std::string_view name) const
{
    if (currentTag == name)
        return;
    const bool endTagForEndTag = name.front() == '/' && startsWith(currentTag, "/");
    failAtItem(endTagForEndTag ? kavrin::messages::unclosedDetail : kavrin::messages::elementDetail);
}

void tzvParser::failAtItem(std::string_view detail) const
{
    throw Error(kavrin::messages::leadIn, tokenLine, tokenColumn, detail);
}

void tzvParser::failInText(std::size_t offset) const
{
    throw Error(kavrin::messages::leadIn, tokenLine, tokenColumn + static_cast<std::uint32_t>(offset),
        kavrin::messages::contentDetail);
}
