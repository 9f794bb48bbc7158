#include "fuzzInput.h"
#include "messages.h"
#include "safeText.h"
#include "tzvParser.h"

#include <iterator>
#include <string_view>

using kavrin::fuzzing::require;

namespace {

bool isSystemMessage(const std::string& message)
{
    namespace text = kavrin::messages;
    for (const std::string_view whole :
        { text::noFile, text::badName, text::cannotOpen, text::sizeOrCount, text::encoding })
        if (message == whole)
            return true;
    const std::string_view lead = "Die Datei enthält in der Zeile ";
    if (message.compare(0, lead.size(), lead) != 0)
        return false;
    for (const std::string_view detail :
        { text::elementDetail, text::contentDetail, text::unclosedDetail, text::markupDetail })
        if (message.size() > detail.size()
            && message.compare(message.size() - detail.size(), detail.size(), detail) == 0)
            return true;
    return false;
}

} // namespace

// Every input ends with one of the system's messages, a place only for a
// positioned one (with an input offset and marked length inside the input),
// a code and a reason exactly for a violation, a reason that
// is valid UTF-8 and names whatever would hide or reorder text, and the same
// outcome whatever the reader's buffer size and whether the bytes are read
// from memory or from a file; asking for every violation changes nothing of
// the first.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The parsers are kept between inputs, as a check resets its object: this
    // spares the reader's buffer an allocation per input.
    static tzvParser parser;
    parser.checkBytes(bytes);
    require(parser.message.empty() || isSystemMessage(parser.message));
    require((parser.errorLine == 0) == (parser.errorColumn == 0));
    require((parser.errorLine != 0) == (parser.message.rfind("Die Datei enthält in der Zeile ", 0) == 0));
    require(parser.message.empty() == parser.code.empty() && parser.message.empty() == parser.reason.empty());
    require(kavrin::testing::isShownSafely(parser.reason));
    require(parser.violations.size() == (parser.message.empty() ? 0U : 1U));
    for (const kavrin::violation& found : parser.violations) {
        require(found.offset + found.length <= size);
        require(found.line != 0 || (found.offset == 0 && found.length == 0));
    }

    const auto sameOutcome = [](const tzvParser& other) {
        return other.message == parser.message && other.errorLine == parser.errorLine
            && other.errorColumn == parser.errorColumn && other.code == parser.code && other.reason == parser.reason
            && (parser.violations.empty()
                || (other.violations.at(0).offset == parser.violations[0].offset
                    && other.violations.at(0).length == parser.violations[0].length));
    };
    // Every fourth input is read again through a tiny buffer, every 64th from
    // a file: the two comparisons would otherwise take most of the time.
    static unsigned inputs = 0;
    const unsigned input = inputs++;
    if (input % 4 == 0) {
        static tzvParser chunked[] = { tzvParser(1), tzvParser(2), tzvParser(3), tzvParser(7) };
        tzvParser& chunkedParser = chunked[input / 4 % std::size(chunked)];
        chunkedParser.checkBytes(bytes);
        require(sameOutcome(chunkedParser));
    }
    // Every eighth input is also checked for all its violations: the first
    // is the first-only outcome, the later ones follow in file order.
    if (input % 8 == 1) {
        static tzvParser all;
        all.maxViolations = 50;
        all.checkBytes(bytes);
        require(all.message == parser.message && all.errorLine == parser.errorLine
            && all.errorColumn == parser.errorColumn && all.code == parser.code && all.reason == parser.reason);
        require(all.violations.size() <= 50 && all.violations.empty() == parser.violations.empty());
        for (std::size_t i = 2; i < all.violations.size(); ++i)
            require(all.violations[i - 1].offset <= all.violations[i].offset);
    }
    if (input % 64 == 0) {
        tzvParser fromFile;
        fromFile.fileName = kavrin::fuzzing::writeInput(data, size);
        fromFile.check();
        require(sameOutcome(fromFile));
    }
    return 0;
}
