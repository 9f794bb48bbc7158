#include "messages.h"
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
                failAtItem(kavrin::messages::elementDetail);
            return;
        }
        readText();
        checkNumberList(6, 45);
        nextTag();
        expectTag("/ziroTipp");
    }
    nextTag();
}

void tzvParser::readVexTips()
{
    for (std::uint32_t count = 0; count < maximumVexTips; ++count) {
        nextTag();
        if (currentTag != "tipp") {
            if (count == 0)
                failAtItem(kavrin::messages::elementDetail);
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
            failInText(p);
        const int ones = at(p + 1);
        if (!isDigit(ones))
            failInText(ones == ',' ? p : p + 1);
        if (i + 1 < count && at(p + 2) != ',')
            failInText(p + 2);
        const auto value = static_cast<std::uint32_t>((tens - '0') * 10 + (ones - '0'));
        if (value < 1 || value > max || (i > 0 && value <= previous))
            failInText(p);
        previous = value;
    }
    if (text.size() > 3 * std::size_t { count } - 1)
        failInText(3 * std::size_t { count } - 1);
}
