#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The lines around a reported place, read from the checked bytes in the same
// text mode as the validator, so that lines and columns agree. Line breaks in
// the three parts are CR LF.
namespace kavrin {
class textReader;
}

class errorExcerpt {
public:
    // The bytes must outlive the excerpt. The reader's buffer size is
    // settable so that tests can show the excerpt does not depend on where
    // the input is cut into chunks.
    explicit errorExcerpt(std::string_view bytes, std::size_t bufferSize = 64 * 1024);

    void extract(std::uint32_t errorLine, std::uint32_t errorColumn);
    // The same for a place whose input offset is known, for one of many
    // violations: reading starts a few lines before it, and never more than
    // nearReach bytes before the place or after the marked part, so that
    // each excerpt costs the same however long the lines are. A line cut
    // there begins or ends in "...".
    void extractNear(std::uint32_t errorLine, std::uint32_t errorColumn, std::uint64_t offset);
    static constexpr std::size_t nearReach = 4096;
    static constexpr std::string_view cutMark = "...";

    const std::uint32_t contextLines = 3;
    std::string_view bytes;
    std::uint32_t firstLine = 1;
    std::uint32_t endLine = 1;
    std::string before;
    std::string marked;
    std::string after;
    // How many bytes of the input, as text mode delivers them, the marked
    // part covers: where it ends in the input.
    std::size_t markedInputBytes = 0;
    // The marked part was cut at its third line break and ends in "...": that
    // line break ends a numbered line although it shows as a lone CR.
    bool cut = false;

    // What the excerpt shows when the input ended at or before the place:
    // the middle dot of Windows-1252.
    static constexpr char endMark = '\xB7';

private:
    // Where the walk through the input stands, in the checker's lines and
    // byte columns.
    struct walk {
        std::uint32_t line = 1;
        std::uint32_t column = 1;
    };
    void extractFrom(std::uint32_t errorLine, std::uint32_t errorColumn, std::uint64_t startOffset, walk start,
        std::uint64_t afterLimit);
    void readUpTo(kavrin::textReader& input, walk& at, std::uint32_t errorLine, std::uint32_t errorColumn);
    void takeLinesBefore(std::uint32_t stopLine, std::uint32_t firstLineRead);
    bool readMarked(kavrin::textReader& input, walk& at);
    void readAfter(kavrin::textReader& input, walk& at, std::uint32_t stopLine, std::uint64_t limit);

    std::size_t bufferSize;
    // The input from the start of the first line the excerpt may show up to
    // the reported place; lines that can no longer be shown are dropped as
    // reading goes on.
    std::string prefix;
};
