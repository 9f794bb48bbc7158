#include "fuzzInput.h"
#include "messages.h"
#include "tzvParser.h"

#include <array>
#include <string_view>

using kavrin::fuzzing::require;

namespace {

bool isSystemMessage(const std::string& message)
{
    namespace text = kavrin::messages;
    for (const std::string_view whole :
        { text::noFile, text::badName, text::cannotOpen, text::sizeOrCount, text::encoding })
        if (message == whole)
            return true;
    const std::string_view lead = "Die Datei enthält in der Zeile ";
    if (message.compare(0, lead.size(), lead) != 0)
        return false;
    for (const std::string_view detail :
        { text::elementDetail, text::contentDetail, text::unclosedDetail, text::markupDetail })
        if (message.size() > detail.size()
            && message.compare(message.size() - detail.size(), detail.size(), detail) == 0)
            return true;
    return false;
}

} // namespace

// Every input ends with one of the system's messages, a place only for a
// positioned one, and the same outcome whatever the reader's buffer size.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string& path = kavrin::fuzzing::writeInput(data, size);
    tzvParser parser;
    parser.fileName = path;
    parser.check();
    require(parser.message.empty() || isSystemMessage(parser.message));
    require((parser.errorLine == 0) == (parser.errorColumn == 0));
    require((parser.errorLine != 0) == (parser.message.rfind("Die Datei enthält in der Zeile ", 0) == 0));

    static constexpr std::array<std::size_t, 4> smallBuffers = { 1, 2, 3, 7 };
    tzvParser chunked(smallBuffers[size % smallBuffers.size()]);
    chunked.fileName = path;
    chunked.check();
    require(chunked.message == parser.message && chunked.errorLine == parser.errorLine
        && chunked.errorColumn == parser.errorColumn);
    return 0;
}
