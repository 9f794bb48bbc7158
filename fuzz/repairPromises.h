#pragma once

#include "repair.h"
#include "repairTexts.h"
#include "ticketData.h"
#include "tzvParser.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace kavrin::fuzzing {

// The first promise a repair of input broke, in words; empty when it kept
// them all. For the fuzzer and the tests alike.
inline std::string brokenPromise(std::string_view input, const repairResult& once)
{
    tzvParser checked;
    if (checked.checkBytes(input).empty() && (once.bytes != input || !once.changes.empty()))
        return "a correct file was changed";
    if (once.changes.empty() != (once.bytes == input))
        return "the change list does not match the bytes";
    if (once.bytes.size() > tzvParser::maximumFileSize && once.bytes != input)
        return "the copy is larger than 4 MiB";
    const bool converted = !once.changes.empty() && once.changes.front().line == 0;
    std::string rebuilt;
    bool first = true;
    std::uint64_t end = 0;
    for (const repairChange& change : once.changes) {
        if (change.what.empty())
            return "a change has no description";
        if (change.line == 0)
            continue;
        if (!first && change.offset <= end)
            return "two changes overlap or touch";
        first = false;
        if (!converted) {
            if (change.offset + change.length > input.size()
                || input.substr(change.offset, change.length) != change.before)
                return "a change does not say the bytes it replaced";
            rebuilt.append(input.substr(end, change.offset - end)).append(change.after);
        }
        end = change.offset + change.length;
    }
    if (!converted && !once.changes.empty() && rebuilt.append(input.substr(end)) != once.bytes)
        return "the changes do not make the copy";
    const std::string_view from = converted ? std::string_view(once.changes.front().before) : std::string_view();
    const std::string inputAscii = from == repairTexts::utf16le ? asciiOfUtf16(input, true)
        : from == repairTexts::utf16be                          ? asciiOfUtf16(input, false)
                                                                : asciiOf(input, from != repairTexts::windows1252);
    if (ticketData(inputAscii) != ticketData(asciiOf(once.bytes, true)))
        return "the data changed";
    tzvParser copy;
    copy.maxViolations = tzvParser::defaultMaxViolations;
    copy.checkBytes(once.bytes);
    if (copy.violations.size() != once.violationsLeft)
        return "the count of violations left is wrong";
    const repairResult twice = repairBytes(once.bytes);
    if (!twice.changes.empty() || twice.bytes != once.bytes)
        return "the copy needs a second repair";
    return {};
}

} // namespace kavrin::fuzzing
