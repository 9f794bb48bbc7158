#include "fileName.h"
#include "messages.h"
#include "tzvParser.h"

#include <string>

tzvParser::Error::Error(std::string_view text)
    : message(text)
{
}

tzvParser::Error::Error(std::string_view leadIn, std::uint32_t line, std::uint32_t column, std::string_view detail)
    : line(line)
    , column(column)
{
    message.reserve(leadIn.size() + detail.size() + 40);
    message.append(leadIn).append(" Zeile ").append(std::to_string(line));
    message.append(", Spalte ").append(std::to_string(column)).append(" ").append(detail);
}

tzvParser::tzvParser() = default;

tzvParser::tzvParser(std::size_t bufferSize)
    : input(bufferSize)
{
}

const std::string& tzvParser::check()
{
    namespace text = kavrin::messages;
    line = column = tokenLine = tokenColumn = 1;
    versionText.clear();
    majorVersion = minorVersion = 0;
    message.clear();
    // A reused object must not carry the place of an earlier violation into
    // an outcome that has none.
    errorLine = errorColumn = 0;
    input.close();

    if (fileName.empty()) {
        message = text::noFile;
        return message;
    }
    kavrin::removeSurroundingQuotes(fileName);
    if (fileName.size() < 5 || fileName.compare(fileName.size() - 4, 4, ".tzv") != 0) {
        message = text::badName;
        return message;
    }
    if (!input.open(fileName, maximumFileSize)) {
        message = text::cannotOpen;
        return message;
    }
    if (input.fileSize() > maximumFileSize) {
        input.close();
        message = text::sizeOrCount;
        return message;
    }
    const int first = input.peek();
    if (first == kavrin::textReader::endOfInput || first == 0xFE || first == 0xFF || first == 0x00) {
        message = text::encoding;
        return message;
    }
    if (first == 0xEF) {
        const int a = input.get();
        const int b = input.get();
        const int c = input.get();
        if (a != 0xEF || b != 0xBB || c != 0xBF) {
            message = text::encoding;
            return message;
        }
        column += 3;
    }

    try {
        readDocument(column - 1);
    } catch (const Error& violation) {
        message = violation.message;
        errorLine = violation.line;
        errorColumn = violation.column;
    }
    input.close();
    return message;
}
