#pragma once

#include "export.h"
#include "textReader.h"
#include "valueRules.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavrin {

// One violation of the rules: which rule, its message, the reason and
// where. line and column are the check's (a line ends at LF, a column
// counts bytes); offset is where the place stands in the input and length
// how many bytes of the input the part it marks covers, the CRs that text
// mode drops counted. A place past the end of its line (a value broken over
// lines) stands at that line's end and marks nothing. All four are 0
// without a place.
struct violation {
    std::string_view code;
    std::string message;
    std::string reason;
    std::uint32_t line = 0;
    std::uint32_t column = 0;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

// What a file holds, counted where the check steps through it; complete
// for a correct file.
struct fileSummary {
    std::uint32_t gameType = 0;
    std::string version;
    std::uint32_t tickets = 0;
    std::uint32_t tips = 0;
    std::uint32_t goalScoreTips = 0; // brakelTipp
    bool customerNumber = false; // kundenNr
    bool gameId = false; // spielID
    bool duration = false; // tnDauer
    bool filter = false;
    bool wimbel = false;
    bool ziroPlus = false;
};

} // namespace kavrin

// The state of one check of a ticket file. Set fileName, call check(), read
// message (empty: the file is correct), errorLine and errorColumn (both 0
// unless the violation has a place in the file), and the rule that was broken:
// code, a stable identifier, and reason, a German sentence naming the value
// found and what was expected (both empty when the file is correct).
class KAVRIN_EXPORT tzvParser {
public:
    // One violation. Rules throw it; only check() catches it.
    class Error {
    public:
        Error(std::string_view text, std::string_view code, std::string reason);
        Error(std::string_view leadIn, std::uint32_t line, std::uint32_t column, std::uint64_t offset,
            std::string_view detail, std::string_view code, std::string reason);

        kavrin::violation found;
        // The fault may follow from the input's end: a value or tag cut off.
        bool mayEndEarly = false;
    };

    // Larger files are rejected before any content is read; no reader of a
    // ticket file ever reads beyond this.
    static constexpr std::uint64_t maximumFileSize = 4194304;

    tzvParser();
    // The buffer size of the reader is settable so that tests can show the
    // outcome does not depend on where the input is cut into chunks.
    explicit tzvParser(std::size_t bufferSize);

    const std::string& check();
    // Checks bytes in memory by the same rules, without the rules of the name.
    // wholeSize is the size of the whole input when these bytes are only its
    // start (a file read no further than the limit), unknownSize when the
    // input went on by an unknown amount (a stream), 0 when they are all.
    static constexpr std::uint64_t unknownSize = UINT64_MAX;
    const std::string& checkBytes(std::string_view bytes, std::uint64_t wholeSize = 0);
    // Checks the bytes of the file named fileName as check() would read them
    // from it: the rules of the name first. For a front end that has the
    // file's bytes but no path to open (the browser page).
    const std::string& checkFileBytes(std::string_view bytes, std::uint64_t wholeSize = 0);
    // The outcome of check() for fileName when the file was found but its
    // bytes could not be read.
    const std::string& checkUnreadable();

    std::string fileName;
    // How many violations a check collects. With 1, today's behaviour, it
    // stops at the first; with more it records a violation inside a value or
    // a tip, skips to the end of that element and goes on, and stops at the
    // first violation of the file or the markup.
    std::size_t maxViolations = 1;
    static constexpr std::size_t defaultMaxViolations = 1000;

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
    // Only for reasons: whether the document began, a comment was just
    // skipped inside an element, and which optional elements were seen.
    bool documentStarted = false;
    bool afterComment = false;
    std::uint64_t textEnd = UINT64_MAX; // where the last element text ended
    enum : unsigned {
        seenCustomer = 1,
        seenGameId = 2,
        seenDuration = 4,
        seenFilter = 8,
        seenWimbel = 16,
        seenZiroPlus = 32,
    };
    unsigned seenOptional = 0;

public:
    std::string message;
    std::uint32_t errorLine = 0;
    std::uint32_t errorColumn = 0;
    std::string code;
    std::string reason;
    // The violations found, in file order; the fields above are the first
    // one's. A check stops at its first violation, so this holds one at most.
    std::vector<kavrin::violation> violations;
    // The name the check opened: fileName without its surrounding quotes.
    std::string openedName;
    // More violations were found than maxViolations let the list hold.
    bool violationsCut = false;
    kavrin::fileSummary summary;

private:
    kavrin::textReader input;
    // Reads the part a violation marks, beside the check's own reader, from
    // the same source: the bytes in memory, or else the opened file.
    kavrin::textReader markedPartReader { 256 };
    std::optional<std::string_view> sourceBytes;
    kavrin::game gameType = kavrin::game::none;

    void reset();
    void checkName();
    const std::string& checkInput(std::uint64_t size);
    void checkFirstBytes();
    void record(Error violation);
    // A violation after which the check can go on: kept when more are
    // wanted, else it stops the check.
    void keep(Error violation);
    struct stopChecking { };
    void measureMarkedPart(kavrin::violation& found);
    bool openSourceAt(kavrin::textReader& reader, std::uint64_t offset);
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
    bool commentInContent() const;
    std::vector<std::string_view> allowedAt(std::string_view name) const;
    bool looksLikeUtf16();
    bool isComment() const;
    void readText();
    void expectTag(std::string_view name) const;
    void expectMatchingTag(std::string_view name) const;
    enum class tagFault { unexpectedElement, missingEndTag };
    [[noreturn]] void failExpected(std::string_view name, tagFault fault) const;
    bool checkXmlDeclaration() const;

    // Grammar.
    void readDocument(std::uint64_t start);
    void readHeader();
    void readWimbelBlock();
    void readZiroTips();
    void readVexTips();
    void checkTipCount(std::string_view tipElement, std::uint32_t limit);
    void readPoolTips();
    void readBrakelTip();
    void closeElement(std::string_view endTag);
    // Reads the current element's text and holds it to a value rule.
    template <class Rule> void readValue(Rule&& rule)
    {
        readText();
        if (kavrin::rules::verdict fault = rule(std::string_view(currentText)))
            raise(std::move(*fault));
    }
    void readNumber(std::uint32_t minimum, std::uint32_t maximum);

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
