#pragma once

#include "export.h"
#include "kavrin.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The state of one check of a ticket file, for callers that set a name and
// read fields. Set fileName, call check(), read message (empty: the file is
// correct), errorLine and errorColumn (both 0 unless the violation has a
// place in the file), and the rule that was broken: code, a stable
// identifier, and reason, a German sentence naming the value found and what
// was expected (both empty when the file is correct). kavrin::check gives
// the same outcome as one value.
class KAVRIN_EXPORT tzvParser {
public:
    // One violation. Rules throw it; only the check catches it.
    class Error {
    public:
        Error(std::string_view text, std::string_view code, std::string reason);
        Error(std::string_view leadIn, std::uint32_t line, std::uint32_t column, std::uint64_t offset,
            std::string_view detail, std::string_view code, std::string reason);

        kavrin::violation found;
        // The fault may follow from the input's end: a value or tag cut off.
        bool mayEndEarly = false;
    };

    static constexpr std::uint64_t maximumFileSize = kavrin::maximumFileSize;
    static constexpr std::uint64_t unknownSize = kavrin::source::unknownSize;
    static constexpr std::size_t defaultMaxViolations = kavrin::defaultMaxViolations;

    tzvParser() = default;
    // The buffer size of the reader is settable so that tests can show the
    // outcome does not depend on where the input is cut into chunks.
    explicit tzvParser(std::size_t bufferSize);

    const std::string& check();
    // Checks bytes in memory by the same rules, without the rules of the name;
    // wholeSize as kavrin::source::bytes takes it.
    const std::string& checkBytes(std::string_view bytes, std::uint64_t wholeSize = 0);
    // Checks the bytes of the file named fileName as check() would read them
    // from it: the rules of the name first.
    const std::string& checkFileBytes(std::string_view bytes, std::uint64_t wholeSize = 0);
    // The outcome of check() for fileName when the file was found but its
    // bytes could not be read.
    const std::string& checkUnreadable();

    std::string fileName;
    // How many violations a check collects; 1 stops at the first.
    std::size_t maxViolations = 1;

    std::string message;
    std::uint32_t errorLine = 0;
    std::uint32_t errorColumn = 0;
    std::string code;
    std::string reason;
    // The violations found, in file order; the fields above are the first
    // one's.
    std::vector<kavrin::violation> violations;
    // The name the check opened: fileName without its surrounding quotes.
    std::string openedName;
    // More violations were found than maxViolations let the list hold.
    bool violationsCut = false;
    kavrin::fileSummary summary;

private:
    std::size_t bufferSize = kavrin::options {}.readBuffer;

    const std::string& take(const kavrin::source& what);
};
