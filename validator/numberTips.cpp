#include "codes.h"
#include "messages.h"
#include "reasons.h"
#include "tzvParser.h"

namespace {

constexpr std::uint32_t maximumZiroTips = 12;
constexpr std::uint32_t maximumVexTips = 10;

bool isDigit(int c) { return c >= '0' && c <= '9'; }

} // namespace

void tzvParser::readZiroTips()
{
    for (std::uint32_t count = 0; count < maximumZiroTips; ++count) {
        nextTag();
        if (currentTag != "ziroTipp") {
            if (count == 0)
                failAtItem(kavrin::messages::elementDetail, kavrin::codes::noTips,
                    [&] { return kavrin::reasons::noTips(gameType, "ziroTipp", currentTag); });
            return;
        }
        readText();
        checkNumberList(6, 45);
        nextTag();
        expectTag("/ziroTipp");
    }
    nextTag();
    checkTipCount("ziroTipp", maximumZiroTips);
}

void tzvParser::readVexTips()
{
    for (std::uint32_t count = 0; count < maximumVexTips; ++count) {
        nextTag();
        if (currentTag != "tipp") {
            if (count == 0)
                failAtItem(kavrin::messages::elementDetail, kavrin::codes::noTips,
                    [&] { return kavrin::reasons::noTips(gameType, "tipp", currentTag); });
            return;
        }
        nextTag();
        expectTag("vexTippZahl");
        readText();
        checkNumberList(5, 50);
        nextTag();
        expectTag("/vexTippZahl");
        nextTag();
        expectTag("vexTippStern");
        readText();
        checkNumberList(2, 12);
        nextTag();
        expectTag("/vexTippStern");
        nextTag();
        expectMatchingTag("/tipp");
    }
    nextTag();
    checkTipCount("tipp", maximumVexTips);
}

// After the most tips a ticket may hold, only its end may follow; a further
// tip is named as such.
void tzvParser::checkTipCount(std::string_view tipElement, std::uint32_t limit) const
{
    if (currentTag == tipElement)
        failAtItem(kavrin::messages::elementDetail, kavrin::codes::tooManyTips,
            [&] { return kavrin::reasons::tooManyTips(gameType, limit, tipElement); });
}

// count two-digit numbers in 1..max, strictly ascending, separated by single
// commas. The first failing test of the first failing number decides the place.
void tzvParser::checkNumberList(std::uint32_t count, std::uint32_t max) const
{
    const std::string& text = currentText;
    const auto at = [&text](std::size_t offset) -> int {
        return offset < text.size() ? static_cast<unsigned char>(text[offset]) : -1;
    };
    std::uint32_t previous = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t p = 3 * std::size_t { i };
        const int tens = at(p);
        if (!isDigit(tens) || static_cast<std::uint32_t>(tens - '0') > max / 10)
            failNumberList(listFailure::shape, p, i, count, max);
        const int ones = at(p + 1);
        if (!isDigit(ones))
            failNumberList(listFailure::shape, ones == ',' ? p : p + 1, i, count, max);
        if (i + 1 < count && at(p + 2) != ',')
            failNumberList(listFailure::separator, p + 2, i, count, max);
        const auto value = static_cast<std::uint32_t>((tens - '0') * 10 + (ones - '0'));
        if (value < 1 || value > max)
            failNumberList(listFailure::range, p, i, count, max);
        if (i > 0 && value <= previous)
            failNumberList(listFailure::order, p, i, count, max);
        previous = value;
    }
    if (text.size() > 3 * std::size_t { count } - 1)
        failNumberList(listFailure::trailing, 3 * std::size_t { count } - 1, count, count, max);
}

// Names what the number list breaks: the test that failed, told apart by
// what stands at the number's place.
void tzvParser::failNumberList(
    listFailure failure, std::size_t place, std::uint32_t index, std::uint32_t count, std::uint32_t max) const
{
    namespace codes = kavrin::codes;
    namespace reasons = kavrin::reasons;
    const std::string& text = currentText;
    const std::size_t p = 3 * std::size_t { index };
    const auto digit = [&text](std::size_t at) { return at < text.size() && isDigit(text[at]); };
    switch (failure) {
    case listFailure::shape:
        if (text.empty())
            throwInText(place, codes::badNumberList, reasons::emptyList(currentTag, count, max));
        if (p >= text.size())
            throwInText(place, codes::badNumberList, reasons::tooFewNumbers(currentTag, index, count));
        if (digit(p) && digit(p + 1) && (p + 2 >= text.size() || text[p + 2] == ','))
            throwInText(place, codes::numberOutOfRange, reasons::listNumberOutOfRange(currentTag, textFrom(p, 2), max));
        throwInText(place, codes::badNumberList,
            reasons::notTwoDigits(currentTag, textFrom(p, text.find(',', p) - p), count, max));
    case listFailure::separator:
        if (place >= text.size())
            throwInText(place, codes::badNumberList, reasons::tooFewNumbers(currentTag, index + 1, count));
        throwInText(place, codes::badNumberList, reasons::listSeparator(textFrom(p, 2), characterAt(place)));
    case listFailure::range:
        throwInText(place, codes::numberOutOfRange, reasons::listNumberOutOfRange(currentTag, textFrom(p, 2), max));
    case listFailure::order:
        throwInText(place, codes::numbersNotAscending, reasons::listNotAscending(textFrom(p, 2), textFrom(p - 3, 2)));
    case listFailure::trailing:
        break;
    }
    throwInText(place, codes::badNumberList, reasons::listTooLong(currentTag, count, textFrom(place)));
}
