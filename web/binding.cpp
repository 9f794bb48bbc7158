// The page's door into the checker: the same tzvParser, excerpt and JSON
// record as kavrin-check, compiled to WebAssembly.
#include "fileReport.h"
#include "tzvParser.h"

#include <emscripten/bind.h>

#include <string>

namespace {

// The record kavrin-check --json writes for these bytes, and beside it the
// excerpt's numbered lines as the window counts them.
std::string check(const std::string& name, const std::string& bytes, double wholeSize)
{
    const kavrin::fileReport report
        = kavrin::reportOfBytes(name, bytes, wholeSize > double(bytes.size()) ? std::uint64_t(wholeSize) : 0);
    std::string blocks = "[";
    if (report.excerpt) {
        for (const std::size_t block : kavrin::lineStartBlocks(report.excerpt->text, report.excerpt->cut))
            blocks.append(blocks.size() > 1 ? "," : "").append(std::to_string(block));
    }
    return "{\"record\":" + kavrin::jsonReport(report) + ",\"lineBlocks\":" + blocks + "]}";
}

} // namespace

EMSCRIPTEN_BINDINGS(kavrin)
{
    emscripten::function("check", &check);
    emscripten::constant("maximumFileSize", double(tzvParser::maximumFileSize));
}
