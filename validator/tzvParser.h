#pragma once

#include "textReader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The state of one check of a ticket file. Set fileName, call check(), read
// message (empty: the file is correct), errorLine and errorColumn (both 0
// unless the violation has a place in the file).
class tzvParser {
public:
    // One violation. Rules throw it; only check() catches it.
    class Error {
    public:
        explicit Error(std::string_view text);
        Error(std::string_view leadIn, std::uint32_t line, std::uint32_t column, std::string_view detail);

        std::string message;
        std::uint32_t line = 0;
        std::uint32_t column = 0;
    };

    // Larger files are rejected before any content is read; no reader of a
    // ticket file ever reads beyond this.
    static constexpr std::uint64_t maximumFileSize = 4194304;

    tzvParser();
    // The buffer size of the reader is settable so that tests can show the
    // outcome does not depend on where the input is cut into chunks.
    explicit tzvParser(std::size_t bufferSize);

    const std::string& check();

    std::string fileName;

private:
    std::string currentTag;
    std::string currentText;
    std::string versionText;
    std::uint32_t line = 1;
    std::uint32_t column = 1;
    std::uint32_t tokenLine = 1;
    std::uint32_t tokenColumn = 1;
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;

public:
    std::string message;
    std::uint32_t errorLine = 0;
    std::uint32_t errorColumn = 0;

private:
    kavrin::textReader input;
    std::uint32_t gameType = 0;

    // Character reader and positions.
    int readChar();
    void skipWhitespace();
    void checkEncoding(std::uint64_t start);
    int collectUntil(const bool (&stops)[256], std::string& into);

    // Markup scanner.
    void readMarkup();
    void nextTag();
    bool isComment() const;
    void readText();
    void expectTag(std::string_view name) const;
    void expectMatchingTag(std::string_view name) const;
    bool checkXmlDeclaration() const;

    // Grammar.
    void readDocument(std::uint64_t start);
    void readHeader();
    void readWimbelBlock();
    std::uint32_t checkNumberIn(std::uint32_t minimum, std::uint32_t limit) const;
    std::uint32_t checkNumber(std::uint32_t limit) const;
    std::uint32_t checkFlag() const;
    std::uint32_t checkGameType() const;
    std::uint32_t checkDuration() const;
    void checkFilter() const;
    void readZiroTips();
    void readVexTips();
    void checkNumberList(std::uint32_t count, std::uint32_t max) const;
    void readPoolTips();
    void checkFenuRow() const;
    void checkBrakelTip();
    void closeElement(std::string_view endTag);

    [[noreturn]] void failAtItem(std::string_view detail) const;
    [[noreturn]] void failInText(std::size_t offset) const;
};
