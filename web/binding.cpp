// The page's door into the checker: the same check, excerpt and JSON
// record as kavrin-check, compiled to WebAssembly.
#include "fileReport.h"
#include "kavrin.h"
#include "repair.h"
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
    out.set("summary", kavrin::repairSummaryText(result.changes.size(), result.violationsLeft, result.leftOut));
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

} // namespace

EMSCRIPTEN_BINDINGS(kavrin)
{
    emscripten::function("inbox", &inbox);
    emscripten::function("check", &check);
    emscripten::function("repair", &repair);
    emscripten::constant("maximumFileSize", double(kavrin::maximumFileSize));
}
