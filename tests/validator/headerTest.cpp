#include "caseTable.h"
#include "texts.h"

#include <gtest/gtest.h>

using namespace kavrin::testing;

namespace {

const std::string ziro = "<schein><ziroTipp>01,02,03,04,05,06</ziroTipp></schein>";
const std::string vex = "<schein><tipp><vexTippZahl>01,02,03,04,05</vexTippZahl>"
                        "<vexTippStern>01,02</vexTippStern></tipp></schein>";
const std::string pool = "<schein><fenuTipp>1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2</fenuTipp></schein>";

std::string file(std::string_view version, std::string_view between, std::string_view game, std::string_view after = {},
    std::string_view tickets = {})
{
    std::string t(tickets);
    if (t.empty())
        t = game == "28" ? pool : game == "34" ? vex : ziro;
    return "<uvra><versionsNr>" + std::string(version) + "</versionsNr>" + std::string(between) + "<wsArt>"
        + std::string(game) + "</wsArt>" + std::string(after) + t + "</uvra>";
}

TEST(Header, MinimalFilesOfEachGame)
{
    expectOutcomes({
        passes(file("4.0", "", "47")),
        passes(file("4.0", "", "34")),
        passes(file("3.0", "", "28")),
        passes(file("4", "", "47")),
        passes(file("4.1.2", "", "34")),
        passes(file("+4x", "", "47")),
        passes(file(" \t4.0", "", "47")),
        passes(file("-4294967292", "", "47")),
        passes(file("4.99999999999999999999", "", "47", "<tnDauer>10</tnDauer>")),
    });
}

TEST(Header, VersionAndGameTypeRule)
{
    expectOutcomes({
        failsAt("<uvra><versionsNr>^3.0</versionsNr><wsArt>47</wsArt>", content),
        failsAt("<uvra><versionsNr>^4.0</versionsNr><wsArt>28</wsArt>", content),
        failsAt("<uvra><versionsNr>^4.0</versionsNr><wsArt>17</wsArt>", content),
        failsAt("<uvra><versionsNr>^3.0</versionsNr><wsArt>17</wsArt>", content),
        failsAt("<uvra><versionsNr>^5.0</versionsNr><wsArt>34</wsArt>", content),
        failsAt("<uvra><versionsNr>^</versionsNr><wsArt>47</wsArt>", content),
        failsAt("<uvra><versionsNr>^4294967300</versionsNr><wsArt>47</wsArt>", content),
        failsAt("<uvra>\n<versionsNr>^3.0</versionsNr>\n<kundenNr>1</kundenNr>\n<wsArt>34</wsArt>", content),
        failsAt("<uvra><versionsNr>4.0</versionsNr><wsArt>^7</wsArt>", content),
        failsAt("<uvra><versionsNr>4.0</versionsNr><wsArt>^017</wsArt>", content),
        failsAt("<uvra><versionsNr>4.0</versionsNr><wsArt>^ 47</wsArt>", content),
        failsAt("<uvra><versionsNr>4.0</versionsNr><wsArt>^48</wsArt>", content),
        failsAt("<uvra><versionsNr>4.0</versionsNr><wsArt>^</wsArt>", content),
    });
}

TEST(Header, CustomerNumberAndGameId)
{
    expectOutcomes({
        passes(file("4.0", "<kundenNr>000001</kundenNr><spielID>999999</spielID>", "47")),
        passes(file("4.0", "<spielID>5</spielID>", "47")),
        failsAt(file("4.0", "<kundenNr>^0</kundenNr>", "47"), content),
        failsAt(file("4.0", "<kundenNr>^1000000</kundenNr>", "47"), content),
        failsAt(file("4.0", "<kundenNr>^12 </kundenNr>", "47"), content),
        failsAt(file("4.0", "<kundenNr>^+12</kundenNr>", "47"), content),
        failsAt(file("4.0", "<kundenNr>^</kundenNr>", "47"), content),
        failsAt(file("4.0", "<spielID>^99999999999999999999</spielID>", "47"), content),
        failsAt(file("4.0", "<spielID>1</spielID>^<kundenNr>1</kundenNr>", "47"), element),
        failsAt("<uvra><versionsNr>4.0</versionsNr><kundenNr>1^</kundenNr2>", unclosed),
        failsAt("<uvra><versionsNr>4.0^<versionsNr>", unclosed),
        failsAt("<uvra>^<wsArt>47</wsArt>", element),
        failsAt("^<uvra2>", element),
    });
}

TEST(Header, DurationByGameType)
{
    expectOutcomes({
        passes(file("3.0", "", "28", "<tnDauer>4</tnDauer>")),
        passes(file("4.0", "", "34", "<tnDauer>10</tnDauer>")),
        passes(file("4.0", "", "47", "<tnDauer>05</tnDauer>")),
        failsAt(file("3.0", "", "28", "<tnDauer>^5</tnDauer>"), content),
        failsAt(file("4.0", "", "47", "<tnDauer>^11</tnDauer>"), content),
        failsAt(file("4.0", "", "47", "<tnDauer>^29</tnDauer>"), content),
        failsAt(file("4.0", "", "47", "<tnDauer>^0</tnDauer>"), content),
        failsAt(file("4.0", "", "47", "<tnDauer>4^</tnDauer2>"), unclosed),
        failsAt(file("4.0", "", "47", "<filter></filter>^<tnDauer>4</tnDauer>"), element),
    });
}

TEST(Header, Filter)
{
    std::string twenty;
    for (int i = 0; i < 20; ++i)
        twenty.append(i ? "," : "").append("A").append(std::to_string(100 + i));
    expectOutcomes({
        passes(file("4.0", "", "47", "<filter></filter>")),
        passes(file("4.0", "", "47", "<filter>AB12,ZZ99</filter>")),
        passes(file("3.0", "", "28", "<tnDauer>1</tnDauer><filter>0000</filter>")),
        passes(file("4.0", "", "47", "<filter>" + twenty + "</filter>")),
        failsAt(file("4.0", "", "47", "<filter>" + twenty + "^,ZZZZ</filter>"), content),
        failsAt(file("4.0", "", "47", "<filter>^ab12</filter>"), content),
        failsAt(file("4.0", "", "47", "<filter>^AB1</filter>"), content),
        failsAt(file("4.0", "", "47", "<filter>AB12,^</filter>"), content),
        failsAt(file("4.0", "", "47", "<filter>^AB12;CD34</filter>"), content),
        failsAt(file("4.0", "", "47", "<filter>AB12,^CD345</filter>"), content),
        failsAt(file("4.0", "", "47", "<filter>AB12,^,CD34</filter>"), content),
        failsAt(file("4.0", "", "47", "<filter>^,AB12</filter>"), content),
    });
}

TEST(Header, AddOnElements)
{
    const std::string wimbel = "<wimbel><anzahlWimbelProSchein>10</anzahlWimbelProSchein></wimbel>";
    expectOutcomes({
        passes(file("4.0", "", "47", wimbel)),
        passes(file("4.0", "", "34", wimbel + "<ziroPlus>1</ziroPlus>")),
        passes(file("3.0", "", "28", wimbel)),
        passes(file("4.0", "", "47",
            "<wimbel><anzahlWimbelProSchein>1</anzahlWimbelProSchein>"
            "<maximaleWimbelAnzahl>10000</maximaleWimbelAnzahl></wimbel><ziroPlus>00</ziroPlus>")),
        failsAt(file("4.0", "", "47", "<wimbel><anzahlWimbelProSchein>^11</anzahlWimbelProSchein></wimbel>"), content),
        failsAt(file("4.0", "", "47",
                    "<wimbel><anzahlWimbelProSchein>1</anzahlWimbelProSchein>"
                    "<maximaleWimbelAnzahl>^10001</maximaleWimbelAnzahl></wimbel>"),
            content),
        failsAt(file("4.0", "", "47", "<wimbel>^<maximaleWimbelAnzahl>1</maximaleWimbelAnzahl></wimbel>"), element),
        failsAt(file("4.0", "", "47", "<wimbel><anzahlWimbelProSchein>1</anzahlWimbelProSchein>^</wimbelx>"), unclosed),
        failsAt(file("4.0", "", "47", "<wimbel><anzahlWimbelProSchein>1</anzahlWimbelProSchein>^<x>"), element),
        failsAt(file("3.0", "", "28", "^<ziroPlus>1</ziroPlus>"), element),
        failsAt(file("4.0", "", "47", "<ziroPlus>^2</ziroPlus>"), content),
        failsAt(file("4.0", "", "47", "<ziroPlus>^ 1</ziroPlus>"), content),
        failsAt(file("4.0", "", "47", "<ziroPlus>1^</ziroPlus >"), unclosed),
        failsAt(file("4.0", "", "47", "<ziroPlus>1</ziroPlus>^" + wimbel), element),
        failsAt(file("4.0", "", "47", wimbel + "^" + wimbel), element),
    });
}

} // namespace
