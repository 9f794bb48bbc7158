#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// What the reasons of every layer share: numbers, games and found values
// written the same way everywhere.
namespace kavrin::reasons {

std::string number(std::uint64_t value);
// A byte count, grouped by dots: 4.194.304.
std::string grouped(std::uint64_t value);
std::string twoDigits(std::uint32_t value);
// 0x1A
std::string hexByte(int byte);
// A found value as it may stand in a reason: up to about 32 characters, a
// line break said in words, control characters and broken bytes as
// "[Byte 0xNN]", hidden characters named by code point.
std::string escaped(std::string_view value, std::size_t budget = 32);
// A whole value in quotes as escaped shows it, each line break said in
// words: „01,02,[Zeilenumbruch]03“.
std::string quotedWhole(std::string_view value);
// The start of a value in quotes, up to its first line break and at most
// budget characters, with "…" where more follows.
std::string quotedStart(std::string_view value, std::size_t budget);
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
