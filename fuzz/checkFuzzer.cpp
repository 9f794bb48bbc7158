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
// positioned one, a code and a reason exactly for a violation, and the same
// outcome whatever the reader's buffer size and whether the bytes are read
// from memory or, for one input in 64, from a file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    tzvParser parser;
    parser.checkBytes(bytes);
    require(parser.message.empty() || isSystemMessage(parser.message));
    require((parser.errorLine == 0) == (parser.errorColumn == 0));
    require((parser.errorLine != 0) == (parser.message.rfind("Die Datei enthält in der Zeile ", 0) == 0));
    require(parser.message.empty() == parser.code.empty() && parser.message.empty() == parser.reason.empty());

    const auto sameOutcome = [&parser](const tzvParser& other) {
        return other.message == parser.message && other.errorLine == parser.errorLine
            && other.errorColumn == parser.errorColumn && other.code == parser.code && other.reason == parser.reason;
    };
    static constexpr std::array<std::size_t, 4> smallBuffers = { 1, 2, 3, 7 };
    tzvParser chunked(smallBuffers[size % smallBuffers.size()]);
    chunked.checkBytes(bytes);
    require(sameOutcome(chunked));

    static unsigned inputs = 0;
    if (inputs++ % 64 == 0) {
        tzvParser fromFile;
        fromFile.fileName = kavrin::fuzzing::writeInput(data, size);
        fromFile.check();
        require(sameOutcome(fromFile));
    }
    return 0;
}
