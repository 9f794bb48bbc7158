#include "reasonText.h"
#include "reasons.h"

namespace kavrin::reasons {

namespace {

    constexpr std::string_view poolShape = "18 Felder aus 1, 2, X oder -, durch Kommas getrennt";
    constexpr std::string_view brakelShape = "5 Paare aus 0, 1, 2 oder + mit Kommas, etwa 10,2+,00,+1,21";

    bool hasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

    bool allDigits(std::string_view text)
    {
        return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    }

    // A found tag whose name is the wanted one but with blanks or a line
    // break in it.
    bool isBrokenTag(std::string_view inner, std::string_view name)
    {
        const std::string_view bare = trimmed(inner);
        return !bare.empty() && inner != name && bare == name;
    }

} // namespace

std::string noTips(std::uint32_t gameType, std::string_view tipElement, std::string_view foundInner)
{
    if (isBrokenTag(foundInner, tipElement))
        return brokenTag(tipElement, foundInner);
    return "Bei Spielart " + number(gameType) + " braucht ein <schein> mindestens einen " + element(tipElement) + ", "
        + found("<" + std::string(foundInner) + ">", 24) + ".";
}

std::string tooManyTips(std::uint32_t gameType, std::uint32_t limit, std::string_view tipElement)
{
    return "Bei Spielart " + number(gameType) + " hat ein <schein> höchstens " + number(limit) + " "
        + element(tipElement) + ": Weitere bitte in einen neuen <schein>.";
}

std::string emptyList(std::string_view elementName, std::uint32_t count, std::uint32_t maximum)
{
    return element(elementName) + " ist leer; verlangt sind " + listShape(count, maximum) + ".";
}

std::string notTwoDigits(
    std::string_view elementName, std::string_view text, std::uint32_t count, std::uint32_t maximum)
{
    if (text.empty())
        return "In " + element(elementName) + " stehen zwei Kommas hintereinander; dazwischen fehlt eine Zahl.";
    if (allDigits(text))
        return "Zahlen haben genau zwei Ziffern, " + found(text)
            + (text.size() == 1 && text != "0" ? ": Bitte „0" + std::string(text) + "“ schreiben." : ".");
    if (hasLineBreak(text)) {
        const std::size_t lineBreak = text.find_first_of("\r\n");
        const std::string_view before = trimmed(text.substr(0, lineBreak));
        const std::string_view after = trimmed(text.substr(lineBreak));
        const std::string where = !before.empty() ? "Nach " + quoted(before)
            : !after.empty()                      ? "Vor " + quoted(after)
                                                  : "In " + element(elementName);
        return where + " steht ein Zeilenumbruch; die Zahlen eines " + element(elementName)
            + " stehen auf einer Zeile.";
    }
    // Blanks beside a number, between the commas.
    const std::string_view bare = trimmed(text);
    if (bare.size() != text.size())
        return bare.size() == 2 && allDigits(bare) ? blanksAroundValue(elementName, text)
                                                   : "Zahlen haben genau zwei Ziffern, " + found(text) + ".";
    return quoted(text) + " ist keine zweistellige Zahl: Ein " + element(elementName) + " hat "
        + listShape(count, maximum) + ".";
}

std::string tooFewNumbers(std::string_view elementName, std::uint32_t found, std::uint32_t count)
{
    return element(elementName) + " hat nur " + number(found) + (found == 1 ? " Zahl" : " Zahlen") + "; verlangt sind "
        + number(count) + ".";
}

std::string listSeparator(std::string_view previous, std::string_view separator)
{
    return "Nach " + escaped(previous) + " muss ein Komma stehen, " + found(separator) + ".";
}

std::string listNumberOutOfRange(std::string_view elementName, std::string_view number, std::uint32_t maximum)
{
    const bool tooSmall = number == "00";
    return escaped(number) + (tooSmall ? " ist zu klein" : " ist zu groß") + ": Die Zahlen in " + element(elementName)
        + " liegen zwischen 01 und " + twoDigits(maximum) + ".";
}

std::string listNotAscending(std::string_view number, std::string_view previous)
{
    if (number == previous)
        return "Jede Zahl darf nur einmal vorkommen: " + escaped(number) + " steht zweimal.";
    return "Die Zahlen müssen aufsteigen: " + escaped(number) + " steht nach " + escaped(previous)
        + "; bitte sortieren.";
}

std::string listTooLong(std::string_view elementName, std::uint32_t count, std::string_view rest)
{
    return "Ein " + element(elementName) + " hat genau " + number(count) + " Zahlen; danach folgt noch " + quoted(rest)
        + ".";
}

std::string poolRowTooShort(std::size_t length)
{
    if (length == 0)
        return "<fenuTipp> ist leer; verlangt sind " + std::string(poolShape) + ".";
    return "Die <fenuTipp>-Reihe endet nach " + number(length) + " Zeichen; verlangt sind " + std::string(poolShape)
        + ".";
}

std::string poolSymbol(std::size_t field, std::string_view symbol, std::uint32_t dashesBefore)
{
    const std::string allowed = field <= 5 ? "in den Feldern 1 bis 5 sind nur 1, 2 und X erlaubt"
        : dashesBefore >= 5                ? "erlaubt sind 1, 2 und X, denn die fünf „-“ stehen schon"
                                           : "erlaubt sind 1, 2, X und -";
    if (symbol == ",")
        return "Das " + number(field) + ". Feld ist leer" + (field > 1 ? " (zwei Kommas hintereinander)" : "") + "; "
            + (field <= 5 ? "erlaubt sind 1, 2 und X" : allowed) + ".";
    return "Im " + number(field) + ". Feld steht " + quoted(symbol) + "; " + allowed + ".";
}

std::string poolDashInFirstFive(std::size_t field)
{
    return "Im " + number(field) + ". Feld steht „-“; in den Feldern 1 bis 5 sind nur 1, 2 und X erlaubt.";
}

std::string poolSeparator(std::size_t field, std::string_view separator)
{
    return "Nach dem " + number(field) + ". Feld muss ein Komma stehen, " + found(separator) + ".";
}

std::string poolDashCount(std::uint32_t dashes)
{
    return "Eine <fenuTipp>-Reihe hat genau fünf „-“, diese hat " + number(dashes) + ".";
}

std::string poolSixthDash(std::size_t field)
{
    return "Im " + number(field) + ". Feld steht ein sechstes „-“; eine Reihe hat genau fünf, hier also 1, 2 oder X.";
}

std::string poolRowTooLong(std::string_view rest)
{
    return "Nach dem 18. Feld darf nichts mehr folgen, " + found(rest) + ".";
}

std::string brakelTooShort(std::size_t length)
{
    if (length == 0)
        return "<brakelTipp> ist leer; verlangt sind " + std::string(brakelShape) + ".";
    return "<brakelTipp> hat nur " + number(length) + " Zeichen; verlangt sind " + std::string(brakelShape) + ".";
}

std::string brakelSymbol(std::size_t pair, std::string_view symbol, bool second)
{
    if (symbol == ",")
        return second
            ? "Das " + number(pair) + ". Paar von <brakelTipp> hat nur ein Zeichen; jedes hat zwei aus 0, 1, 2 und +."
            : "Vor dem " + number(pair) + ". Paar von <brakelTipp> stehen zwei Kommas hintereinander.";
    return "Im " + number(pair) + ". Paar von <brakelTipp> steht " + quoted(symbol) + "; erlaubt sind 0, 1, 2 und +.";
}

std::string brakelSeparator(std::size_t pair, std::string_view separator)
{
    return "Nach dem " + number(pair) + ". Paar von <brakelTipp> muss ein Komma stehen, " + found(separator) + ".";
}

std::string brakelTooLong(std::string_view rest)
{
    return "Nach dem 5. Paar von <brakelTipp> darf nichts mehr folgen, " + found(rest) + ".";
}

std::string endsEarly(std::uint32_t line, std::uint32_t column)
{
    return "Die Datei endet schon in Zeile " + number(line) + ", Spalte " + number(column) + ".";
}

std::string endedByEndOfText(std::uint32_t line, std::uint32_t column, std::uint64_t bytesAfter)
{
    return "Ein Byte 0x1A (Strg+Z) in Zeile " + number(line) + ", Spalte " + number(column) + " beendet die Datei vor "
        + grouped(bytesAfter) + " weiteren Bytes: Bitte löschen.";
}

} // namespace kavrin::reasons
