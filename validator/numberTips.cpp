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
                    kavrin::reasons::noTips(gameType, "ziroTipp", currentTag));
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
                    kavrin::reasons::noTips(gameType, "tipp", currentTag));
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
            kavrin::reasons::tooManyTips(gameType, limit, tipElement));
}

// count two-digit numbers in 1..max, strictly ascending, separated by single
// commas. The first failing test of the first failing number decides the place.
void tzvParser::checkNumberList(std::uint32_t count, std::uint32_t max) const
{
    namespace codes = kavrin::codes;
    namespace reasons = kavrin::reasons;
    const std::string& text = currentText;
    const auto at = [&text](std::size_t offset) -> int {
        return offset < text.size() ? static_cast<unsigned char>(text[offset]) : -1;
    };
    // The number as written: from its first byte up to the next comma.
    const auto written
        = [this, &text](std::size_t offset) { return textFrom(offset, text.find(',', offset) - offset); };
    const auto failShape = [&](std::size_t place, std::size_t p, std::uint32_t i) {
        if (text.empty())
            failInText(place, codes::badNumberList, reasons::emptyList(currentTag, count, max));
        if (p >= text.size())
            failInText(place, codes::badNumberList, reasons::tooFewNumbers(currentTag, i, count));
        failInText(place, codes::badNumberList, reasons::notTwoDigits(currentTag, written(p), count, max));
    };
    std::uint32_t previous = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t p = 3 * std::size_t { i };
        const int tens = at(p);
        const int ones = at(p + 1);
        if (!isDigit(tens) || static_cast<std::uint32_t>(tens - '0') > max / 10) {
            if (isDigit(tens) && isDigit(ones) && (p + 2 >= text.size() || text[p + 2] == ','))
                failInText(p, codes::numberOutOfRange, reasons::listNumberOutOfRange(currentTag, textFrom(p, 2), max));
            failShape(p, p, i);
        }
        if (!isDigit(ones))
            failShape(ones == ',' ? p : p + 1, p, i);
        if (i + 1 < count && at(p + 2) != ',') {
            if (at(p + 2) == -1)
                failInText(p + 2, codes::badNumberList, reasons::tooFewNumbers(currentTag, i + 1, count));
            failInText(p + 2, codes::badNumberList, reasons::listSeparator(textFrom(p, 2), characterAt(p + 2)));
        }
        const auto value = static_cast<std::uint32_t>((tens - '0') * 10 + (ones - '0'));
        if (value < 1 || value > max)
            failInText(p, codes::numberOutOfRange, reasons::listNumberOutOfRange(currentTag, textFrom(p, 2), max));
        if (i > 0 && value <= previous)
            failInText(p, codes::numbersNotAscending, reasons::listNotAscending(textFrom(p, 2), textFrom(p - 3, 2)));
        previous = value;
    }
    if (text.size() > 3 * std::size_t { count } - 1)
        failInText(3 * std::size_t { count } - 1, codes::badNumberList,
            reasons::listTooLong(currentTag, count, textFrom(3 * std::size_t { count } - 1)));
}
