#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kavrin {

// What a change is, for a front end that treats fixes apart without reading
// the German of their description.
enum class changeKind : std::uint8_t {
    fix, // bytes at one place: a value, the declaration, a tail
    rename, // the letter case of an element name, the same wherever it stands
    conversion, // the whole file converted to UTF-8
};

// One change a repair made: the bytes from offset, length long, became
// after. Places are those of the input, or when the whole file was converted
// to UTF-8 (line 0, a change of its own), of the converted text; line and
// column as the check counts them. code is the rule the bytes broke, empty
// for bytes the check never reads (a 0x1A tail). All that was done at one
// place is one change, from the bytes found to the bytes written; no two
// changes overlap or touch.
struct repairChange {
    std::uint32_t line = 0;
    std::uint32_t column = 0;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    std::string code;
    std::string what; // German: "Zahlen aufsteigend sortiert", never empty
    std::string before;
    std::string after;
    changeKind kind = changeKind::fix;
};

struct repairResult {
    std::string bytes; // the repaired copy; the input's bytes when nothing was repaired
    std::vector<repairChange> changes;
    // What the repair's last check found in the copy (its bytes, without the
    // rules of a name), up to tzvParser::defaultMaxViolations; moreLeft when
    // there are more.
    std::size_t violationsLeft = 0;
    bool moreLeft = false;
    // Fixes not made because the copy would have grown past the size limit.
    std::size_t leftOut = 0;
};

// Repairs what can be repaired without a choice: a file saved as UTF-16 or
// Windows-1252, a 0x1A tail, blanks around a value, one-digit numbers,
// numbers out of order, the letter case of an element name and of symbols.
// Each fix is made only where the check found a violation, so a correct
// file comes back unchanged; repairing a repaired copy changes nothing. The
// copy keeps every rule the input kept, the size limit among them.
repairResult repairBytes(std::string_view bytes);

// Whether a violation of this code may be repaired: the repair acts on no
// other. For a front end that offers the repair before making it.
bool mayBeRepairable(std::string_view code);

// "alt.tzv" → "alt-korrigiert.tzv": the name offered for a repaired copy.
std::string repairedName(std::string_view name);

// "Aufsteigend sortiert: „12,07“ → „07,12“"
std::string changeWhat(const repairChange& change);
// "Zeile 3, Spalte 15: Zahlen aufsteigend sortiert: „12,07“ → „07,12“ [numbers-not-ascending]"
std::string changeText(const repairChange& change);

// "3 Korrekturen; die korrigierte Fassung ist korrekt." or, with violations
// left, how many remain ("mindestens" when the count stopped short of them
// all); "Nichts zu korrigieren." without changes. Fixes left out for the
// size limit are said with their number.
std::string repairSummaryText(
    std::size_t changes, std::size_t violationsLeft, std::size_t leftOut = 0, bool moreLeft = false);

} // namespace kavrin
