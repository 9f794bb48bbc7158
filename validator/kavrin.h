#pragma once

#include "export.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Checks ticket files (.tzv). One call, one result:
//
//     kavrin::result found = kavrin::check(kavrin::source::file("tipps.tzv"));
//     if (const kavrin::violation* first = found.first())
//         std::cerr << first->line << ':' << first->column << ' ' << first->code << ": " << first->reason;
namespace kavrin {

// Larger inputs are refused before any content is read.
inline constexpr std::uint64_t maximumFileSize = 4194304;

// One violation of the rules: which rule (a stable code), its message, the
// German reason and where. line and column are the check's (a line ends at
// LF, a column counts bytes); offset is where the place stands in the input
// and length how many bytes of the input the part it marks covers, the CRs
// that text mode drops counted. A place past the end of its line (a value
// broken over lines) stands at that line's end and marks nothing. All four
// are 0 without a place.
struct violation {
    std::string_view code;
    std::string message;
    std::string reason;
    std::uint32_t line = 0;
    std::uint32_t column = 0;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

// What a file holds, counted where the check steps through it; complete
// for a correct file.
struct fileSummary {
    std::uint32_t gameType = 0;
    std::string version;
    std::uint32_t tickets = 0;
    std::uint32_t tips = 0;
    std::uint32_t goalScoreTips = 0; // brakelTipp
    bool customerNumber = false; // kundenNr
    bool gameId = false; // spielID
    bool duration = false; // tnDauer
    bool filter = false;
    bool wimbel = false;
    bool ziroPlus = false;
};

// What to check: a file by its name, or bytes in memory with or without a
// name. A name is held to the name rules before anything is read.
class KAVRIN_EXPORT source {
public:
    // The named file, read once.
    static source file(std::string name);
    // Bytes without a name: only their content is checked. wholeSize is the
    // size of the whole input when these bytes are only its start (read no
    // further than the limit); unknownSize when it went on by an unknown
    // amount.
    static source bytes(std::string_view bytes, std::uint64_t wholeSize = 0);
    // A named file's bytes, read by the caller (the browser page).
    static source namedBytes(std::string name, std::string_view bytes, std::uint64_t wholeSize = 0);
    // A named file that was found but whose bytes could not be read.
    static source unreadable(std::string name);
    // Standard input, read once up to one byte past the limit.
    static source standardInput();

    static constexpr std::uint64_t unknownSize = UINT64_MAX;

    enum class kind { file, bytes, namedBytes, unreadable, standardInput };
    kind what = kind::bytes;
    std::string name;
    std::string_view given;
    std::uint64_t wholeSize = 0;
    // Off: the name only opens the file, and its rules are not checked (a
    // repair that says what is wrong with the name apart).
    bool nameRules = true;
};

struct options {
    // How many violations to collect. 1 stops at the first; with more the
    // check records a violation inside a value or a tip, skips to the end of
    // its element and goes on, and stops at the first violation of the file
    // or the markup.
    std::size_t maxViolations = 1;
    // Keep the bytes read in the result, for a front end that shows the
    // lines around a violation or repairs the file.
    bool keepInput = false;
    // The reader's chunk size; tests vary it to show that the outcome does
    // not depend on where the input is cut.
    std::size_t readBuffer = 64 * 1024;
    // Off: only the rules of the name, of opening and of the size are held,
    // for a caller that checks the bytes itself (a repair).
    bool contentRules = true;
};

inline constexpr std::size_t defaultMaxViolations = 1000;

// Bytes a check read, shared by whoever shows or repairs them.
class sharedBytes {
public:
    sharedBytes() = default;
    sharedBytes(std::shared_ptr<const char[]> data, std::size_t size)
        : data(std::move(data))
        , size(size)
    {
    }
    std::string_view view() const { return { data.get(), size }; }
    explicit operator bool() const { return data != nullptr; }

private:
    std::shared_ptr<const char[]> data;
    std::size_t size = 0;
};

struct result {
    // In file order; empty for a correct file.
    std::vector<violation> violations;
    // More violations were found than the limit let the list hold.
    bool violationsCut = false;
    fileSummary summary;
    // The name the check opened: without its surrounding quotes.
    std::string openedName;
    // The bytes read, when options::keepInput asked for them.
    sharedBytes input;

    bool valid() const { return violations.empty(); }
    const violation* first() const { return violations.empty() ? nullptr : &violations.front(); }
};

KAVRIN_EXPORT result check(const source& what, const options& how = {});

} // namespace kavrin
