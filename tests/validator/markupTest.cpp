#include "caseTable.h"
#include "texts.h"

#include <gtest/gtest.h>

using namespace kavrin::testing;

namespace {

const std::string head = "<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt>";
const std::string tip = "<ziroTipp>01,02,03,04,05,06</ziroTipp>";
const std::string ticket = "<schein>" + tip + "</schein>";

TEST(Markup, CommentsAreSkippedWhereTagsAreRead)
{
    expectOutcomes({
        passes("<!---->" + document47(ticket)),
        passes("<!-->" + document47("<!-- a -- b -->" + ticket)),
        passes("<!---->\n<!--- x --->" + document47("<schein><!--x-->" + tip + "<!---->\n</schein>")),
        passes("<uvra><versionsNr>4.0<!-- x --></versionsNr><wsArt>47</wsArt>" + ticket + "</uvra>"),
        failsAt(head + "^<!-- a > b -->" + ticket + "</uvra>", element),
        failsAt(head + "^<!- x -->" + ticket + "</uvra>", element),
        failsAt(head + "<schein><ziroTipp>^<!-- x -->01,02,03,04,05,06</ziroTipp></schein></uvra>", content),
        failsAt("<uvra><versionsNr><!-- x -->^4.0</versionsNr><wsArt>47</wsArt>", markup),
    });
}

TEST(Markup, ItemsAreComparedByteForByte)
{
    expectOutcomes({
        failsAt("^<uvra xmlns=\"x\">", element),
        failsAt("^< uvra>", element),
        failsAt("^<uvra >", element),
        failsAt("^<Uvra>", element),
        failsAt("<uvra><versionsNr>4.0^</versionsNr ><wsArt>47</wsArt>", unclosed),
        failsAt("<uvra><versionsNr>4.0^</versions\nNr><wsArt>47</wsArt>", unclosed),
        failsAt(head + "^<wsArt/>", element),
        failsAt("^<>", element),
        failsAt("<uvra><versionsNr>4.0^<></versionsNr>", unclosed),
        failsAt(head + "<schein>" + tip + "^<>" + "</schein></uvra>", element),
        failsAt("<uvra><versionsNr>4.0</versionsNr><kundenNr>1</kundenNr>^x<spielID>1</spielID>", markup),
        failsAt("^x<uvra>", markup),
        passes("<uvra><versionsNr>4.0></versionsNr><wsArt>47</wsArt>" + ticket + "</uvra>"),
    });
}

TEST(Markup, MatchingEndTagsTellMismatchKinds)
{
    expectOutcomes({
        failsAt(head + "<schein>" + tip + "^</uvra>", unclosed),
        failsAt(head + "<schein>" + tip + "^<tipp>", element),
        failsAt(head + ticket + "<schein>" + tip + tip + "^<schein>", element),
        failsAt(head + ticket + "^</schein></uvra>", unclosed),
        failsAt(head + ticket + "^<!x></uvra>", element),
    });
}

TEST(Markup, NulBytes)
{
    expectOutcomes({
        failsWithout(std::string("<uvra><versions\0Nr>", 19), encodingText),
        failsWithout(std::string("<uvra><versionsNr>4\0</versionsNr>", 33), encodingText),
        failsWithout(std::string("<uvra><!-- \0 -->", 16), encodingText),
        failsAt(std::string("<uvra>^\0<x>", 11), markup),
    });
}

TEST(Markup, TextKeepsLineBreaksAndEndsAtTheInputEnd)
{
    expectOutcomes({
        failsAt("<uvra><versionsNr>4.0</versionsNr><wsArt>^4\n7</wsArt>", content),
        failsAt("<uvra><versionsNr>4.0\n^", unclosed),
        failsAt("<uvra><versionsNr>4.0</versionsNr><wsArt>47^", unclosed),
    });
}

} // namespace
