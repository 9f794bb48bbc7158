#pragma once

#include <string>
#include <string_view>

namespace kavrin {

inline constexpr std::string_view successText = "Datei korrekt. Tipps nun spielbar.";
inline constexpr std::string_view checkingText = "prüfe...";
inline constexpr std::string_view titlePrefix = "Kavrin - ";
// Stands before the reason of a violation wherever it is shown.
inline constexpr std::string_view reasonLabel = "Grund: ";

// "Kavrin - " and the part of the name after its last '/'. Quotes stay: the
// title shows the name as typed.
std::string windowTitle(std::string_view nameText);

// Text for a terminal: C0 and C1 control characters and bytes that are not
// UTF-8 become \xNN, so that a file name cannot move the cursor or recolour;
// characters that would reorder or break the line are named by code point.
std::string terminalSafe(std::string_view text);

// The message pane shows a violation without its line feeds; CRs stay.
std::string withoutLineFeeds(std::string_view message);

} // namespace kavrin
