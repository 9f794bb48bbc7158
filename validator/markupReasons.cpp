#include "reasonText.h"
#include "reasons.h"
#include "utf8.h"

namespace kavrin::reasons {

namespace {

    constexpr std::string_view theDeclaration = "Die XML-Deklaration lautet <?xml version=\"1.0\" encoding=\"UTF-8\"?>";

} // namespace

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

} // namespace kavrin::reasons
