// The page's door into the checker: the same check, excerpt and JSON
// record as kavrin-check, compiled to WebAssembly; and for the editor the
// format table, the rule of a value, and a file's data both ways as
// kavrin-check --export and kavrin-make have it.
#include "dataFields.h"
#include "dataInput.h"
#include "fileReport.h"
#include "format.h"
#include "kavrin.h"
#include "repair.h"
#include "ticketData.h"
#include "utf8.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>

namespace {

// A line longer than this is sent as a window around the mark, which starts
// this far into it: a browser cannot lay out a megabyte line, and the record
// stays small.
constexpr std::size_t longLine = 160;
constexpr std::size_t leadIn = 24;

// Where the bytes came from: a chosen or dropped file has a name and gets
// its rules, as kavrin-check gives them; pasted text has none.
enum class source { file = 0, pasted = 1, unreadableFile = 2 };

// The record kavrin-check --json writes for this name and these bytes, its
// long lines cut to a window, and a correct file's summary as a line.
std::string checkBytes(const std::string& name, std::string_view bytes, double wholeSize, int from)
{
    const std::uint64_t whole = wholeSize > double(bytes.size()) ? std::uint64_t(wholeSize) : 0;
    const kavrin::source what = from == int(source::pasted) ? kavrin::source::bytes(bytes, whole)
        : from == int(source::unreadableFile)               ? kavrin::source::unreadable(name)
                                                            : kavrin::source::namedBytes(name, bytes, whole);
    const kavrin::fileReport report = kavrin::reportOf(name, what, kavrin::defaultMaxViolations);
    // Each excerpt is made once, and a long line cut to a window around the
    // mark: a browser cannot lay out a megabyte line.
    const auto windowed = [&report](std::size_t index) {
        std::optional<kavrin::excerptDisplay> excerpt = kavrin::excerptOf(report, index);
        if (excerpt)
            excerpt = kavrin::windowedDisplay(*excerpt, longLine, leadIn);
        return excerpt;
    };
    std::string record;
    kavrin::writeJsonReport(
        report, [&record](std::string_view piece) { record += piece; }, windowed);
    const std::string summary
        = report.valid() ? kavrin::jsonQuoted(kavrin::summaryText(report.checked.summary)) : "null";
    return "{\"record\":" + record + ",\"summaryText\":" + summary + "}";
}

// The repaired copy of the bytes, the name offered for it, its changes, each
// as a line of text, and the copy's own check as check() gives it; no copy
// when nothing could be repaired.
emscripten::val repairBytes(const std::string& name, std::string_view bytes)
{
    const kavrin::repairResult result = kavrin::repairBytes(bytes);
    emscripten::val out = emscripten::val::object();
    std::string changes = "[";
    for (const kavrin::repairChange& change : result.changes)
        changes.append(changes.size() > 1 ? "," : "").append(kavrin::jsonQuoted(kavrin::changeText(change)));
    out.set("changes", changes + "]");
    out.set("name", kavrin::repairedName(kavrin::utf8::baseName(name)));
    if (result.changes.empty())
        return out;
    const std::string copyName = out["name"].as<std::string>();
    out.set("summary",
        kavrin::repairSummaryText(result.changes.size(), result.violationsLeft, result.leftOut, result.moreLeft));
    out.set("copy", checkBytes(copyName, result.bytes, 0, int(source::file)));
    const auto* data = reinterpret_cast<const unsigned char*>(result.bytes.data());
    // A copy the page owns: the view would die with this function's string.
    out.set("bytes",
        emscripten::val(emscripten::typed_memory_view(result.bytes.size(), data)).call<emscripten::val>("slice"));
    return out;
}

// The bytes to check are put here by the page, with one fast copy into the
// module's memory; passed as a value, they would be copied byte by byte.
std::string inboxBytes;

double inbox(double size)
{
    inboxBytes.assign(std::size_t(size), '\0');
    return double(reinterpret_cast<std::uintptr_t>(inboxBytes.data()));
}

std::string check(const std::string& name, double wholeSize, int from)
{
    return checkBytes(name, inboxBytes, wholeSize, from);
}

emscripten::val repair(const std::string& name) { return repairBytes(name, inboxBytes); }

// The table as the editor builds its form from it.
std::string formatTable()
{
    constexpr std::string_view kinds[] = { "none", "version", "number", "gameType", "duration", "filterCodes",
        "numberList", "poolRow", "goalScoreTip" };
    std::string elements;
    for (const kavrin::format::element& e : kavrin::format::elements) {
        std::string games;
        for (const kavrin::format::gameRules& each : kavrin::format::gameTable)
            if (kavrin::format::belongsTo(e, each.id))
                games.append(games.empty() ? "" : ",").append(std::to_string(kavrin::numberOf(each.id)));
        elements.append(elements.empty() ? "" : ",")
            .append("{\"name\":" + kavrin::jsonQuoted(e.name) + ",\"parent\":" + kavrin::jsonQuoted(e.parent)
                + ",\"minOccurs\":" + std::to_string(e.minOccurs) + ",\"maxOccurs\":" + std::to_string(e.maxOccurs)
                + ",\"value\":" + kavrin::jsonQuoted(kinds[static_cast<std::size_t>(e.value)])
                + ",\"minimum\":" + std::to_string(e.minimum) + ",\"maximum\":" + std::to_string(e.maximum)
                + ",\"count\":" + std::to_string(e.count) + ",\"sinceVersion\":" + std::to_string(e.sinceVersion)
                + ",\"games\":[" + games + "],\"description\":" + kavrin::jsonQuoted(e.description)
                + ",\"example\":" + kavrin::jsonQuoted(e.example) + "}");
    }
    std::string games;
    for (const kavrin::format::gameRules& each : kavrin::format::gameTable) {
        const std::uint32_t id = kavrin::numberOf(each.id);
        games.append(games.empty() ? "" : ",")
            .append("{\"id\":" + std::to_string(id) + ",\"title\":" + kavrin::jsonQuoted(each.title)
                + ",\"version\":" + kavrin::jsonQuoted(kavrin::versionFor(id)) + ",\"durationLimit\":"
                + std::to_string(each.durationLimit) + ",\"tip\":" + kavrin::jsonQuoted(each.tip) + "}");
    }
    return "{\"elements\":[" + elements + "],\"games\":[" + games + "]}";
}

// What the value of a field breaks, as the check would say it; empty when
// it keeps its rule.
std::string valueFault(const std::string& element, const std::string& text, int gameType, const std::string& version)
{
    const kavrin::format::element* e = kavrin::format::find(element);
    if (e == nullptr)
        return {};
    const kavrin::rules::verdict fault = kavrin::data::ruleOf(*e, text, std::uint32_t(gameType), version);
    return fault ? fault->reason : std::string();
}

// The data, as JSON, made into a file: its bytes, or the first fault with
// where it lies (the ticket and tip counted from 1).
emscripten::val writeData(const std::string& json, bool crLf, const std::string& comment)
{
    emscripten::val out = emscripten::val::object();
    const kavrin::cli::dataInput given = kavrin::cli::readJsonData(json);
    if (!given.fault.empty()) {
        out.set("reason", given.fault);
        return out;
    }
    const kavrin::written file = kavrin::write(given.data, { crLf, comment });
    if (file.fault) {
        out.set("reason", file.fault->reason);
        out.set("code", std::string(file.fault->code));
        out.set("element", std::string(file.fault->element));
        out.set("ticket", double(file.fault->ticket));
        out.set("tip", double(file.fault->tip));
        return out;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(file.bytes.data());
    out.set("bytes",
        emscripten::val(emscripten::typed_memory_view(file.bytes.size(), data)).call<emscripten::val>("slice"));
    return out;
}

// A correct file's data as kavrin-check --export gives it; empty for a file
// that is not correct.
std::string readData(const std::string& name)
{
    const kavrin::reading found = kavrin::read(kavrin::source::namedBytes(name, inboxBytes));
    return found.data ? kavrin::cli::exportJson(name, *found.data) : std::string();
}

} // namespace

EMSCRIPTEN_BINDINGS(kavrin)
{
    emscripten::function("inbox", &inbox);
    emscripten::function("check", &check);
    emscripten::function("repair", &repair);
    emscripten::function("formatTable", &formatTable);
    emscripten::function("valueFault", &valueFault);
    emscripten::function("writeData", &writeData);
    emscripten::function("readData", &readData);
    emscripten::constant("maximumFileSize", double(kavrin::maximumFileSize));
}
