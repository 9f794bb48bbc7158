#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The lines around a reported place, read from the file a second time in the
// same text mode as the validator, so that lines and columns agree. Line
// breaks in the three parts are CR LF.
namespace kavrin {
class textReader;
}

class errorExcerpt {
public:
    explicit errorExcerpt(std::string nameText);
    // The reader's buffer size is settable so that tests can show the
    // excerpt does not depend on where the input is cut into chunks.
    errorExcerpt(std::string nameText, std::size_t bufferSize);

    void extract(std::uint32_t errorLine, std::uint32_t errorColumn);
    // The same, for bytes in memory and a place whose input offset is known:
    // reading starts a few lines before it instead of at the start.
    void extractNear(std::uint32_t errorLine, std::uint32_t errorColumn, std::uint64_t offset);

    const std::uint32_t contextLines = 3;
    std::string fileName;
    // When set, the excerpt is taken from these bytes instead of the named file.
    std::optional<std::string_view> bytes;
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
    bool open(kavrin::textReader& input) const;
    void extractFrom(
        std::uint32_t errorLine, std::uint32_t errorColumn, std::uint64_t startOffset, std::uint32_t startLine);
    void readUpTo(kavrin::textReader& input, walk& at, std::uint32_t errorLine, std::uint32_t errorColumn);
    void takeLinesBefore(std::uint32_t stopLine);
    bool readMarked(kavrin::textReader& input, walk& at);
    void readAfter(kavrin::textReader& input, walk& at, std::uint32_t stopLine);

    std::size_t bufferSize;
    // The input from the start of the first line the excerpt may show up to
    // the reported place; lines that can no longer be shown are dropped as
    // reading goes on.
    std::string prefix;
};
