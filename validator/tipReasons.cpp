#include "reasonText.h"
#include "reasons.h"

namespace kavrin::reasons {

namespace {

    constexpr std::string_view poolShape
        = "eine fenuTipp-Reihe besteht aus 18 Feldern aus 1, 2, X und -, getrennt durch Kommas, etwa "
          "1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2";
    constexpr std::string_view brakelShape
        = "ein brakelTipp besteht aus fünf Paaren aus 0, 1, 2 und +, getrennt durch Kommas, etwa 10,2+,00,+1,21";
} // namespace

std::string noTips(std::uint32_t gameType, std::string_view tipElement, std::string_view foundInner)
{
    return "Ein Schein der Spielart " + number(gameType) + " braucht mindestens einen <" + std::string(tipElement)
        + ">, gefunden " + tag(foundInner) + ".";
}

std::string tooManyTips(std::uint32_t gameType, std::uint32_t limit, std::string_view tipElement)
{
    return "Ein Schein der Spielart " + number(gameType) + " hat höchstens " + number(limit) + " "
        + std::string(tipElement) + "; hier folgt ein weiterer.";
}

std::string emptyList(std::string_view element, std::uint32_t count, std::uint32_t maximum)
{
    return "<" + std::string(element) + "> ist leer; " + listShape(element, count, maximum) + ".";
}

std::string notTwoDigits(std::string_view element, std::string_view found, std::uint32_t count, std::uint32_t maximum)
{
    return quoted(found) + " ist keine zweistellige Zahl: " + listShape(element, count, maximum) + ".";
}

std::string tooFewNumbers(std::string_view element, std::uint32_t found, std::uint32_t count)
{
    return "Der " + std::string(element) + " hat nur " + number(found) + (found == 1 ? " Zahl" : " Zahlen")
        + "; erwartet werden " + number(count) + ".";
}

std::string listSeparator(std::string_view previous, std::string_view found)
{
    return "Nach " + escaped(previous) + " wird ein Komma erwartet, gefunden " + quoted(found) + ".";
}

std::string listNumberOutOfRange(std::string_view element, std::string_view number, std::uint32_t maximum)
{
    const bool tooSmall = number == "00";
    return escaped(number) + (tooSmall ? " ist zu klein" : " ist zu groß") + ": die Zahlen eines "
        + std::string(element) + " liegen zwischen 01 und " + twoDigits(maximum) + ".";
}

std::string listNotAscending(std::string_view number, std::string_view previous)
{
    if (number == previous)
        return "Die Zahlen müssen aufsteigen, jede nur einmal: " + escaped(number) + " steht zweimal.";
    return "Die Zahlen müssen aufsteigen: " + escaped(number) + " steht nach " + escaped(previous) + ".";
}

std::string listTooLong(std::string_view element, std::uint32_t count, std::string_view rest)
{
    return "Ein " + std::string(element) + " hat genau " + number(count) + " Zahlen; danach folgt noch " + quoted(rest)
        + ".";
}

std::string poolRowTooShort(std::size_t length)
{
    return "Die fenuTipp-Reihe endet nach " + number(length) + " Zeichen; " + std::string(poolShape) + ".";
}

std::string poolSymbol(std::size_t field, std::string_view found)
{
    return "Im " + number(field) + ". Feld steht " + quoted(found) + "; erlaubt sind 1, 2, X und -.";
}

std::string poolDashInFirstFive(std::size_t field)
{
    return "Im " + number(field) + ". Feld steht „-“; die ersten fünf Felder einer fenuTipp-Reihe sind 1, 2 oder X.";
}

std::string poolSeparator(std::size_t field, std::string_view found)
{
    return "Nach dem " + number(field) + ". Feld wird ein Komma erwartet, gefunden " + quoted(found) + ".";
}

std::string poolDashCount(std::uint32_t found)
{
    return "Eine fenuTipp-Reihe hat genau fünf „-“, gefunden " + number(found) + ".";
}

std::string poolSixthDash(std::size_t field)
{
    return "Eine fenuTipp-Reihe hat genau fünf „-“; im " + number(field) + ". Feld steht ein sechstes.";
}

std::string poolRowTooLong(std::string_view rest)
{
    return "Nach dem 18. Feld darf nichts mehr folgen, gefunden " + quoted(rest) + ".";
}

std::string brakelTooShort(std::size_t length)
{
    return "Der brakelTipp endet nach " + number(length) + " Zeichen; " + std::string(brakelShape) + ".";
}

std::string brakelSymbol(std::size_t pair, std::string_view found)
{
    return "Im " + number(pair) + ". Paar des brakelTipp steht " + quoted(found) + "; erlaubt sind 0, 1, 2 und +.";
}

std::string brakelSeparator(std::size_t pair, std::string_view found)
{
    return "Nach dem " + number(pair) + ". Paar des brakelTipp wird ein Komma erwartet, gefunden " + quoted(found)
        + ".";
}

std::string brakelTooLong(std::string_view rest)
{
    return "Nach dem 5. Paar des brakelTipp darf nichts mehr folgen, gefunden " + quoted(rest) + ".";
}

} // namespace kavrin::reasons
