#include "checkFiles.h"

#include "tzvParser.h"

#include <atomic>
#include <fstream>
#include <gtest/gtest.h>
#include <system_error>
#include <tuple>
#include <unistd.h>

namespace kavrin::testing {

namespace {

    struct scratch {
        std::filesystem::path path;
        scratch()
        {
            path = std::filesystem::temp_directory_path() / ("kavrin-test-" + std::to_string(::getpid()));
            std::filesystem::create_directories(path);
        }
        ~scratch()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };

} // namespace

std::filesystem::path scratchFolder()
{
    static scratch folder;
    return folder.path;
}

std::filesystem::path writeTicketFile(std::string_view bytes, std::string_view name)
{
    static std::atomic<unsigned> counter { 0 };
    const std::filesystem::path path = scratchFolder()
        / (name.empty() ? std::string("t").append(std::to_string(counter++)).append(".tzv") : std::string(name));
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::string bytesOfFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

outcome checkFile(const std::string& fileName, std::size_t bufferSize)
{
    tzvParser parser = bufferSize == 0 ? tzvParser() : tzvParser(bufferSize);
    parser.fileName = fileName;
    parser.check();
    return { parser.message, parser.errorLine, parser.errorColumn };
}

// Every table case is checked twice, from a file and from memory: the two
// must agree in every field.
outcome checkBytes(std::string_view bytes, std::size_t bufferSize)
{
    tzvParser fromFile = bufferSize == 0 ? tzvParser() : tzvParser(bufferSize);
    fromFile.fileName = writeTicketFile(bytes).string();
    fromFile.check();
    tzvParser fromMemory = bufferSize == 0 ? tzvParser() : tzvParser(bufferSize);
    fromMemory.checkBytes(bytes);
    EXPECT_EQ(
        std::tie(fromMemory.message, fromMemory.errorLine, fromMemory.errorColumn, fromMemory.code, fromMemory.reason),
        std::tie(fromFile.message, fromFile.errorLine, fromFile.errorColumn, fromFile.code, fromFile.reason))
        << "the memory check differs from the file check";
    return { fromFile.message, fromFile.errorLine, fromFile.errorColumn };
}

markedDocument unmark(std::string_view withMark)
{
    const std::size_t mark = withMark.find('^');
    markedDocument result { std::string(withMark.substr(0, mark)) + std::string(withMark.substr(mark + 1)), 1, 1 };
    for (std::size_t i = 0; i < mark; ++i) {
        if (withMark[i] == '\n') {
            ++result.line;
            result.column = 1;
        } else {
            ++result.column;
        }
    }
    return result;
}

std::string positioned(std::uint32_t line, std::uint32_t column, std::string_view detail)
{
    return "Die Datei enthält in der Zeile " + std::to_string(line) + ", Spalte " + std::to_string(column) + " "
        + std::string(detail);
}

std::string document47(std::string_view tickets, std::string_view header)
{
    return "<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt>" + std::string(header) + std::string(tickets)
        + "</uvra>";
}

std::string document34(std::string_view tickets, std::string_view header)
{
    return "<uvra><versionsNr>4.0</versionsNr><wsArt>34</wsArt>" + std::string(header) + std::string(tickets)
        + "</uvra>";
}

std::string document28(std::string_view tickets, std::string_view header)
{
    return "<uvra><versionsNr>3.0</versionsNr><wsArt>28</wsArt>" + std::string(header) + std::string(tickets)
        + "</uvra>";
}

} // namespace kavrin::testing
