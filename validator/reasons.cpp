#include "reasons.h"

#include "utf8.h"

#include <cstring>

namespace kavrin::reasons {

namespace {

    constexpr std::size_t shownCharacters = 32;
    constexpr std::string_view openQuote = "„";
    constexpr std::string_view closeQuote = "“";
    constexpr std::string_view ellipsis = "…";

    std::string number(std::uint64_t value) { return std::to_string(value); }

    // 4194304 as "4 194 304".
    std::string grouped(std::uint64_t value)
    {
        const std::string digits = number(value);
        std::string out;
        for (std::size_t i = 0; i < digits.size(); ++i) {
            if (i > 0 && (digits.size() - i) % 3 == 0)
                out.push_back(' ');
            out.push_back(digits[i]);
        }
        return out;
    }

    std::string twoDigits(std::uint32_t value) { return (value < 10 ? "0" : "") + number(value); }

    std::string hexByte(int byte) { return "0x" + utf8::hex(static_cast<std::uint32_t>(byte) & 0xFF, 2); }

    // Control characters, bytes that are not UTF-8 and characters that would
    // change how the reason is shown are escaped or named; the rest is
    // quoted as it stands.
    std::string escaped(std::string_view value)
    {
        std::string out;
        std::size_t characters = 0;
        for (std::size_t i = 0; i < value.size(); ++characters) {
            if (characters == shownCharacters) {
                out += ellipsis;
                break;
            }
            const auto byte = static_cast<unsigned char>(value[i]);
            const std::size_t length = utf8::wellFormedLength(value, i);
            const char32_t c = length == 0 ? 0 : utf8::decode(value, i, length);
            if (byte == '\t')
                out += "\\t";
            else if (byte == '\n')
                out += "\\n";
            else if (byte == '\r')
                out += "\\r";
            else if (length == 0 || byte < 0x20 || byte == 0x7F)
                out += "\\x" + hexByte(byte).substr(2);
            else if (!utf8::hiddenCharacterName(c).empty())
                out += utf8::describe(c);
            else
                out.append(value.substr(i, length));
            i += length == 0 ? 1 : length;
        }
        return out;
    }

    std::string range(std::uint32_t minimum, std::uint32_t maximum)
    {
        return maximum == minimum + 1 ? number(minimum) + " oder " + number(maximum)
                                      : number(minimum) + " bis " + number(maximum);
    }

    std::string listShape(std::string_view element, std::uint32_t count, std::uint32_t maximum)
    {
        return "ein " + std::string(element) + " besteht aus " + number(count) + " zweistelligen Zahlen von 01 bis "
            + twoDigits(maximum) + ", getrennt durch Kommas";
    }

    constexpr std::string_view poolShape
        = "eine fenuTipp-Reihe besteht aus 18 Feldern aus 1, 2, X und -, getrennt durch Kommas, etwa "
          "1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2";
    constexpr std::string_view brakelShape
        = "ein brakelTipp besteht aus fünf Paaren aus 0, 1, 2 und +, getrennt durch Kommas, etwa 10,2+,00,+1,21";
    constexpr std::string_view theDeclaration = "Die XML-Deklaration lautet <?xml version=\"1.0\" encoding=\"UTF-8\"?>";

} // namespace

std::string quoted(std::string_view value) { return std::string(openQuote) + escaped(value) + std::string(closeQuote); }

std::string tag(std::string_view inner) { return "<" + escaped(inner) + ">"; }

std::string noFileName() { return "Es wurde kein Dateiname eingegeben."; }

std::string wrongFileName(std::string_view name)
{
    return "Der Name " + quoted(utf8::baseName(name))
        + " endet nicht auf „.tzv“ (klein geschrieben, nach mindestens einem Zeichen).";
}

std::string cannotOpen(textReader::openFailure failure, int errorNumber)
{
    switch (failure) {
    case textReader::openFailure::notFound:
        return "Die Datei gibt es nicht. Bitte Ordner und Namen prüfen.";
    case textReader::openFailure::noPermission:
        return "Die Datei darf nicht gelesen werden: es fehlen die Leserechte.";
    case textReader::openFailure::directory:
        return "Der Name bezeichnet einen Ordner, keine Datei.";
    case textReader::openFailure::notRegular:
        return "Der Name bezeichnet keine gewöhnliche Datei, sondern etwa ein Gerät, eine FIFO oder einen Socket.";
    case textReader::openFailure::unreadable:
        return "Die Datei ließ sich nicht lesen: Sie ist ein Ordner oder wurde nach der Auswahl entfernt oder "
               "geändert. Bitte die Datei erneut wählen.";
    default:
        return "Das Betriebssystem meldet: " + std::string(std::strerror(errorNumber)) + " (Fehler "
            + number(static_cast<std::uint64_t>(errorNumber)) + ").";
    }
}

std::string fileTooLarge(std::uint64_t size, std::uint64_t limit, bool sizeKnown)
{
    const std::string allowed = "erlaubt sind höchstens " + grouped(limit) + " Bytes.";
    if (!sizeKnown)
        return "Die Eingabe ist größer als " + grouped(limit) + " Bytes; " + allowed;
    return "Die Datei ist " + grouped(size) + " Bytes groß; " + allowed;
}

std::string tooManyTickets(unsigned limit, std::uint32_t line)
{
    return "Die Datei enthält mehr als " + number(limit) + " Scheine (der " + number(limit + 1u) + ". beginnt in Zeile "
        + number(line) + ").";
}

std::string wrongFirstBytes(int first, int second, int third, std::uint64_t size)
{
    if (first == textReader::endOfInput) {
        if (size == 0)
            return "Die Datei ist leer.";
        return "Die Datei beginnt mit dem Byte 0x1A, das als Dateiende gilt: sie hat keinen Inhalt.";
    }
    if ((first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF))
        return "Die Datei beginnt mit " + hexByte(first) + " " + hexByte(second)
            + ", der Byte-Reihenfolge-Marke von UTF-16: sie wurde als UTF-16 (Unicode) gespeichert. Bitte als UTF-8 "
              "speichern.";
    if (first == 0x00)
        return "Die Datei beginnt mit einem NUL-Byte (0x00): vermutlich wurde sie als UTF-16 oder UTF-32 "
               "gespeichert. Bitte als UTF-8 speichern.";
    if (first == 0xEF)
        return "Die Datei beginnt mit " + hexByte(first) + (second >= 0 ? " " + hexByte(second) : "")
            + (third >= 0 ? " " + hexByte(third) : "")
            + ", aber nicht mit der vollständigen UTF-8-Byte-Reihenfolge-Marke 0xEF 0xBB 0xBF.";
    return "Die Datei beginnt mit dem Byte " + hexByte(first)
        + ", mit dem keine Datei in UTF-8 oder ASCII beginnen kann.";
}

std::string invalidUtf8(int byte, std::uint32_t line, std::uint32_t column, bool atEnd)
{
    const std::string place = "Zeile " + number(line) + ", Spalte " + number(column);
    if (atEnd)
        return "Die Datei endet in " + place + " mitten in einem UTF-8-Zeichen, das mit " + hexByte(byte) + " beginnt.";
    std::string reason = "Das Byte " + hexByte(byte) + " in " + place + " ist kein gültiges UTF-8.";
    // A Windows-1252 umlaut is read as the lead of a sequence that breaks
    // off; other bytes hint at it only when UTF-8 has no use for them at all.
    const char32_t letter = utf8::windows1252(static_cast<unsigned char>(byte));
    constexpr std::u32string_view germanLetters = U"ÄÖÜäöüß";
    const bool neverLead = byte < 0xC2 || byte > 0xF4;
    if (byte >= 0x80 && letter >= 0xA0 && (neverLead || germanLetters.find(letter) != std::u32string_view::npos)) {
        reason += " Vermutlich wurde die Datei als Windows-1252 (ANSI) gespeichert, wo es für „";
        utf8::appendUtf8(reason, letter);
        reason += "“ steht. Bitte als UTF-8 speichern.";
    }
    return reason;
}

std::string nulByte(std::string_view element, std::uint32_t line, std::uint32_t column)
{
    const std::string where = element.empty() ? "in einem Tag" : "im Inhalt von " + tag(element);
    return "Die Datei enthält " + where + " ein NUL-Byte (0x00) in Zeile " + number(line) + ", Spalte " + number(column)
        + "; Text- und XML-Dateien enthalten keine NUL-Bytes.";
}

std::string badDeclaration(std::string_view expected, std::string_view found)
{
    return std::string(theDeclaration) + "; erwartet wird " + quoted(expected) + ", gefunden "
        + (found.empty() ? std::string("nichts") : quoted(found)) + ".";
}

std::string unsupportedEncoding(std::string_view found)
{
    if (found.size() >= 2 && (found.front() == '"' || found.front() == '\'') && found.back() == found.front())
        found = found.substr(1, found.size() - 2);
    return "Die XML-Deklaration nennt die Kodierung " + quoted(found)
        + "; erlaubt sind nur \"UTF-8\" und \"ASCII\" (auch klein geschrieben).";
}

std::string unexpectedEnd(std::uint32_t line)
{
    return "Die Datei endet in Zeile " + number(line) + ", bevor das Dokument mit </uvra> abgeschlossen ist.";
}

std::string unclosedTag(std::string_view inner)
{
    return "Das Tag " + quoted("<" + std::string(inner)) + " wird nicht mit „>“ geschlossen: die Datei endet vorher.";
}

std::string textOutsideElement(std::string_view found)
{
    return "Erwartet wird ein Tag, das mit „<“ beginnt, gefunden " + quoted(found)
        + ". Text steht nur innerhalb eines Elements wie <ziroTipp>.";
}

std::string unexpectedElement(std::string_view expected, std::string_view foundInner)
{
    std::string reason = "Erwartet wird <" + std::string(expected) + ">, gefunden " + tag(foundInner) + ".";
    if (utf8::equalIgnoringAsciiCase(expected, foundInner))
        reason += " Groß- und Kleinschreibung zählen.";
    return reason;
}

std::string contentAfterRoot(std::string_view found)
{
    return "Nach </uvra> darf nur noch Leerraum folgen, gefunden " + quoted(found) + ".";
}

std::string versionMismatch(std::string_view version, std::uint32_t gameType)
{
    const std::string start = "versionsNr " + escaped(version) + " passt nicht zur Spielart " + number(gameType);
    if (gameType == 28)
        return start + " (erwartet 3.x).";
    if (gameType == 34 || gameType == 47)
        return start + " (erwartet 4.x).";
    return start + ": diese Spielart wird mit keiner Version mehr angenommen.";
}

std::string notANumber(std::string_view element, std::string_view found, std::uint32_t minimum, std::uint32_t maximum)
{
    return "<" + std::string(element) + "> muss eine Zahl aus Ziffern von " + range(minimum, maximum)
        + " sein, gefunden " + quoted(found) + ".";
}

std::string valueOutOfRange(
    std::string_view element, std::string_view found, std::uint32_t minimum, std::uint32_t maximum, bool tooLarge)
{
    return escaped(found) + (tooLarge ? " ist zu groß" : " ist zu klein") + ": <" + std::string(element)
        + "> liegt zwischen " + number(minimum) + " und " + number(maximum) + ".";
}

std::string unknownGameType(std::string_view found)
{
    return "<wsArt> muss die Spielart 47, 34 oder 28 nennen, gefunden " + quoted(found) + ".";
}

std::string durationOutOfRange(std::string_view found, std::uint32_t gameType, std::uint32_t maximum)
{
    return "<tnDauer> " + escaped(found) + " ist nicht erlaubt: bei Spielart " + number(gameType)
        + " liegt die Teilnahmedauer zwischen 1 und " + number(maximum) + ".";
}

std::string filterCodeLength(std::string_view code, std::size_t length)
{
    return "Der filter-Code " + quoted(code) + " hat " + number(length)
        + " Zeichen; jeder Code hat genau 4 Ziffern oder Großbuchstaben.";
}

std::string filterCodeCharacters(std::string_view code)
{
    return "Der filter-Code " + quoted(code) + " darf nur Ziffern und Großbuchstaben enthalten.";
}

std::string filterTrailingComma() { return "Der filter endet mit einem Komma; danach fehlt ein Code."; }

std::string filterSeparator(std::string_view found)
{
    return "Zwischen zwei filter-Codes steht ein Komma, gefunden " + quoted(found) + ".";
}

std::string tooManyFilterCodes(std::uint32_t limit, std::string_view rest)
{
    return "Ein filter hat höchstens " + number(limit) + " Codes; nach dem " + number(limit) + ". folgt noch "
        + quoted(rest) + ".";
}

std::string ziroPlusNeedsVersion4(std::string_view version)
{
    return "<ziroPlus> gibt es erst ab versionsNr 4.x; diese Datei hat versionsNr " + escaped(version) + ".";
}

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
