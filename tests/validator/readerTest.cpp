#include "caseTable.h"
#include "number.h"
#include "texts.h"

#include <gtest/gtest.h>

using namespace kavrin::testing;

namespace {

const std::string ticket = "<schein><ziroTipp>01,02,03,04,05,06</ziroTipp></schein>";

TEST(ReaderPositions, LinesAndColumnsCountBytes)
{
    expectOutcomes({
        failsAt("<uvra>\n\t^<versionX>", element),
        failsAt("<uvra>\n  <versionsNr>4.0</versionsNr>\n  <wsArt>^47x</wsArt>", content),
        failsAt("<uvra><versionsNr>4.0</versionsNr><!-- ä -->^<wsArt/>", element),
        failsAt("<uvra>\r<versionsNr>4.0</versionsNr>\r^<wsArt/>", element),
        failsAt("<uvra>\n\n\n\n\n\n\n\n\n^<x>", element),
        failsAt("<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><schein>\n<ziroTipp>01,02,03,04,^\n05,06"
                "</ziroTipp></schein></uvra>",
            content),
    });
}

TEST(ReaderPositions, CrLfGivesTheSamePlacesAsLf)
{
    const std::string lf = "<uvra>\n  <versionsNr>4.0</versionsNr>\n  <wsArt>47</wsArt>\n<schein>\n"
                           "<ziroTipp>01,02,03,04,05,06</ziroTipp>\n<ziroTipp>01,02,03,04,05,45\n</ziroTipp>";
    std::string crlf;
    for (const char c : lf)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const outcome expected { positioned(6, 28, content), 6, 28 };
    EXPECT_EQ(checkBytes(lf), expected);
    EXPECT_EQ(checkBytes(crlf), expected);
    EXPECT_EQ(checkBytes(document47("\r\n" + ticket + "\r\n") + "\r\n"), outcome {});
}

TEST(ReaderPositions, EndOfInputPlace)
{
    expectOutcomes({
        failsAt("<uvra>^", unclosed),
        failsAt("<uvra>\n^", unclosed),
        failsAt("<uvra>  \n \t^", unclosed),
        failsAt("<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><schei^", unclosed),
        failsAt("<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><schein\n^", unclosed),
    });
}

TEST(ReaderPositions, EncodingScan)
{
    const std::string valid = document47(ticket);
    expectOutcomes({
        passes("<!-- \xC3\xA4 -->" + valid),
        passes("<!--\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80-->" + valid),
        passes("<!-- \x01\x7F -->" + valid),
        failsWithout("<!--\xF8-->" + valid, encodingText),
        failsWithout("<!--\xFF-->" + valid, encodingText),
        failsWithout("<!--\x80-->" + valid, encodingText),
        failsWithout("<!--\xC3\x41-->" + valid, encodingText),
        failsWithout(valid + "\xC3", encodingText),
        failsWithout(valid + "\xE2\x82", encodingText),
        failsWithout("<uvrx>\n<x>\n" + valid + "\n\xE2\x82\x41", encodingText),
        failsWithout("<uvra><versionsNr>4.0\xC3\r\n\xA4</versionsNr>", encodingText),
    });
    EXPECT_EQ(checkBytes("<uvra>\xC3\xA4"), (outcome { positioned(1, 7, markup), 1, 7 }))
        << "the scan accepts a final two-byte letter, the walk then stops there";
}

TEST(NumberConversion, BehavesAsA32BitStrtoul)
{
    struct row {
        const char* text;
        std::uint32_t value;
        std::size_t end;
        bool overflow;
    };
    for (const row& r : std::initializer_list<row> {
             { "4", 4, 1, false },
             { "4.0", 4, 1, false },
             { " \t\n\v\f\r+4x", 4, 8, false },
             { "-1", 4294967295u, 2, false },
             { "-4294967292", 4, 11, false },
             { "4294967295", 4294967295u, 10, false },
             { "4294967296", 4294967295u, 10, true },
             { "-99999999999999999999", 4294967295u, 21, true },
             { "000000000000000000000042", 42, 24, false },
             { "", 0, 0, false },
             { "  -x", 0, 0, false },
             { "\xA0"
               "5",
                 0, 0, false },
         }) {
        const kavrin::unsignedConversion result = kavrin::toUnsigned32(r.text);
        EXPECT_EQ(result.value, r.value) << r.text;
        EXPECT_EQ(result.end, r.end) << r.text;
        EXPECT_EQ(result.overflow, r.overflow) << r.text;
    }
}

} // namespace
