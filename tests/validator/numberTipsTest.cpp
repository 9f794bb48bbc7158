#include "caseTable.h"
#include "texts.h"

#include <gtest/gtest.h>

using namespace kavrin::testing;

namespace {

std::string ziroTicket(std::string_view list)
{
    return "<schein><ziroTipp>" + std::string(list) + "</ziroTipp></schein>";
}

std::string vexTip(std::string_view numbers, std::string_view stars)
{
    return "<tipp><vexTippZahl>" + std::string(numbers) + "</vexTippZahl><vexTippStern>" + std::string(stars)
        + "</vexTippStern></tipp>";
}

std::string repeat(const std::string& piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

TEST(NumberTips, ZiroListRules)
{
    expectOutcomes({
        passes(document47(ziroTicket("01,02,03,04,05,06"))),
        passes(document47(ziroTicket("40,41,42,43,44,45"))),
        failsAt(document47(ziroTicket("^1,02,03,04,05,06")), content),
        failsAt(document47(ziroTicket("01,02,03,04,05,^46")), content),
        failsAt(document47(ziroTicket("01,02,03,04,05,^50")), content),
        failsAt(document47(ziroTicket("01,02,03,04,05,^60")), content),
        failsAt(document47(ziroTicket("01,02,03,04,05,^5X")), content),
        failsAt(document47(ziroTicket("01,02,03,04,05,4^X")), content),
        failsAt(document47(ziroTicket("01,02,03,04,05,^00")), content),
        failsAt(document47(ziroTicket("01,02,03,04,05,^05")), content),
        failsAt(document47(ziroTicket("02,^01,03,04,05,06")), content),
        failsAt(document47(ziroTicket("01,02,03,04,05^")), content),
        failsAt(document47(ziroTicket("01,02,03,04,05,06^,07")), content),
        failsAt(document47(ziroTicket("01,02,03,04,05,06^ ")), content),
        failsAt(document47(ziroTicket("01^;02,03,04,05,06")), content),
        failsAt(document47(ziroTicket("01,^ 02,03,04,05,06")), content),
        failsAt(document47(ziroTicket("^")), content),
        failsAt(document47(ziroTicket("^-1,02,03,04,05,06")), content),
    });
}

TEST(NumberTips, VexListRules)
{
    expectOutcomes({
        passes(document34("<schein>" + vexTip("01,02,03,04,05", "01,02") + "</schein>")),
        passes(document34("<schein>" + vexTip("46,47,48,49,50", "01,12") + "</schein>")),
        failsAt(document34("<schein>" + vexTip("01,02,03,04,05", "01,^13") + "</schein>"), content),
        failsAt(document34("<schein>" + vexTip("01,02,03,04,05", "12,^12") + "</schein>"), content),
        failsAt(document34("<schein>" + vexTip("01,02,03,04,05", "^20,21") + "</schein>"), content),
        failsAt(document34("<schein>" + vexTip("01,02,03,04,^51", "01,02") + "</schein>"), content),
        failsAt(document34("<schein>" + vexTip("01,02,03,04,05^,06", "01,02") + "</schein>"), content),
    });
}

TEST(NumberTips, TipCountsAndOrder)
{
    const std::string ziro = "<ziroTipp>01,02,03,04,05,06</ziroTipp>";
    const std::string vex = vexTip("01,02,03,04,05", "01,02");
    expectOutcomes({
        passes(document47("<schein>" + repeat(ziro, 12) + "</schein>")),
        failsAt(document47("<schein>" + repeat(ziro, 12) + "^" + ziro + "</schein>"), element),
        passes(document34("<schein>" + repeat(vex, 10) + "</schein>")),
        failsAt(document34("<schein>" + repeat(vex, 10) + "^" + vex + "</schein>"), element),
        failsAt(document47("<schein>^</schein>"), element),
        failsAt(document34("<schein>^<vexTippZahl>01,02,03,04,05</vexTippZahl></schein>"), element),
        failsAt(document34("<schein><tipp>^<vexTippStern>01,02</vexTippStern></tipp></schein>"), element),
        failsAt(document34("<schein><tipp><vexTippZahl>01,02,03,04,05</vexTippZahl>^</tipp></schein>"), element),
        failsAt(document34("<schein><tipp><vexTippZahl>01,02,03,04,05</vexTippZahl><vexTippStern>01,02"
                           "</vexTippStern>^<vexTippStern>01,02</vexTippStern></tipp></schein>"),
            element),
        failsAt(document34("<schein><tipp><vexTippZahl>01,02,03,04,05</vexTippZahl><vexTippStern>01,02"
                           "</vexTippStern>^</schein>"),
            unclosed),
        failsAt(document34("<schein><tipp><vexTippZahl>01,02,03,04,05^</vexTippStern>"), unclosed),
        failsAt(document47("<schein><ziroTipp>01,02,03,04,05,06^</ziroTip></schein>"), unclosed),
        failsAt(document47("<schein>^<tipp>"), element),
        passes(document34("<schein><!-- a --><tipp><vexTippZahl>01,02,03,04,05</vexTippZahl><!-- b -->"
                          "<vexTippStern>01,02</vexTippStern></tipp><!-- c -->"
            + vex + "</schein>")),
        passes(document47("<schein>\n  " + ziro + "\n  <!-- c -->\n  " + ziro + "\n</schein>\n")),
    });
}

} // namespace
