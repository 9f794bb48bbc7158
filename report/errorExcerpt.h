#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The lines around a reported place, read from the file a second time in the
// same text mode as the validator, so that lines and columns agree. Line
// breaks in the three parts are CR LF.
class errorExcerpt {
public:
    explicit errorExcerpt(std::string nameText);
    // The reader's buffer size is settable so that tests can show the
    // excerpt does not depend on where the input is cut into chunks.
    errorExcerpt(std::string nameText, std::size_t bufferSize);

    void extract(std::uint32_t errorLine, std::uint32_t errorColumn);

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
    std::size_t bufferSize;
};
