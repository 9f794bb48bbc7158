#include "checkFiles.h"
#include "texts.h"
#include "tzvParser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace kavrin::testing;

namespace {

const std::string validTicket = "<schein><ziroTipp>01,02,03,04,05,06</ziroTipp></schein>";
const std::string validFile = document47(validTicket);

TEST(FileIntake, NameRules)
{
    const std::string path = writeTicketFile(validFile, "a.tzv").string();
    EXPECT_EQ(checkFile(""), (outcome { noFileText, 0, 0 }));
    EXPECT_EQ(checkFile("\""), (outcome { nameText, 0, 0 }));
    EXPECT_EQ(checkFile("\"\""), (outcome { nameText, 0, 0 }));
    EXPECT_EQ(checkFile(".tzv"), (outcome { nameText, 0, 0 }));
    EXPECT_EQ(checkFile(path.substr(0, path.size() - 3) + "TZV"), (outcome { nameText, 0, 0 }));
    EXPECT_EQ(checkFile(path + " "), (outcome { nameText, 0, 0 }));
    EXPECT_EQ(checkFile(path), outcome {});
    EXPECT_EQ(checkFile("\"" + path + "\""), outcome {});
    EXPECT_EQ(checkFile("\"" + path), (outcome { openText, 0, 0 })) << "a quote alone stays part of the name";
}

// A front end that has a file's name and bytes but no path (the page) gets
// what check() gives for that name: its rules first, then the bytes.
TEST(FileIntake, BytesUnderANameFollowTheNameRules)
{
    const auto named = [](const std::string& name, bool readable) {
        tzvParser parser;
        parser.fileName = name;
        readable ? parser.checkFileBytes(validFile) : parser.checkUnreadable();
        return std::pair(outcome { parser.message, parser.errorLine, parser.errorColumn }, parser.code);
    };
    EXPECT_EQ(named("", true).first, (outcome { noFileText, 0, 0 }));
    EXPECT_EQ(named("x.xml", true).first, (outcome { nameText, 0, 0 }));
    EXPECT_EQ(named(".tzv", true).first, (outcome { nameText, 0, 0 }));
    EXPECT_EQ(named("x.TZV", false).first, (outcome { nameText, 0, 0 }));
    EXPECT_EQ(named("x.tzv", true).first, outcome {});
    EXPECT_EQ(named("x.tzv", false), std::pair(outcome { openText, 0, 0 }, std::string("cannot-open")));
}

TEST(FileIntake, FiveByteNameInCurrentFolder)
{
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(scratchFolder());
    writeTicketFile(validFile, "a.tzv");
    EXPECT_EQ(checkFile("a.tzv"), outcome {});
    std::filesystem::current_path(previous);
}

TEST(FileIntake, QuotesAreRemovedFromTheField)
{
    tzvParser parser;
    parser.fileName = std::string("\"").append(writeTicketFile(validFile).string()).append("\"");
    parser.check();
    EXPECT_EQ(parser.fileName.front(), '/');
    EXPECT_EQ(parser.fileName.back(), 'v');
}

TEST(FileIntake, MissingAndNonRegularFilesCannotBeOpened)
{
    const std::filesystem::path folder = scratchFolder();
    EXPECT_EQ(checkFile((folder / "missing.tzv").string()), (outcome { openText, 0, 0 }));

    std::filesystem::create_directory(folder / "dir.tzv");
    EXPECT_EQ(checkFile((folder / "dir.tzv").string()), (outcome { openText, 0, 0 }));

    // Nobody writes to the FIFO: the check must come back at once.
    ASSERT_EQ(::mkfifo((folder / "fifo.tzv").c_str(), 0600), 0);
    EXPECT_EQ(checkFile((folder / "fifo.tzv").string()), (outcome { openText, 0, 0 }));

    for (const char* device : { "/dev/zero", "/dev/urandom", "/dev/null" }) {
        const auto link = folder / (std::string(device + 5) + ".tzv");
        std::filesystem::create_symlink(device, link);
        EXPECT_EQ(checkFile(link.string()), (outcome { openText, 0, 0 })) << device;
    }

    const auto socketPath = folder / "s.tzv";
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(checkFile(socketPath.string()), (outcome { openText, 0, 0 }));
    ::close(fd);
}

TEST(FileIntake, SizeLimitIsFourMebibytesExactly)
{
    constexpr std::size_t limit = 4194304;
    std::string atLimit = validFile;
    atLimit.append(limit - atLimit.size(), ' ');
    EXPECT_EQ(checkBytes(atLimit), outcome {});
    EXPECT_EQ(checkBytes(atLimit + " "), (outcome { sizeText, 0, 0 }));
}

TEST(FileIntake, FirstBytes)
{
    for (const std::string& bytes : { std::string(), std::string("\x1A<uvra>"), std::string("\xFE\xFF<"),
             std::string("\xFF\xFE<"), std::string("\0<uvra>", 7), std::string("\xEF\xBB"),
             std::string("\xEF\xBB<uvra>"), std::string("\xEF\xBB\x1A\xBF") }) {
        EXPECT_EQ(checkBytes(bytes), (outcome { encodingText, 0, 0 })) << testing::PrintToString(bytes);
    }
}

TEST(FileIntake, ByteOrderMarkCountsThreeColumns)
{
    EXPECT_EQ(checkBytes("\xEF\xBB\xBF" + validFile), outcome {});
    EXPECT_EQ(checkBytes("\xEF\xBB\xBF<uvrx>"), (outcome { positioned(1, 4, element), 1, 4 }));
    EXPECT_EQ(checkBytes("\xEF\xBB\xBF\n<uvrx>"), (outcome { positioned(2, 1, element), 2, 1 }));
}

TEST(FileIntake, CtrlZEndsTheInput)
{
    EXPECT_EQ(checkBytes(validFile + "\x1A garbage \xFF\xFE <"), outcome {});
    const std::string cut = "<uvra><versionsNr>4.0</versionsNr>\x1A<wsArt>47</wsArt>";
    EXPECT_EQ(checkBytes(cut), (outcome { positioned(1, 35, unclosed), 1, 35 }));
}

TEST(FileIntake, ObjectCanCheckAgain)
{
    tzvParser parser;
    parser.fileName = writeTicketFile("<uvra>\n  <x>").string();
    parser.check();
    EXPECT_EQ(parser.errorLine, 2u);
    parser.fileName = writeTicketFile(validFile).string();
    EXPECT_TRUE(parser.check().empty());
    parser.fileName.clear();
    parser.check();
    EXPECT_EQ(parser.message, noFileText);
    EXPECT_EQ(parser.errorLine, 0u) << "no stale place from the earlier run";
    EXPECT_EQ(parser.errorColumn, 0u);
}

} // namespace
