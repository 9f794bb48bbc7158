#include "reasonText.h"
#include "reasons.h"
#include "utf8.h"

#include <algorithm>
#include <iterator>

namespace kavrin::reasons {

namespace {

    constexpr std::string_view theDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

    std::string_view trimmed(std::string_view text)
    {
        const std::size_t first = text.find_first_not_of(" \t\r\n");
        if (first == std::string_view::npos)
            return {};
        return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    }

    // "<a>, <b> oder <c>"
    std::string listed(const std::vector<std::string_view>& names, std::string_view last = " oder ")
    {
        std::string out;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (i > 0)
                out += i + 1 == names.size() ? last : ", ";
            out += element(names[i]);
        }
        return out;
    }

} // namespace

std::string badDeclaration(std::string_view expected, std::string_view found)
{
    return "Erwartet wird " + quoted(expected) + ", gefunden "
        + (found.empty() ? std::string("nichts") : quotedStart(found, 20)) + "; richtig ist "
        + std::string(theDeclaration) + ".";
}

std::string misplacedDeclaration(std::string_view foundInner)
{
    if (!foundInner.empty() && foundInner.substr(0, 4) != "?xml")
        return "Die XML-Deklaration ist klein zu schreiben: " + std::string(theDeclaration) + ".";
    if (foundInner.size() > 4 && foundInner[4] != ' ')
        return "Nach „<?xml“ muss ein Leerzeichen stehen: " + std::string(theDeclaration) + ".";
    return "Die XML-Deklaration muss ganz am Anfang stehen, vor jeder Leerzeile und jedem Kommentar: "
        + std::string(theDeclaration) + ".";
}

std::string unsupportedEncoding(std::string_view found)
{
    if (found.size() >= 2 && (found.front() == '"' || found.front() == '\'') && found.back() == found.front())
        found = found.substr(1, found.size() - 2);
    return "Die Kodierung " + quotedStart(found, 20)
        + " ist nicht erlaubt, nur „UTF-8“ oder „ASCII“: Bitte als UTF-8 speichern.";
}

std::string unexpectedEnd(std::uint32_t line, bool nothingYet, const std::vector<std::string_view>& stillOpen)
{
    if (nothingYet)
        return "Die Datei enthält nur Leerzeichen und Leerzeilen, kein Dokument <uvra>…</uvra>.";
    std::vector<std::string> ends;
    for (const std::string_view name : stillOpen)
        ends.push_back("/" + std::string(name));
    std::vector<std::string_view> named(ends.begin(), ends.end());
    return "Die Datei endet in Zeile " + number(line) + ", bevor alles geschlossen ist: Es "
        + (named.size() == 1 ? "fehlt " : "fehlen ") + listed(named, " und ") + ".";
}

std::string unclosedTag(std::string_view inner)
{
    return "Das Tag " + quotedStart("<" + std::string(inner), 24)
        + " wird nicht mit „>“ geschlossen: Die Datei endet davor.";
}

std::string textOutsideElement(std::string_view found, bool afterComment)
{
    if (afterComment)
        return "Nach einem Kommentar steht " + quoted(found)
            + ": Der Wert muss vor dem Kommentar stehen, direkt nach dem Start-Tag.";
    return "Gefunden " + quoted(found) + ", erwartet ein Tag mit „<“: Text steht nur zwischen Start- und End-Tag.";
}

std::string unexpectedElement(std::string_view expected, const std::vector<std::string_view>& allowed,
    std::string_view foundInner, const elementOrder& order)
{
    const std::string_view bare = trimmed(foundInner);
    if (utf8::equalIgnoringAsciiCase(bare.substr(0, 4), "?xml"))
        return misplacedDeclaration(bare);
    for (const std::string_view name : allowed) {
        if (bare == name && bare != foundInner)
            return "Das Tag " + element(name) + " enthält Leerraum oder einen Zeilenumbruch; es muss genau "
                + element(name) + " lauten.";
        if (bare != name && utf8::equalIgnoringAsciiCase(bare, name))
            return "Gefunden " + tag(foundInner) + ", erwartet " + element(name)
                + ": Groß- und Kleinschreibung zählen.";
    }
    if (order.duplicate)
        return element(bare) + " steht doppelt; bitte eine löschen.";
    if (order.closesIn)
        return "Vor " + tag(foundInner) + " fehlt " + element("/" + std::string(order.in)) + ".";
    if (order.skipsRequired)
        return "Nach " + element(order.previous) + " fehlt " + element(expected) + ".";
    if (!order.siblings.empty()) {
        std::string names;
        for (const std::string_view name : order.siblings)
            names.append(names.empty() ? "" : ", ").append(name);
        return element(bare) + " steht an falscher Stelle: Die Reihenfolge ist " + names + ".";
    }
    return "Erwartet wird " + listed(allowed) + ", gefunden " + tag(foundInner) + ".";
}

std::string contentAfterRoot(std::string_view found)
{
    return "Nach </uvra> darf nur Leerraum folgen, gefunden " + quoted(found) + ": Bitte löschen.";
}

} // namespace kavrin::reasons
