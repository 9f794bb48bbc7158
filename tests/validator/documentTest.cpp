#include "caseTable.h"
#include "texts.h"

#include <gtest/gtest.h>

using namespace kavrin::testing;

namespace {

const std::string ticket = "<schein><ziroTipp>01,02,03,04,05,06</ziroTipp></schein>";

std::string tickets(int count, const std::string& separator = "\n")
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += ticket + separator;
    return out;
}

TEST(DocumentWalk, TicketCount)
{
    EXPECT_EQ(checkBytes(document47(tickets(1000))), outcome {});
    EXPECT_EQ(checkBytes(document47(tickets(1000) + "<schein>this is never read")), (outcome { sizeText, 0, 0 }));
    EXPECT_EQ(checkBytes(document47(tickets(1001))), (outcome { sizeText, 0, 0 }));
}

TEST(DocumentWalk, RootAndWhatFollowsIt)
{
    expectOutcomes({
        failsAt("<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt>^</uvra>", element),
        failsAt("<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt>^<ziroTipp>", element),
        passes(document47(ticket) + " \t\r\n\r\n  "),
        failsAt(document47(ticket) + "\n  ^<!-- c -->", element),
        failsAt(document47(ticket) + "\n^<?pi?>", element),
        failsAt(document47(ticket) + "\n^x", unclosed),
        failsAt(document47(ticket) + "^\f", unclosed),
        failsAt(document47(ticket) + "  ^\xC3\xA4", unclosed),
        failsAt(document47(ticket) + "^" + document47(ticket), element),
        failsAt(document47(ticket, "<ziroPlus>1</ziroPlus>") + "^</uvra>", element),
        failsAt("<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt>" + ticket + "^</uvraa>", unclosed),
        failsAt("<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt>" + ticket + "^", unclosed),
    });
}

TEST(DocumentWalk, EncodingIsCheckedBeforeStructure)
{
    expectOutcomes({
        failsWithout("<uvra>\n<bad>\n" + tickets(3) + "<!-- \xFF -->", encodingText),
        failsWithout(document47(ticket) + "\n<!-- \xC3", encodingText),
    });
}

TEST(DocumentWalk, SampleFilesOfEachGame)
{
    const std::string ziro = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<!-- Kavrin -->\n"
                             "<uvra>\n"
                             "  <versionsNr>4.0</versionsNr>\n"
                             "  <kundenNr>123456</kundenNr>\n"
                             "  <spielID>42</spielID>\n"
                             "  <wsArt>47</wsArt>\n"
                             "  <tnDauer>2</tnDauer>\n"
                             "  <filter>AB12,0000</filter>\n"
                             "  <wimbel>\n"
                             "    <anzahlWimbelProSchein>3</anzahlWimbelProSchein>\n"
                             "    <maximaleWimbelAnzahl>100</maximaleWimbelAnzahl>\n"
                             "  </wimbel>\n"
                             "  <ziroPlus>1</ziroPlus>\n"
                             "  <schein>\n"
                             "    <ziroTipp>03,11,19,27,38,45</ziroTipp>\n"
                             "  </schein>\n"
                             "</uvra>\n";
    EXPECT_EQ(checkBytes(ziro), outcome {});
    EXPECT_EQ(checkBytes(document34("<schein><tipp><vexTippZahl>07,13,22,41,50</vexTippZahl>"
                                    "<vexTippStern>02,11</vexTippStern></tipp></schein>")),
        outcome {});
    EXPECT_EQ(checkBytes(document28("<schein><fenuTipp>1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2</fenuTipp>"
                                    "<brakelTipp>10,2+,00,+1,21</brakelTipp></schein>")),
        outcome {});
}

} // namespace
