#include "caseTable.h"
#include "texts.h"

#include <gtest/gtest.h>

using namespace kavrin::testing;

namespace {

const std::string body = document47("<schein><ziroTipp>01,02,03,04,05,06</ziroTipp></schein>");

TEST(Declaration, AcceptedForms)
{
    expectOutcomes({
        passes("<?xml version=\"1.0\"?>" + body),
        passes("<?xml version='1.0' ?>\n" + body),
        passes("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body),
        passes("<?xml version='1.0' encoding=\"ascii\" ?>" + body),
        passes("<?xml version=\"1.0\" encoding='utf-8'?>" + body),
        passes("<?xml version=\"1.0\" encoding='ASCII'?>" + body),
        passes("<?xml version=\"1.0\"\tencoding=\"UTF-8\"?>" + body),
        passes("<?xml version=\"1.0\" encoding=\"UTF-8\"? whatever ?>" + body),
        passes("<?xml version=\"1.0\"?>\n<!-- a -->\n<!-- b -->\n" + body),
        passes("\xEF\xBB\xBF<?xml version=\"1.0\"?>" + body),
    });
}

TEST(Declaration, WrongPartsAreReportedAtTheirOffsets)
{
    expectOutcomes({
        failsAt("<?xml ^ version=\"1.0\"?>" + body, content),
        failsAt("<?xml ^version = \"1.0\"?>" + body, content),
        failsAt("<?xml ^vers" + std::string(">") + body, content),
        failsAt("<?xml version=^\"1.1\"?>" + body, content),
        failsAt("<?xml version=^\"1.0'?>" + body, content),
        failsAt("<?xml version=\"1.0\">^" + body, content),
        failsAt("<?xml version=\"1.0\" ^standalone=\"yes\"?>" + body, content),
        failsAt("<?xml version=\"1.0\" encoding=\"utf-8\" ^ ?>" + body, content),
        failsAt("<?xml version=\"1.0\" encoding=\"UTF-8\" ^standalone=\"yes\"?>" + body, content),
        failsAt("<?xml version=\"1.0\" encoding=\"UTF-8\"^x?>" + body, content),
        failsAt("<?xml version=\"1.0\" encoding=\"UTF-8\"^>" + body, content),
        failsAt("\xEF\xBB\xBF<?xml version=^\"1.1\"?>" + body, content),
    });
}

TEST(Declaration, EncodingValueOutsideTheEightForms)
{
    for (const char* value : { "\"ISO-8859-1\"", "\"Utf-8\"", "\"UTF-8", "'UTF-8\"", "\"UTF8\"" }) {
        expectOutcomes(
            { failsWithout("<?xml version=\"1.0\" encoding=" + std::string(value) + "?>" + body, encodingText) });
    }
}

TEST(Declaration, OnlyAtTheVeryFirstByte)
{
    expectOutcomes({
        failsAt(" ^<?xml version=\"1.0\"?>" + body, element),
        failsAt("\n^<?xml version=\"1.0\"?>" + body, element),
        failsAt("<!-- -->^<?xml version=\"1.0\"?>" + body, element),
        failsAt("^<?XML version=\"1.0\"?>" + body, element),
        failsAt("^<?xml?>" + body, element),
        failsAt("<?xml version=\"1.0\"?>\n  ^<?xml version=\"1.0\"?>" + body, element),
    });
}

} // namespace
