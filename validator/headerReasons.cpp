#include "reasonText.h"
#include "reasons.h"

namespace kavrin::reasons {

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

} // namespace kavrin::reasons
