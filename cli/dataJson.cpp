#include "codes.h"
#include "dataFields.h"
#include "dataInput.h"
#include "fileReport.h"
#include "format.h"
#include "jsonReader.h"
#include "reasonText.h"
#include "reasons.h"

// The data of a ticket file as JSON: each value under the name of its
// element, an element that may stand more than once as a list of them, a
// group of elements as an object. The same table orders the file, the
// export and what the input may hold.
namespace kavrin::cli {

namespace {

    using format::valueKind;
    using json::value;

    constexpr std::string_view fileKey = "file";
    constexpr const format::element& rootRow = format::row("uvra");
    constexpr const format::element& ticketRow = format::row("schein");

    // -- Export

    std::string numbersJson(const std::vector<std::uint32_t>& numbers)
    {
        std::string out = "[";
        for (const std::uint32_t number : numbers)
            out.append(out.size() > 1 ? "," : "").append(std::to_string(number));
        return out + "]";
    }

    std::string textsJson(const std::vector<std::string>& texts)
    {
        std::string out = "[";
        for (const std::string& text : texts)
            out.append(out.size() > 1 ? "," : "").append(jsonQuoted(text));
        return out + "]";
    }

    std::string symbolsJson(std::string_view symbols)
    {
        std::vector<std::string> fields;
        for (const char symbol : symbols)
            fields.emplace_back(1, symbol);
        return textsJson(fields);
    }

    class exporter {
    public:
        explicit exporter(const ticketFile& data)
            : data(data)
            , gameType(static_cast<game>(data.gameType))
        {
        }

        std::string object(const format::element& parent, const ticket* in = nullptr, const numberTip* tip = nullptr)
        {
            std::string out;
            for (const format::element& e : format::elements) {
                if (e.parent != parent.name || !format::belongsTo(e, gameType))
                    continue;
                const std::string shown = valueOf(e, in, tip);
                if (!shown.empty())
                    out.append(out.empty() ? "" : ",").append(jsonQuoted(e.name)).append(":").append(shown);
            }
            return "{" + out + "}";
        }

    private:
        const ticketFile& data;
        game gameType;

        // The value of an element as JSON; empty when the data has none.
        std::string valueOf(const format::element& e, const ticket* in, const numberTip* tip)
        {
            const bool many = e.maxOccurs > 1;
            switch (e.value) {
            case valueKind::version:
                return jsonQuoted(data.version);
            case valueKind::gameType:
                return std::to_string(data.gameType);
            case valueKind::number:
            case valueKind::duration: {
                const std::optional<std::uint32_t> number = data::numberOf(data, e);
                return number ? std::to_string(*number) : std::string();
            }
            case valueKind::filterCodes:
                return data.filter ? textsJson(*data.filter) : std::string();
            case valueKind::numberList:
                if (tip != nullptr)
                    return numbersJson(&e == &data::starsRow ? tip->stars : tip->numbers);
                return listOf(in->numberTips, [](const numberTip& each) { return numbersJson(each.numbers); });
            case valueKind::poolRow:
                return listOf(in->poolRows, symbolsJson);
            case valueKind::goalScoreTip:
                return in->goalScoreTip.empty() ? std::string() : textsJson(in->goalScoreTip);
            case valueKind::none:
                if (&e == &ticketRow)
                    return listOf(data.tickets, [this, &e](const ticket& each) { return object(e, &each); });
                if (many)
                    return listOf(
                        in->numberTips, [this, &e, in](const numberTip& each) { return object(e, in, &each); });
                return data.wimbel ? object(e) : std::string();
            }
            return {};
        }

        template <class Item, class Shown> static std::string listOf(const std::vector<Item>& items, Shown&& shown)
        {
            std::string out = "[";
            for (const Item& item : items)
                out.append(out.size() > 1 ? "," : "").append(shown(item));
            return out + "]";
        }
    };

    // -- Input

    struct failed {
        std::uint32_t line;
        std::string problem;
    };

    [[noreturn]] void fail(const value& at, std::string problem) { throw failed { at.line, std::move(problem) }; }

    std::string key(std::string_view name) { return reasons::quoted(name); }

    std::string_view kindName(value::kind what)
    {
        switch (what) {
        case value::kind::null:
            return "null";
        case value::kind::boolean:
            return "true oder false";
        case value::kind::number:
            return "eine Zahl";
        case value::kind::string:
            return "ein Text";
        case value::kind::array:
            return "eine Liste";
        case value::kind::object:
            return "ein Objekt";
        }
        return {};
    }

    const value& expect(const value& given, value::kind what, std::string_view name, std::string_view wanted)
    {
        if (given.what != what)
            fail(given,
                key(name) + " ist " + std::string(wanted) + ", hier steht " + std::string(kindName(given.what)) + ".");
        return given;
    }

    const value& expectList(const value& given, std::string_view name)
    {
        return expect(given, value::kind::array, name, "eine Liste [ … ]");
    }

    std::uint32_t wholeNumberOf(const value& given, std::string_view name)
    {
        expect(given, value::kind::number, name, "eine Zahl");
        const std::optional<std::uint32_t> number = wholeNumber(given.text);
        if (!number)
            fail(given, key(name) + ": " + reasons::quoted(given.text) + " ist keine ganze Zahl von 0 bis 4294967295.");
        return *number;
    }

    std::vector<std::uint32_t> numbersOf(const value& given, std::string_view name)
    {
        std::vector<std::uint32_t> numbers;
        for (const value& item : expectList(given, name).items)
            numbers.push_back(wholeNumberOf(item, name));
        return numbers;
    }

    std::vector<std::string> textsOf(const value& given, std::string_view name)
    {
        std::vector<std::string> texts;
        for (const value& item : expectList(given, name).items)
            texts.push_back(expect(item, value::kind::string, name, "eine Liste von Texten").text);
        return texts;
    }

    class importer {
    public:
        dataInput in;

        void file(const value& root)
        {
            expect(root, value::kind::object, rootRow.name, "ein JSON-Objekt { … }");
            in.lines.header = root.line;
            const format::element& gameRow = format::row("wsArt");
            if (const value* given = root.find(gameRow.name))
                in.data.gameType = wholeNumberOf(*given, gameRow.name);
            gameType = static_cast<game>(in.data.gameType);
            members(root, rootRow);
            if (in.data.version.empty() && root.find(format::row("versionsNr").name) == nullptr)
                in.data.version = versionFor(in.data.gameType);
        }

    private:
        game gameType = game::none;

        // The members of an object that stands for the element parent: each
        // a child of it in this game; those it must have are there.
        void members(
            const value& object, const format::element& parent, ticket* inTicket = nullptr, numberTip* inTip = nullptr)
        {
            for (const auto& [name, given] : object.members) {
                const format::element* e = format::find(name);
                if (&parent == &rootRow && name == fileKey)
                    continue;
                if (e == nullptr || e->parent != parent.name || !format::belongsTo(*e, gameType))
                    fail(given,
                        "Unbekannter Schlüssel " + key(name) + " in " + reasons::element(parent.name)
                            + "; erlaubt sind " + allowed(parent) + ".");
                if (&parent == &rootRow)
                    in.lines.elements.emplace(name, given.line);
                take(*e, given, inTicket, inTip);
            }
            for (const format::element& e : format::elements)
                if (e.parent == parent.name && format::belongsTo(e, gameType) && e.minOccurs > 0
                    && e.value != valueKind::version && object.find(e.name) == nullptr)
                    fail(object, "In " + reasons::element(parent.name) + " fehlt " + key(e.name) + ".");
        }

        std::string allowed(const format::element& parent) const
        {
            std::string names;
            for (const format::element& e : format::elements)
                if (e.parent == parent.name && format::belongsTo(e, gameType))
                    names.append(names.empty() ? "" : ", ").append(e.name);
            return names;
        }

        void take(const format::element& e, const value& given, ticket* inTicket, numberTip* inTip)
        {
            ticketFile& data = in.data;
            switch (e.value) {
            case valueKind::version:
                data.version = expect(given, value::kind::string, e.name, "ein Text").text;
                return;
            case valueKind::gameType:
                return;
            case valueKind::number:
            case valueKind::duration:
                data::setNumber(data, e, wholeNumberOf(given, e.name));
                return;
            case valueKind::filterCodes:
                data.filter = textsOf(given, e.name);
                return;
            case valueKind::numberList:
                if (inTip != nullptr)
                    (&e == &data::starsRow ? inTip->stars : inTip->numbers) = numbersOf(given, e.name);
                else
                    for (const value& tip : expectList(given, e.name).items) {
                        inTicket->numberTips.push_back({ numbersOf(tip, e.name), {} });
                        in.lines.tips.back().push_back(tip.line);
                    }
                return;
            case valueKind::poolRow:
                for (const value& row : expectList(given, e.name).items) {
                    std::string symbols;
                    for (const std::string& field : textsOf(row, e.name)) {
                        if (field.size() != 1)
                            fail(row,
                                "Jedes Feld einer Reihe ist ein Zeichen (1, 2, X oder -), gefunden "
                                    + reasons::quoted(field) + ".");
                        symbols += field;
                    }
                    inTicket->poolRows.push_back(symbols);
                    in.lines.tips.back().push_back(row.line);
                }
                return;
            case valueKind::goalScoreTip:
                inTicket->goalScoreTip = textsOf(given, e.name);
                in.lines.goalScoreTips.back() = given.line;
                return;
            case valueKind::none:
                break;
            }
            if (&e == &ticketRow) {
                for (const value& each : expectList(given, e.name).items) {
                    expect(each, value::kind::object, e.name, "eine Liste von Objekten { … }");
                    data.tickets.emplace_back();
                    in.lines.tickets.push_back(each.line);
                    in.lines.tips.emplace_back();
                    in.lines.goalScoreTips.push_back(0);
                    members(each, e, &data.tickets.back());
                }
            } else if (e.maxOccurs > 1) {
                for (const value& each : expectList(given, e.name).items) {
                    expect(each, value::kind::object, e.name, "eine Liste von Objekten { … }");
                    inTicket->numberTips.emplace_back();
                    in.lines.tips.back().push_back(each.line);
                    members(each, e, inTicket, &inTicket->numberTips.back());
                }
            } else {
                expect(given, value::kind::object, e.name, "ein Objekt { … }");
                data.wimbel.emplace();
                members(given, e);
                for (const auto& [name, child] : given.members)
                    in.lines.elements.emplace(name, child.line);
            }
        }
    };

} // namespace

std::string exportJson(std::string_view file, const ticketFile& data)
{
    const std::string members = exporter(data).object(rootRow);
    return "{" + std::string(jsonQuoted(fileKey)) + ":" + jsonQuoted(file) + (members.size() > 2 ? "," : "")
        + members.substr(1);
}

dataInput readJsonData(std::string_view text)
{
    const json::parsed read = json::parse(text);
    if (!read.root) {
        dataInput out;
        out.faultLine = read.line;
        out.fault = read.problem;
        return out;
    }
    importer reading;
    try {
        reading.file(*read.root);
    } catch (const failed& fault) {
        reading.in.faultLine = fault.line;
        reading.in.fault = fault.problem;
    }
    return std::move(reading.in);
}

} // namespace kavrin::cli
