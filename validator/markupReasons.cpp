#include "layout.h"
#include "reasonText.h"
#include "reasons.h"
#include "utf8.h"

#include <algorithm>
#include <iterator>

namespace kavrin::reasons {

namespace {

    using layout::declaration;

    // A found run without the blanks at its end, which are not what is wrong.
    std::string_view trimmedEnd(std::string_view run)
    {
        return run.substr(0, std::min(run.find_last_not_of(utf8::blanks) + 1, run.size()));
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

std::string badDeclaration(std::string_view item, std::string_view expected, std::string_view foundPart)
{
    // The declaration is compared at fixed places: a line break before or at
    // the one that differs is what moved it.
    const std::size_t reached
        = foundPart.empty() ? item.size() : static_cast<std::size_t>(foundPart.data() - item.data()) + foundPart.size();
    if (item.substr(0, reached).find_first_of("\r\n") != std::string_view::npos)
        return "Die XML-Deklaration gehört auf eine Zeile: " + std::string(declaration) + ".";
    return "Erwartet wird " + quoted(expected) + ", " + found(foundPart, 12) + ": " + std::string(declaration) + ".";
}

std::string misplacedDeclaration(std::string_view foundInner)
{
    if (!foundInner.empty() && foundInner.substr(0, 4) != "?xml")
        return "Die XML-Deklaration ist klein zu schreiben: " + std::string(declaration) + ".";
    if (foundInner.size() > 4 && foundInner[4] != ' ') {
        if (foundInner.find_first_of("\r\n") != std::string_view::npos)
            return "Die XML-Deklaration gehört auf eine Zeile: " + std::string(declaration) + ".";
        return "Nach „<?xml“ muss ein Leerzeichen stehen: " + std::string(declaration) + ".";
    }
    return "Die XML-Deklaration muss ganz am Anfang stehen, vor jeder Leerzeile und jedem Kommentar.";
}

std::string unsupportedEncoding(std::string_view value)
{
    static constexpr std::string_view accepted[]
        = { "\"UTF-8\"", "'UTF-8'", "\"utf-8\"", "'utf-8'", "\"ASCII\"", "'ASCII'", "\"ascii\"", "'ascii'" };
    const std::string_view bare = trimmed(value);
    if (value.find_first_of("\r\n") != std::string_view::npos
        || (bare.size() != value.size()
            && std::find(std::begin(accepted), std::end(accepted), bare) != std::end(accepted)))
        return "Die XML-Deklaration gehört auf eine Zeile: " + std::string(declaration) + ".";
    // Within matching quotes the name is shown bare, else with what stands
    // around it, so that a missing quote shows.
    const bool inQuotes
        = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
    const std::string shown
        = inQuotes ? std::string(value.substr(1, value.size() - 2)) : "encoding=" + std::string(value);
    return "In der XML-Deklaration muss encoding=\"UTF-8\" stehen, " + found(shown, 20) + ".";
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
    return "Das Tag " + tagStart(inner, 24) + " wird nicht mit „>“ geschlossen: Die Datei endet davor.";
}

std::string textOutsideElement(std::string_view foundRun, std::string_view commentIn)
{
    if (!commentIn.empty())
        return commentInValue(commentIn);
    if (foundRun.front() == '\0') {
        const std::size_t run = std::min(foundRun.find_first_not_of('\0'), foundRun.size());
        return (run == 1 ? std::string("Ein NUL-Byte (0x00) steht") : number(run) + " NUL-Bytes (0x00) stehen")
            + ", wo ein Tag beginnen muss: Textdateien enthalten keine; bitte löschen.";
    }
    return "Gefunden " + quoted(trimmedEnd(foundRun), 16)
        + ", erwartet ein Tag mit „<“: Text steht nur zwischen Start- und End-Tag.";
}

std::string commentInValue(std::string_view elementName)
{
    return "In " + element(escaped(elementName, 24)) + " steht ein Kommentar; Kommentare sind in Werten nicht erlaubt.";
}

std::string cdataInValue(std::string_view elementName)
{
    return "In " + element(escaped(elementName, 24))
        + " steht ein CDATA-Abschnitt; der Wert steht als Text ohne „<![CDATA[“ und „]]>“.";
}

std::string blanksAroundValue(std::string_view elementName, std::string_view text)
{
    const std::string_view bare = trimmed(text);
    const std::size_t first = static_cast<std::size_t>(bare.data() - text.data());
    const spokenBlanks before = blanks(text.substr(0, first));
    const spokenBlanks after = blanks(text.substr(first + bare.size()));
    const std::string in = "In " + element(elementName);
    const std::string value = quoted(bare, 20);
    const auto verb = [](bool plural) { return plural ? " stehen " : " steht "; };
    constexpr std::string_view deleteThem = "; bitte löschen.";
    if (after.words.empty())
        return in + verb(before.plural) + "vor " + value + " " + before.words + std::string(deleteThem);
    if (before.words.empty())
        return in + verb(after.plural) + "nach " + value + " " + after.words + std::string(deleteThem);
    if (before.words == after.words)
        return in + verb(before.plural) + "vor und nach " + value + " je " + before.words + std::string(deleteThem);
    const std::string each = in + " stehen vor " + value + " " + before.words + " und danach " + after.words;
    // Too long to count: only the kinds, as an indented value has them.
    constexpr std::size_t longest = 90;
    if (utf8::characters(each) <= longest)
        return each + std::string(deleteThem);
    const std::string outside = std::string(text.substr(0, first)) + std::string(text.substr(first + bare.size()));
    std::vector<std::string_view> kinds;
    if (outside.find_first_of("\r\n") != std::string::npos)
        kinds.push_back("Zeilenumbrüche");
    if (outside.find(' ') != std::string::npos)
        kinds.push_back("Leerzeichen");
    if (outside.find('\t') != std::string::npos)
        kinds.push_back("Tabulatoren");
    std::string said = in + " stehen vor und nach " + value + " ";
    for (std::size_t i = 0; i < kinds.size(); ++i)
        said += std::string(i == 0 ? "" : i + 1 == kinds.size() ? " und " : ", ") + std::string(kinds[i]);
    return said + std::string(deleteThem);
}

std::string brokenTag(std::string_view name, std::string_view foundInner)
{
    const spokenBlanks inside = blanks(foundInner);
    return "Im Tag " + element(name) + (inside.plural ? " stehen " : " steht ") + inside.words + "; es muss genau "
        + element(name) + " lauten.";
}

std::string unexpectedElement(std::string_view expected, const std::vector<std::string_view>& allowed,
    std::string_view foundInner, const elementOrder& order)
{
    const std::string_view bare = trimmed(foundInner);
    if (utf8::equalIgnoringAsciiCase(bare.substr(0, 4), "?xml"))
        return misplacedDeclaration(bare);
    for (const std::string_view name : allowed) {
        if (bare == name && bare != foundInner)
            return brokenTag(name, foundInner);
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
    if (!order.belongsBefore.empty())
        return element(bare) + " steht an falscher Stelle: Es gehört vor " + element(order.belongsBefore) + ".";
    if (bare.ends_with('/')) {
        const std::string_view name = trimmed(bare.substr(0, bare.size() - 1));
        if (std::find(allowed.begin(), allowed.end(), name) != allowed.end())
            return "Die Kurzform " + tag(foundInner) + " kennt die Datei nicht: " + element(name)
                + " steht mit Start- und End-Tag, " + element(name) + "…" + element("/" + std::string(name)) + ".";
    }
    return "Erwartet wird " + listed(allowed) + ", gefunden " + tag(foundInner) + ".";
}

std::string contentAfterRoot(std::string_view foundRun)
{
    return "Nach </uvra> steht noch " + quoted(trimmedEnd(foundRun)) + ": Bitte löschen.";
}

} // namespace kavrin::reasons
