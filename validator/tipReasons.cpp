#include "reasonText.h"
#include "reasons.h"

namespace kavrin::reasons {

namespace {

    constexpr std::string_view poolShape = "18 Felder aus 1, 2, X oder -, durch Kommas getrennt";

    bool hasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

    // A found tag whose name is the wanted one but with blanks or a line
    // break in it.
    bool isBrokenTag(std::string_view inner, std::string_view name)
    {
        const std::size_t first = inner.find_first_not_of(" \t\r\n");
        const std::size_t last = inner.find_last_not_of(" \t\r\n");
        return first != std::string_view::npos && inner != name && inner.substr(first, last - first + 1) == name;
    }

} // namespace

std::string noTips(std::uint32_t gameType, std::string_view tipElement, std::string_view foundInner)
{
    if (isBrokenTag(foundInner, tipElement))
        return "Das Tag " + element(tipElement) + " enthält Leerraum oder einen Zeilenumbruch; es muss genau "
            + element(tipElement) + " lauten.";
    return "Ein <schein> der " + game(gameType) + " braucht mindestens einen " + element(tipElement) + ", gefunden "
        + tag(foundInner) + ".";
}

std::string tooManyTips(std::uint32_t gameType, std::uint32_t limit, std::string_view tipElement)
{
    return "Ein <schein> der " + game(gameType) + " hat höchstens " + number(limit) + " " + element(tipElement)
        + ": Bitte die weiteren auf einen neuen <schein> verteilen.";
}

std::string emptyList(std::string_view elementName, std::uint32_t count, std::uint32_t maximum)
{
    return element(elementName) + " ist leer; verlangt sind " + listShape(count, maximum) + ".";
}

std::string notTwoDigits(
    std::string_view elementName, std::string_view found, std::uint32_t count, std::uint32_t maximum)
{
    if (hasLineBreak(found)) {
        const std::size_t lineBreak = found.find_first_of("\r\n");
        const std::size_t after = found.find_first_not_of("\r\n", lineBreak);
        const std::string where = lineBreak == 0
            ? "Vor " + quoted(after == std::string_view::npos ? std::string_view {} : found.substr(after))
            : "Nach " + quoted(found.substr(0, lineBreak));
        return where + " steht ein Zeilenumbruch: Die " + number(count) + " Zahlen von " + element(elementName)
            + " stehen auf einer Zeile, durch Kommas getrennt.";
    }
    return quoted(found) + " ist keine zweistellige Zahl: " + element(elementName) + " hat " + listShape(count, maximum)
        + ".";
}

std::string tooFewNumbers(std::string_view elementName, std::uint32_t found, std::uint32_t count)
{
    return element(elementName) + " hat nur " + number(found) + (found == 1 ? " Zahl" : " Zahlen") + "; verlangt sind "
        + number(count) + ".";
}

std::string listSeparator(std::string_view previous, std::string_view found)
{
    return "Nach " + escaped(previous) + " muss ein Komma stehen, gefunden " + quoted(found) + ".";
}

std::string listNumberOutOfRange(std::string_view elementName, std::string_view found, std::uint32_t maximum)
{
    const bool tooSmall = found == "00";
    return escaped(found) + (tooSmall ? " ist zu klein" : " ist zu groß") + ": Die Zahlen in " + element(elementName)
        + " liegen zwischen 01 und " + twoDigits(maximum) + ".";
}

std::string listNotAscending(std::string_view found, std::string_view previous)
{
    if (found == previous)
        return "Jede Zahl darf nur einmal vorkommen: " + escaped(found) + " steht zweimal.";
    return "Die Zahlen müssen aufsteigen: " + escaped(found) + " steht nach " + escaped(previous)
        + "; bitte sortieren.";
}

std::string listTooLong(std::string_view elementName, std::uint32_t count, std::string_view rest)
{
    return element(elementName) + " hat genau " + number(count) + " Zahlen; danach folgt noch " + quoted(rest) + ".";
}

std::string poolRowTooShort(std::size_t length)
{
    return "Die <fenuTipp>-Reihe endet nach " + number(length) + " Zeichen; verlangt sind " + std::string(poolShape)
        + ".";
}

std::string poolSymbol(std::size_t field, std::string_view found, std::uint32_t dashesBefore)
{
    const std::string allowed = field <= 5 ? "in den Feldern 1 bis 5 sind nur 1, 2 und X erlaubt"
        : dashesBefore >= 5                ? "erlaubt sind 1, 2 und X, denn die fünf „-“ stehen schon"
                                           : "erlaubt sind 1, 2, X und -";
    return "Im " + number(field) + ". Feld steht " + quoted(found) + "; " + allowed + ".";
}

std::string poolDashInFirstFive(std::size_t field)
{
    return "Im " + number(field) + ". Feld steht „-“; in den Feldern 1 bis 5 sind nur 1, 2 und X erlaubt.";
}

std::string poolSeparator(std::size_t field, std::string_view found)
{
    return "Nach dem " + number(field) + ". Feld muss ein Komma stehen, gefunden " + quoted(found) + ".";
}

std::string poolDashCount(std::uint32_t found)
{
    return "Eine <fenuTipp>-Reihe hat genau fünf „-“, diese hat " + number(found) + ".";
}

std::string poolSixthDash(std::size_t field)
{
    return "Im " + number(field) + ". Feld steht ein sechstes „-“; eine Reihe hat genau fünf, hier also 1, 2 oder X.";
}

std::string poolRowTooLong(std::string_view rest)
{
    return "Nach dem 18. Feld darf nichts mehr folgen, gefunden " + quoted(rest) + ".";
}

std::string brakelTooShort(std::size_t length)
{
    return "<brakelTipp> endet nach " + number(length)
        + " Zeichen; verlangt sind fünf Paare aus 0, 1, 2 oder +, durch Kommas getrennt, etwa 10,2+,00,+1,21.";
}

std::string brakelSymbol(std::size_t pair, std::string_view found)
{
    return "Im " + number(pair) + ". Paar von <brakelTipp> steht " + quoted(found) + "; erlaubt sind 0, 1, 2 und +.";
}

std::string brakelSeparator(std::size_t pair, std::string_view found)
{
    return "Nach dem " + number(pair) + ". Paar von <brakelTipp> muss ein Komma stehen, gefunden " + quoted(found)
        + ".";
}

std::string brakelTooLong(std::string_view rest)
{
    return "Nach dem 5. Paar von <brakelTipp> darf nichts mehr folgen, gefunden " + quoted(rest) + ".";
}

std::string endsEarly(std::uint32_t line, std::uint32_t column)
{
    return "Die Datei endet in Zeile " + number(line) + ", Spalte " + number(column) + "; danach fehlt der Rest.";
}

std::string endedByEndOfText(std::uint32_t line, std::uint32_t column, std::uint64_t bytesAfter)
{
    return "Ein Byte 0x1A (Strg+Z) in Zeile " + number(line) + ", Spalte " + number(column) + " beendet die Datei vor "
        + grouped(bytesAfter) + " weiteren Bytes: Bitte löschen.";
}

} // namespace kavrin::reasons
