#include "caseTable.h"
#include "texts.h"

#include <gtest/gtest.h>

using namespace kavrin::testing;

namespace {

const std::string row = "1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2";
const std::string fenu = "<fenuTipp>" + row + "</fenuTipp>";

std::string fenuTicket(std::string_view text)
{
    return "<schein><fenuTipp>" + std::string(text) + "</fenuTipp></schein>";
}

std::string brakelTicket(std::string_view text)
{
    return "<schein>" + fenu + "<brakelTipp>" + std::string(text) + "</brakelTipp></schein>";
}

std::string repeat(const std::string& piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

TEST(PoolTips, RowRules)
{
    expectOutcomes({
        passes(document28(fenuTicket(row))),
        passes(document28(fenuTicket("1,1,1,1,1,1,1,1,1,1,1,1,1,-,-,-,-,-"))),
        passes(document28(fenuTicket("X,X,X,X,X,-,-,-,-,-,2,2,2,2,2,2,2,2"))),
        failsAt(document28(fenuTicket("^-,X,2,1,1,1,2,X,-,1,1,-,2,-,X,-,1,2")), content),
        failsAt(document28(fenuTicket("1,X,2,1,^-,1,2,X,-,1,1,-,2,-,X,-,1,2")), content),
        failsAt(document28(fenuTicket("1,X,2,1,1,-,-,-,-,-,^-,1,2,X,1,1,1,2")), content),
        failsAt(document28(fenuTicket("^1,X,2,1,1,1,2,X,-,1,1,-,2,-,X,-,1,2")), content),
        failsAt(document28(fenuTicket("1,^x,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2")), content),
        failsAt(document28(fenuTicket("1^;X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2")), content),
        failsAt(document28(fenuTicket("1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1^")), content),
        failsAt(document28(fenuTicket("1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2^,")), content),
        failsAt(document28(fenuTicket("1,X,2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,^")), content),
        failsAt(document28(fenuTicket("^")), content),
        failsAt(document28(fenuTicket("1,X,^\n2,1,1,-,2,X,-,1,1,-,2,-,X,-,1,2")), content),
    });
}

TEST(PoolTips, GoalBetRules)
{
    expectOutcomes({
        passes(document28(brakelTicket("10,2+,00,+1,21"))),
        passes(document28(brakelTicket("++,++,++,++,++"))),
        failsAt(document28(brakelTicket("10,2+,00,+1,2^")), content),
        failsAt(document28(brakelTicket("10,2+,00,+1,21^,")), content),
        failsAt(document28(brakelTicket("10,^3+,00,+1,21")), content),
        failsAt(document28(brakelTicket("10,2^-,00,+1,21")), content),
        failsAt(document28(brakelTicket("10^;2+,00,+1,21")), content),
        failsAt(document28(brakelTicket("^")), content),
        failsAt(document28("<schein>" + fenu + "<brakelTipp>10,2+,00,+1,21^</brakelTip></schein>"), unclosed),
    });
}

TEST(PoolTips, TicketLayout)
{
    const std::string brakel = "<brakelTipp>10,2+,00,+1,21</brakelTipp>";
    expectOutcomes({
        passes(document28("<schein>" + repeat(fenu, 13) + "</schein>")),
        passes(document28("<schein>" + repeat(fenu, 13) + brakel + "</schein>")),
        failsAt(document28("<schein>" + repeat(fenu, 13) + "^" + fenu + "</schein>"), element),
        failsAt(document28("<schein>" + fenu + brakel + "^" + brakel + "</schein>"), element),
        failsAt(document28("<schein>" + fenu + brakel + "^" + fenu + "</schein>"), element),
        failsAt(document28("<schein>^" + brakel + "</schein>"), element),
        failsAt(document28("<schein><fenuTipp>" + row + "^</fenuTipp2></schein>"), unclosed),
        failsAt(document28("<schein>^<ziroTipp>01,02,03,04,05,06</ziroTipp></schein>"), element),
    });
}

} // namespace
