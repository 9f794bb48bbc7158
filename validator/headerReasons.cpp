#include "reasonText.h"
#include "reasons.h"

namespace kavrin::reasons {

namespace {

    // The versions a game is taken with: 3.x for the pool game, 4.x else.
    std::string wantedVersion(std::uint32_t gameType) { return gameType == 28 ? "3.x, etwa „3.0“" : "4.x, etwa „4.0“"; }

} // namespace

std::string versionMismatch(std::string_view version, std::uint32_t gameType)
{
    if (gameType != 28 && gameType != 34 && gameType != 47)
        return game(gameType) + " wird mit keiner Version mehr angenommen: <wsArt> muss 47, 34 oder 28 nennen.";
    const std::string wanted = "; für " + game(gameType) + " gilt " + wantedVersion(gameType) + ".";
    if (version.empty())
        return "<versionsNr> ist leer" + wanted;
    if (version.front() < '0' || version.front() > '9')
        return "<versionsNr> " + quotedStart(version, 16) + " ist keine Versionsnummer" + wanted;
    return "<versionsNr> " + quotedStart(version, 16) + " passt nicht zu " + game(gameType) + ": Dort muss "
        + wantedVersion(gameType) + " stehen.";
}

std::string notANumber(
    std::string_view elementName, std::string_view found, std::uint32_t minimum, std::uint32_t maximum)
{
    if (maximum == minimum + 1)
        return element(elementName) + " muss " + range(minimum, maximum) + " sein, gefunden " + quoted(found) + ".";
    return element(elementName) + " muss eine Zahl von " + range(minimum, maximum) + " sein, nur aus Ziffern; gefunden "
        + quoted(found) + ".";
}

std::string valueOutOfRange(
    std::string_view elementName, std::string_view found, std::uint32_t minimum, std::uint32_t maximum, bool tooLarge)
{
    return element(elementName) + " muss zwischen " + number(minimum) + " und " + number(maximum) + " liegen; "
        + quoted(found) + (tooLarge ? " ist zu groß." : " ist zu klein.");
}

std::string unknownGameType(std::string_view found)
{
    return "<wsArt> muss 47 (6 aus 45), 34 (5 aus 50 plus 2 aus 12) oder 28 (Ergebniswette) sein, gefunden "
        + quotedStart(found, 16) + ".";
}

std::string durationOutOfRange(std::string_view found, std::uint32_t gameType, std::uint32_t maximum)
{
    return "<tnDauer> muss bei " + game(gameType) + " zwischen 1 und " + number(maximum) + " liegen, gefunden "
        + quoted(found) + ".";
}

std::string filterCodeLength(std::string_view code, std::size_t length)
{
    return "Jeder Code in <filter> hat genau 4 Ziffern oder Großbuchstaben; " + quoted(code) + " hat " + number(length)
        + (length == 1 ? " Zeichen." : " Zeichen.");
}

std::string filterCodeCharacters(std::string_view code)
{
    return "Ein Code in <filter> besteht nur aus Ziffern und Großbuchstaben, gefunden " + quoted(code) + ".";
}

std::string filterTrailingComma()
{
    return "<filter> endet mit einem Komma: Danach muss ein weiterer Code stehen, oder das Komma muss weg.";
}

std::string filterSeparator(std::string_view found)
{
    return "Zwischen zwei Codes in <filter> muss ein Komma stehen, gefunden " + quoted(found) + ".";
}

std::string tooManyFilterCodes(std::uint32_t limit, std::string_view rest)
{
    return "<filter> hat höchstens " + number(limit) + " Codes; nach dem " + number(limit) + ". folgt noch "
        + quoted(rest) + ".";
}

std::string ziroPlusNeedsVersion4(std::string_view version)
{
    return "<ziroPlus> gibt es erst ab <versionsNr> 4.x, diese Datei hat " + quoted(version)
        + ": Bitte <ziroPlus> entfernen.";
}

} // namespace kavrin::reasons
