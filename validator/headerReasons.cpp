#include "reasonText.h"
#include "reasons.h"
#include "utf8.h"

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
    // Blanks and line breaks around the number are read over.
    const std::string_view bare = trimmed(version);
    if (bare.empty())
        return "<versionsNr> ist leer" + wanted;
    if (bare.front() < '0' || bare.front() > '9')
        return "<versionsNr> " + quoted(bare, 16) + " ist keine Versionsnummer" + wanted;
    return "<versionsNr> " + quoted(bare, 16) + " passt nicht zu " + game(gameType) + ": Dort muss "
        + wantedVersion(gameType) + " stehen.";
}

std::string notANumber(
    std::string_view elementName, std::string_view text, std::uint32_t minimum, std::uint32_t maximum)
{
    const std::string wanted
        = maximum == minimum + 1 ? range(minimum, maximum) : "eine Zahl von " + range(minimum, maximum);
    if (text.empty())
        return element(elementName) + " ist leer; verlangt ist " + wanted + ".";
    return element(elementName) + " muss " + wanted + " sein, " + found(text) + ".";
}

std::string valueOutOfRange(
    std::string_view elementName, std::string_view text, std::uint32_t minimum, std::uint32_t maximum, bool tooLarge)
{
    return element(elementName) + " muss zwischen " + number(minimum) + " und " + number(maximum) + " liegen; "
        + quoted(text) + (tooLarge ? " ist zu groß." : " ist zu klein.");
}

std::string unknownGameType(std::string_view text)
{
    constexpr std::string_view games = "47 (6 aus 45), 34 (5 aus 50 plus 2 aus 12), 28 (Ergebniswette)";
    if (text.empty())
        return "<wsArt> ist leer; erlaubt: " + std::string(games) + ".";
    return "Erlaubt in <wsArt>: " + std::string(games) + "; " + found(text, 16) + ".";
}

std::string durationOutOfRange(std::string_view text, std::uint32_t gameType, std::uint32_t maximum)
{
    return "<tnDauer> muss bei " + game(gameType) + " zwischen 1 und " + number(maximum) + " liegen, " + found(text)
        + ".";
}

std::string filterCodeLength(std::string_view code, std::size_t length)
{
    return "Jeder Code in <filter> hat genau 4 Ziffern oder Großbuchstaben; " + quoted(code) + " hat " + number(length)
        + " Zeichen.";
}

std::string filterEmptyCode(bool atStart)
{
    return atStart ? "<filter> beginnt mit einem Komma; bitte löschen."
                   : "In <filter> stehen zwei Kommas hintereinander; bitte eines löschen.";
}

std::string filterCodeCharacters(std::string_view code)
{
    // Four characters of a code, then something else: a separator other
    // than the comma.
    const std::size_t wrong = code.find_first_not_of("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    if (wrong == 4)
        return filterSeparator(utf8::wholeCharacters(code, wrong, 1), code.substr(0, wrong));
    const std::string_view lowerCase = "abcdefghijklmnopqrstuvwxyz";
    return "Ein Code in <filter> hat nur A–Z ohne Umlaute und Ziffern, " + found(code)
        + (code.find_first_of(lowerCase) != std::string_view::npos ? ": Bitte groß schreiben." : ".");
}

std::string filterTrailingComma()
{
    return "<filter> endet mit einem Komma: Danach muss ein weiterer Code stehen, oder das Komma muss weg.";
}

std::string filterSeparator(std::string_view separator, std::string_view code)
{
    return "Codes werden mit Komma getrennt, " + found(separator) + " nach " + quoted(code) + ".";
}

std::string tooManyFilterCodes(std::uint32_t limit, std::string_view rest)
{
    return "Ein <filter> hat höchstens " + number(limit) + " Codes; nach dem " + number(limit) + ". folgt noch "
        + quoted(rest) + ".";
}

std::string ziroPlusNeedsVersion4(std::string_view version, std::uint32_t gameType)
{
    // The same advice as for the version: a game of version 4 keeps
    // <ziroPlus>, the pool game of version 3 cannot.
    const std::string shown = quoted(trimmed(version), 16);
    if (gameType == 28)
        return "<ziroPlus> gibt es erst ab Version 4.x; Spielart 28 hat " + shown + ": Bitte <ziroPlus> entfernen.";
    const std::string needs = "<ziroPlus> gibt es erst ab Version 4.x, diese Datei hat " + shown;
    if (gameType == 47 || gameType == 34)
        return needs + ": Bitte <versionsNr> auf 4.0 setzen.";
    return needs + ".";
}

} // namespace kavrin::reasons
