#include "checkFiles.h"
#include "errorExcerpt.h"

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
    errorExcerpt excerpt = bufferSize == 0 ? errorExcerpt(file) : errorExcerpt(file, bufferSize);
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
        std::ifstream in(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const outcome reported = checkBytes(bytes);
        EXPECT_EQ(reported, checkFile(file));
        if (reported.line != 0) {
            errorExcerpt fromMemory("");
            fromMemory.bytes = bytes;
            fromMemory.extract(reported.line, reported.column);
            EXPECT_EQ((excerptParts { fromMemory.before, fromMemory.marked, fromMemory.after, fromMemory.firstLine,
                          fromMemory.endLine }),
                excerptOf(file, reported, 0));
        }
    }
}

} // namespace
