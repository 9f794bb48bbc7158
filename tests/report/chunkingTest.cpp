#include "checkFiles.h"
#include "errorExcerpt.h"
#include "tzvParser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

using namespace kavrin::testing;

namespace {

std::vector<std::filesystem::path> corpus()
{
    std::vector<std::filesystem::path> files;
    for (const char* folder : { "tests/data", "examples" }) {
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(KAVRIN_SOURCE_DIR) / folder))
            if (entry.path().extension() == ".tzv")
                files.push_back(entry.path());
    }
    return files;
}

struct excerptParts {
    std::string before, marked, after;
    std::uint32_t firstLine, endLine;
    bool operator==(const excerptParts&) const = default;
};

excerptParts excerptOf(const std::string& file, const outcome& reported, std::size_t bufferSize)
{
    const std::string bytes = bytesOfFile(file);
    errorExcerpt excerpt = bufferSize == 0 ? errorExcerpt(bytes) : errorExcerpt(bytes, bufferSize);
    excerpt.extract(reported.line, reported.column);
    return { excerpt.before, excerpt.marked, excerpt.after, excerpt.firstLine, excerpt.endLine };
}

// Where the reader cuts the input into chunks must never show: not in the
// verdict, the place, nor the excerpt.
TEST(Chunking, OutcomeAndExcerptDoNotDependOnTheBufferSize)
{
    const auto files = corpus();
    ASSERT_GT(files.size(), 30u);
    for (const auto& path : files) {
        const std::string file = path.string();
        SCOPED_TRACE(file);
        const outcome reference = checkFile(file);
        const bool positioned = reference.line != 0;
        const excerptParts referenceExcerpt = positioned ? excerptOf(file, reference, 0) : excerptParts {};
        for (const std::size_t size : { 1u, 2u, 3u, 7u, 64u }) {
            EXPECT_EQ(checkFile(file, size), reference) << "buffer of " << size;
            if (positioned) {
                EXPECT_EQ(excerptOf(file, reference, size), referenceExcerpt) << "buffer of " << size;
            }
        }
    }
}

// The bytes of a file checked in memory give the file's outcome and excerpt.
TEST(Chunking, MemoryCheckAgreesWithTheFileCheck)
{
    for (const auto& path : corpus()) {
        const std::string file = path.string();
        SCOPED_TRACE(file);
        const std::string bytes = bytesOfFile(path);
        const outcome reported = checkBytes(bytes);
        EXPECT_EQ(reported, checkFile(file));
        if (reported.line != 0) {
            errorExcerpt fromMemory(bytes);
            fromMemory.extract(reported.line, reported.column);
            EXPECT_EQ((excerptParts { fromMemory.before, fromMemory.marked, fromMemory.after, fromMemory.firstLine,
                          fromMemory.endLine }),
                excerptOf(file, reported, 0));
        }
    }
}

} // namespace

namespace {

// The input offset of a place as text mode reaches it: a CR before an LF is
// not delivered, the input ends at 0x1A, and a place past the end of its line
// stands at that line's end.
std::size_t placeInInput(std::string_view bytes, std::uint32_t line, std::uint32_t column)
{
    std::uint32_t atLine = 1, atColumn = 1;
    std::size_t i = 0;
    for (; i < bytes.size() && bytes[i] != 0x1A && !(atLine == line && atColumn == column); ++i) {
        const bool crLf = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
        if ((crLf || bytes[i] == '\n') && atLine == line)
            break;
        if (crLf)
            continue;
        atLine += bytes[i] == '\n';
        atColumn = bytes[i] == '\n' ? 1 : atColumn + 1;
    }
    return i;
}

// Each violation knows where its place stands in the input and how far the
// marked part reaches: as text mode and the excerpt find them, in every
// buffer size.
TEST(Chunking, ViolationsKnowTheirBytes)
{
    std::vector<std::filesystem::path> files = corpus();
    for (const auto& entry :
        std::filesystem::directory_iterator(std::filesystem::path(KAVRIN_SOURCE_DIR) / "fuzz" / "regressions"))
        files.push_back(entry.path());
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        std::ifstream in(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        tzvParser reference;
        reference.checkBytes(bytes);
        if (reference.errorLine == 0)
            continue;
        const kavrin::violation& found = reference.violations.at(0);
        const std::size_t place = placeInInput(bytes, found.line, found.column);
        EXPECT_EQ(found.offset, place);
        errorExcerpt excerpt(bytes);
        excerpt.extract(found.line, found.column);
        if (excerpt.marked != std::string(1, errorExcerpt::endMark)) {
            std::size_t end = place;
            for (std::size_t delivered = 0; delivered < excerpt.markedInputBytes; ++end)
                delivered += !(bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n');
            EXPECT_EQ(found.offset + found.length, end);
        }
        for (const std::size_t size : { 1u, 2u, 3u, 7u }) {
            tzvParser chunked(size);
            chunked.checkBytes(bytes);
            EXPECT_EQ(std::tie(chunked.violations.at(0).offset, chunked.violations.at(0).length),
                std::tie(found.offset, found.length))
                << "buffer of " << size;
        }
    }
}

} // namespace
