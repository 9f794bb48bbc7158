#pragma once

#include "format.h"
#include "kavrin.h"
#include "reasons.h"
#include "textReader.h"
#include "ticketData.h"
#include "tzvParser.h"
#include "valueRules.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavrin::detail {

// The rules of a name, before anything is read: its violation, if any. The
// name is left as it is opened, without its surrounding quotes.
std::optional<violation> faultOfName(std::string& name);

// kavrin::check, which also puts a correct file's values into collected
// when it is given.
result checkCollecting(const source& what, const options& how, ticketFile* collected);

// The state of one check: the reader's place, the grammar and what was
// found. kavrin::check makes one for each input.
class checker {
public:
    using Error = tzvParser::Error;

    checker(std::string_view bytes, std::size_t bufferSize);

    // The content of the input: the first bytes, then the document. size is
    // the whole input's, which the bytes may be only the start of.
    void checkInput(std::uint64_t size);

    std::size_t maxViolations = 1;
    std::vector<violation> violations;
    bool violationsCut = false;
    fileSummary summary;
    // When set, the values the walk reads are put here, while the file is
    // still correct.
    ticketFile* collected = nullptr;

private:
    std::string currentTag;
    std::string currentText;
    std::string versionText;
    std::uint32_t line = 1;
    std::uint32_t column = 1;
    std::uint32_t tokenLine = 1;
    std::uint32_t tokenColumn = 1;
    // Input offsets of the start of the current line and of the token's line.
    std::uint64_t lineOffset = 0;
    std::uint64_t tokenLineOffset = 0;
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    // Only for reasons: whether the document began, and whether a comment
    // was just skipped inside an element.
    bool documentStarted = false;
    bool afterComment = false;
    std::uint64_t textStart = 0; // where the last element text began
    std::uint64_t textEnd = UINT64_MAX; // where the last element text ended
    struct place {
        std::uint32_t line = 0;
        std::uint32_t column = 0;
        std::uint64_t offset = 0;
    };
    place versionPlace;

    // The elements the walk is in, the root first, each with the child read
    // last in it and how many of that child in a row: what may follow.
    struct openElement {
        const format::element* row = nullptr;
        const format::element* lastChild = nullptr;
        std::uint32_t lastChildCount = 0;
        std::uint32_t childrenRead = 0; // format::bitOf each child read
    };
    static constexpr std::size_t deepest = 3; // uvra, schein, tipp
    openElement open[deepest];
    std::size_t depth = 0;
    // The element whose value is being read, up to its end tag.
    const format::element* openValue = nullptr;

    std::string_view sourceBytes;
    kavrin::textReader input;
    // Reads the part a violation marks, beside the check's own reader.
    kavrin::textReader markedPartReader { 256 };
    kavrin::game gameType = kavrin::game::none;

    void checkFirstBytes();
    void record(Error violation);
    // A violation after which the check can go on: kept when more are
    // wanted, else it stops the check.
    void keep(Error violation);
    struct stopChecking { };
    void measureMarkedPart(kavrin::violation& found);
    void sayWhereTheInputEnded(kavrin::violation& found);
    std::uint64_t offsetInToken(std::string_view text, std::size_t at, std::uint32_t textColumn) const;

    // Character reader and positions.
    int readChar();
    void skipWhitespace();
    void checkEncoding(std::uint64_t start);
    [[noreturn]] void failEncoding(std::uint64_t start, std::uint64_t badOffset, bool atEnd);
    int collectUntil(const bool (&stops)[256], std::string& into);
    std::string foundRun(int first, bool toTag);

    // Markup scanner.
    void readMarkup();
    [[noreturn, gnu::cold, gnu::noinline]] void failOutsideElement(int first);
    void nextTag();
    void skipComments();
    std::string_view elementOfText() const;
    bool commentThenText();
    bool cdataAfterText();
    std::vector<std::string_view> allowedAt(std::string_view name) const;
    kavrin::reasons::elementOrder orderAt(std::string_view expected) const;
    std::vector<std::string_view> stillOpen() const;
    kavrin::reasons::nulRun nulRunAhead();
    bool isComment() const;
    void readText();
    void expectTag(std::string_view name) const;
    void expectMatchingTag(std::string_view name) const;
    // The end tag of an element: of the value being read, or of the
    // element the walk is in.
    bool atEndOf(const format::element& e) const
    {
        return currentTag.size() == e.name.size() + 1 && currentTag.front() == '/'
            && std::string_view(currentTag).substr(1) == e.name;
    }
    void expectEnd() const
    {
        if (!atEndOf(*openValue))
            failEnd();
    }
    [[noreturn, gnu::cold, gnu::noinline]] void failEnd() const;
    void expectMatchingEnd() const;
    enum class tagFault { unexpectedElement, missingEndTag };
    [[noreturn]] void failExpected(std::string_view name, tagFault fault) const;
    bool checkXmlDeclaration() const;

    // Grammar.
    void readDocument(std::uint64_t start);
    void readHeader();
    // The walk reads a child of the element it is in, steps into an element
    // of elements and out of it again; on the hot path.
    void noteChild(const format::element& e)
    {
        if (depth > 0) {
            openElement& parent = open[depth - 1];
            parent.lastChildCount = parent.lastChild == &e ? parent.lastChildCount + 1 : 1;
            parent.lastChild = &e;
            parent.childrenRead |= format::bitOf(e);
        }
        if (e.noted != nullptr)
            summary.*e.noted = true;
    }
    void count(const format::element& e)
    {
        if (e.counted != nullptr)
            ++(summary.*e.counted);
    }
    void enter(const format::element& e)
    {
        noteChild(e);
        open[depth++] = { &e, nullptr, 0, 0 };
    }
    void leave() { count(*open[--depth].row); }
    template <std::size_t Parent, std::size_t Stop> void readChildrenOf();
    template <std::size_t I, std::size_t Stop> bool readChild();
    template <std::size_t I> void readValueOf();
    void readVersion();
    void readTips();
    template <std::size_t Tip> void readTipsOf();
    template <std::size_t I> void readBody();
    void checkTipCount(const format::element& tip);
    // Reads the current element's text and holds it to a value rule.
    template <class Rule> void readValue(Rule&& rule)
    {
        readText();
        if (kavrin::rules::verdict fault = rule(std::string_view(currentText)))
            raise(std::move(*fault));
    }
    void readNumber(std::uint32_t minimum, std::uint32_t maximum);
    // Away from the hot path: a check that collects nothing pays one test.
    [[gnu::cold, gnu::noinline]] void collect(const format::element& e);

    // Structural rules fail through failAtItem, which stops the check. The
    // reason is a function called only when the violation is raised, away
    // from the loops that check.
    template <class Reason>
    [[noreturn, gnu::cold, gnu::noinline]] void failAtItem(
        std::string_view detail, std::string_view code, Reason&& reason) const
    {
        throwAtItem(detail, code, reason());
    }
    [[noreturn]] void throwAtItem(std::string_view detail, std::string_view code, std::string reason) const;
    static Error cut(Error violation);
    // A value rule's fault, at the place in the current text it names, or at
    // a place of the caller's: it stops the check, or with more violations
    // wanted is kept and the check goes on.
    [[gnu::cold, gnu::noinline]] void raise(kavrin::rules::valueFault fault);
    [[gnu::cold, gnu::noinline]] void raiseAt(
        std::uint32_t atLine, std::uint32_t atColumn, std::uint64_t atOffset, kavrin::rules::valueFault fault);
    void skipToEndOfTicket();
};

} // namespace kavrin::detail
