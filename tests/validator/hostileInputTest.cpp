#include "checkFiles.h"
#include "errorExcerpt.h"
#include "texts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace kavrin::testing;

namespace {

bool isPositioned(const outcome& o) { return o.line != 0 && o.column != 0; }

// Every prefix of a valid file is a file someone may have cut short: each
// must end in one message, and a positioned one in an excerpt that holds it.
TEST(HostileInput, EveryTruncationOfAValidFile)
{
    std::ifstream in(std::string(KAVRIN_SOURCE_DIR) + "/examples/korrekt-34-vex.tzv", std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(whole.size(), 400u);
    const std::size_t rootEnd = whole.rfind("</uvra>") + 7;
    for (std::size_t length = 0; length < rootEnd; ++length) {
        SCOPED_TRACE(length);
        const std::string path = writeTicketFile(whole.substr(0, length), "cut.tzv").string();
        const outcome result = checkFile(path);
        ASSERT_FALSE(result.message.empty()) << "a cut file is never correct here";
        if (isPositioned(result)) {
            const std::string bytes = bytesOfFile(path);
            errorExcerpt excerpt(bytes);
            excerpt.extract(result.line, result.column);
            EXPECT_LE(excerpt.firstLine, result.line);
            EXPECT_LT(result.line, excerpt.endLine);
        }
    }
}

TEST(HostileInput, FourMebibytesOfOneByte)
{
    constexpr std::size_t size = 4194304;
    EXPECT_EQ(checkBytes(std::string(size, '<')), (outcome { positioned(1, size + 1, unclosed), 1, size + 1 }))
        << "a '<' inside an item is part of it";
    EXPECT_EQ(checkBytes(std::string(size, '\n')), (outcome { positioned(size + 1, 1, unclosed), size + 1, 1 }));
    EXPECT_EQ(checkBytes(std::string(size, ' ')), (outcome { positioned(1, size + 1, unclosed), 1, size + 1 }));
    EXPECT_EQ(checkBytes(std::string(size, '\r')), (outcome { positioned(1, size + 1, unclosed), 1, size + 1 }));
    EXPECT_EQ(checkBytes(std::string(size, '\x80')), (outcome { encodingText, 0, 0 }));
    EXPECT_EQ(
        checkBytes("<" + std::string(size - 1, 'a')), (outcome { positioned(1, size + 1, unclosed), 1, size + 1 }));
    EXPECT_EQ(checkBytes("<uvra><versionsNr>" + std::string(size - 18, '7')),
        (outcome { positioned(1, size + 1, unclosed), 1, size + 1 }));
}

TEST(HostileInput, DeepNonsenseAndHugeTexts)
{
    std::string nested;
    for (int i = 0; i < 100000; ++i)
        nested += "<uvra>";
    EXPECT_EQ(checkBytes(nested), (outcome { positioned(1, 7, element), 1, 7 }));

    std::string comments = "<uvra>";
    for (int i = 0; i < 200000; ++i)
        comments += "<!---->";
    EXPECT_EQ(checkBytes(comments),
        (outcome { positioned(1, comments.size() + 1, unclosed), 1, static_cast<std::uint32_t>(comments.size() + 1) }));

    const std::string hugeVersion = "<uvra><versionsNr>" + std::string(1000000, '0')
        + "4.0</versionsNr><wsArt>47</wsArt>"
          "<schein><ziroTipp>01,02,03,04,05,06</ziroTipp></schein></uvra>";
    EXPECT_EQ(checkBytes(hugeVersion), outcome {}) << "leading zeros do not overflow";
}

} // namespace
