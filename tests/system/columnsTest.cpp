#include "columns.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

struct columnsCase {
    char32_t character;
    std::size_t columns;
};

// One row per rule of the table, for the carets under an excerpt.
constexpr columnsCase columnsCases[] = {
    { U'é', 1 }, // Latin
    { 0x0301, 0 }, // a combining mark
    { 0x200B, 0 }, // a format character
    { 0x00AD, 1 }, // the soft hyphen, which is drawn
    { 0x0600, 1 }, // a prepended mark, which is drawn
    { 0x1160, 0 }, // a Hangul vowel joining the syllable before it
    { U'中', 2 }, // CJK
    { 0xFF21, 2 }, // a full-width letter
    { 0x26BD, 2 }, // an emoji in the first plane
    { 0x1F680, 2 }, // an emoji beyond it
    { 0x2FFFD, 2 }, // unassigned in the plane of CJK, wide by default
    { 0x10FFFF, 1 }, // the last code point
};

// The same on every system and in any locale, which measuring leaves alone.
TEST(Columns, FollowUnicodesWidths)
{
    for (const columnsCase& row : columnsCases)
        EXPECT_EQ(kavrin::system::columnsOf(row.character), row.columns) << std::hex << unsigned(row.character);
    EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C");
}

} // namespace
