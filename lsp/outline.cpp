#include "outline.h"

#include "codes.h"
#include "diagnostics.h"
#include "tagScan.h"

#include <vector>

namespace kavrin::lsp {

namespace {

    using nlohmann::json;
    using tagScan::tag;
    using tagScan::tagsOf;

    // Symbol kinds of the protocol.
    constexpr int objectKind = 19;
    constexpr int arrayKind = 18;

    struct elementRule {
        std::string_view name;
        std::string_view rule;
    };

    // What each element holds, as a player needs it to write one.
    constexpr elementRule elementRules[] = {
        { "uvra",
            "Das Wurzelelement: `<versionsNr>`, dann freiwillig `<kundenNr>` und `<spielID>`, `<wsArt>`, "
            "freiwillig `<tnDauer>`, `<filter>`, `<wimbel>` und `<ziroPlus>`, dann die Scheine." },
        { "versionsNr", "Die Version der Schnittstelle: 4.x für Spielart 47 und 34, 3.x für Spielart 28, etwa „4.0“." },
        { "kundenNr", "Freiwillig: die Kundennummer, eine Zahl von 1 bis 999999." },
        { "spielID", "Freiwillig: die Spiel-ID, eine Zahl von 1 bis 999999." },
        { "wsArt", "Die Spielart, zwei Ziffern: 47 (6 aus 45), 34 (5 aus 50 plus 2 aus 12) oder 28 (Ergebniswette)." },
        { "tnDauer", "Freiwillig: die Teilnahmedauer, 1 bis 10, bei Spielart 28 1 bis 4." },
        { "filter",
            "Freiwillig: leer oder 1 bis 20 Codes aus je vier Ziffern oder Großbuchstaben, durch Kommas "
            "getrennt, etwa „AB12,7K3Z“." },
        { "wimbel", "Freiwillig: `<anzahlWimbelProSchein>`, danach freiwillig `<maximaleWimbelAnzahl>`." },
        { "anzahlWimbelProSchein", "Eine Zahl von 1 bis 10." },
        { "maximaleWimbelAnzahl", "Eine Zahl von 1 bis 10000." },
        { "ziroPlus", "Freiwillig: 0 oder 1; erst ab Version 4." },
        { "schein",
            "Ein Schein: bei Spielart 47 1 bis 12 `<ziroTipp>`, bei 34 1 bis 10 `<tipp>`, bei 28 1 bis 13 "
            "`<fenuTipp>` und höchstens ein `<brakelTipp>`. Eine Datei hält höchstens 1000 Scheine." },
        { "ziroTipp",
            "Sechs Zahlen von 01 bis 45, je zwei Ziffern, aufsteigend, durch Kommas getrennt, etwa "
            "„03,11,19,27,38,45“." },
        { "tipp", "Ein Tipp der Spielart 34: `<vexTippZahl>`, dann `<vexTippStern>`." },
        { "vexTippZahl",
            "Fünf Zahlen von 01 bis 50, je zwei Ziffern, aufsteigend, durch Kommas getrennt, etwa „04,17,23,38,50“." },
        { "vexTippStern",
            "Zwei Zahlen von 01 bis 12, je zwei Ziffern, aufsteigend, durch Kommas getrennt, etwa „03,11“." },
        { "fenuTipp",
            "18 Zeichen aus 1, 2, X und -, durch Kommas getrennt; die ersten fünf nicht -, genau fünf - in allem." },
        { "brakelTipp", "Fünf Paare aus 0, 1, 2 und +, durch Kommas getrennt, etwa „10,2+,00,+1,21“." },
    };

    constexpr std::string_view tipElements[] = { "ziroTipp", "tipp", "fenuTipp", "brakelTipp" };

    bool isTip(std::string_view name)
    {
        for (const std::string_view tip : tipElements)
            if (tip == name)
                return true;
        return false;
    }

    std::string counted(std::size_t n, const char* one, const char* many)
    {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    }

    // The values inside a tip, joined: "01,02,03,04,05 + 01,02" for a <tipp>.
    std::string valuesBetween(std::string_view text, const std::vector<tag>& tags, std::size_t from, std::size_t to)
    {
        std::string values;
        for (std::size_t i = from; i + 1 <= to && i + 1 < tags.size(); ++i) {
            if (tags[i].closing || tags[i + 1].name != tags[i].name || !tags[i + 1].closing)
                continue;
            if (!values.empty())
                values += " + ";
            values += text.substr(tags[i].end, tags[i + 1].start - tags[i].end);
        }
        return values;
    }

} // namespace

json documentSymbols(std::string_view text, positionEncoding encoding)
{
    const std::vector<tag> tags = tagsOf(text);
    json symbols = json::array();
    const auto range = [&](std::size_t start, std::size_t end) { return rangeOfBytes(text, start, end, encoding); };
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (tags[i].closing || tags[i].name != "schein")
            continue;
        json tips = json::array();
        std::size_t tipCount = 0;
        std::size_t goalCount = 0;
        std::size_t j = i + 1;
        for (; j < tags.size() && !(tags[j].closing && tags[j].name == "schein") && !(tags[j].name == "schein"); ++j) {
            if (tags[j].closing || !isTip(tags[j].name))
                continue;
            std::size_t k = j + 1;
            while (k < tags.size() && !(tags[k].closing && tags[k].name == tags[j].name) && !isTip(tags[k].name)
                && tags[k].name != "schein")
                ++k;
            const bool closed = k < tags.size() && tags[k].closing && tags[k].name == tags[j].name;
            const std::size_t end = closed ? tags[k].end : (k < tags.size() ? tags[k].start : text.size());
            const bool goals = tags[j].name == "brakelTipp";
            (goals ? goalCount : tipCount) += 1;
            const std::string name = goals ? "Torwette" : "Tipp " + std::to_string(tipCount);
            tips.push_back({ { "name", name }, { "detail", valuesBetween(text, tags, j, k) }, { "kind", arrayKind },
                { "range", range(tags[j].start, end) }, { "selectionRange", range(tags[j].start, tags[j].end) } });
            if (closed)
                j = k;
        }
        const bool closed = j < tags.size() && tags[j].closing;
        const std::size_t end = closed ? tags[j].end : (j < tags.size() ? tags[j].start : text.size());
        std::string detail = counted(tipCount, "Tipp", "Tipps");
        if (goalCount > 0)
            detail += ", " + counted(goalCount, "Torwette", "Torwetten");
        symbols.push_back({ { "name", "Schein " + std::to_string(symbols.size() + 1) }, { "detail", std::move(detail) },
            { "kind", objectKind }, { "range", range(tags[i].start, end) },
            { "selectionRange", range(tags[i].start, tags[i].end) }, { "children", std::move(tips) } });
        i = closed ? j : j - 1;
    }
    return symbols;
}

json hoverAt(std::string_view text, editorPosition at, positionEncoding encoding)
{
    const std::size_t offset = offsetOf(text, at, encoding);
    const std::vector<tag> tags = tagsOf(text);
    const tag* found = nullptr;
    for (const tag& t : tags) {
        if (t.start > offset)
            break;
        // On a tag, or in the text right after a start tag.
        if (offset < t.end || !t.closing)
            found = &t;
        else
            found = nullptr;
    }
    if (found == nullptr)
        return nullptr;
    for (const elementRule& element : elementRules)
        if (element.name == found->name)
            return { { "contents",
                         { { "kind", "markdown" },
                             { "value", "**`<" + std::string(element.name) + ">`** " + std::string(element.rule) } } },
                { "range", rangeOfBytes(text, found->start, found->end, encoding) } };
    return nullptr;
}

json relatedPlaces(const std::string& uri, std::string_view text, std::string_view code, std::uint64_t offset,
    positionEncoding encoding)
{
    json related = json::array();
    const auto add = [&](std::size_t start, std::size_t end, std::string message) {
        related.push_back({ { "location", { { "uri", uri }, { "range", rangeOfBytes(text, start, end, encoding) } } },
            { "message", std::move(message) } });
    };
    if (offset > text.size())
        return related;
    if (code == codes::versionMismatch) {
        for (const tag& t : tagsOf(text))
            if (!t.closing && t.name == "wsArt") {
                const std::size_t valueEnd = std::min(text.find('<', t.end), text.size());
                add(t.end, valueEnd, "Die Spielart, zu der die Version passen muss");
                break;
            }
    } else if (code == codes::numbersNotAscending) {
        const std::size_t comma = offset > 0 ? text.rfind(',', offset - 1) : std::string_view::npos;
        if (comma != std::string_view::npos && comma > 0) {
            const std::size_t start = text.find_last_of(",>", comma - 1);
            add(start == std::string_view::npos ? 0 : start + 1, comma, "Die Zahl davor");
        }
    } else if (code == codes::missingEndTag) {
        std::vector<const tag*> open;
        const std::vector<tag> tags = tagsOf(text);
        for (const tag& t : tags) {
            if (t.start >= offset)
                break;
            if (!t.closing)
                open.push_back(&t);
            else if (!open.empty() && open.back()->name == t.name)
                open.pop_back();
        }
        if (!open.empty())
            add(open.back()->start, open.back()->end, "Das Element, dessen End-Tag fehlt");
    }
    return related;
}

} // namespace kavrin::lsp
