#pragma once

#include "utf8.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// What the reasons of every layer share: numbers, games and found values
// written the same way everywhere.
namespace kavrin::reasons {

using utf8::trimmed;

std::string number(std::uint64_t value);
// A byte count, grouped by dots: 4.194.304.
std::string grouped(std::uint64_t value);
std::string twoDigits(std::uint32_t value);
// 0x1A
std::string hexByte(int byte);
// A found value as it may stand inside quotes: up to about budget
// characters, control characters and broken bytes as "[Byte 0xNN]" (a run of
// one control byte as "[3 Bytes 0x00]"), hidden characters named by code
// point.
std::string escaped(std::string_view value, std::size_t budget = 32);
// The start of a tag the input ends in, in quotes: "<" and what follows it
// up to the first line break, with "…" where more follows.
std::string tagStart(std::string_view inner, std::size_t budget);
// "gefunden „12a“", or with a value said in words "gefunden: ein
// Zeilenumbruch, dann „47“".
std::string found(std::string_view value, std::size_t budget = 32);
// Blanks, tabs and line breaks in words, fit to be the subject of a
// sentence: "ein Zeilenumbruch und 2 Leerzeichen".
struct spokenBlanks {
    std::string words;
    bool plural = false;
};
spokenBlanks blanks(std::string_view run);
// "1 bis 45", or "0 oder 1".
std::string range(std::uint32_t minimum, std::uint32_t maximum);
// "Spielart 47 (6 aus 45)".
std::string game(std::uint32_t gameType);
// A reason as one line of at most 140 characters: a longer one is cut at a
// character's end with "…".
std::string withinALine(std::string reason);
// "<ziroTipp>"
std::string element(std::string_view name);
// "6 zweistellige Zahlen von 01 bis 45, durch Kommas getrennt"
std::string listShape(std::uint32_t count, std::uint32_t maximum);

} // namespace kavrin::reasons
