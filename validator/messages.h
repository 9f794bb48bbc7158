#pragma once

#include <string_view>

// Every text the validator produces, in the UTF-8 bytes the user reads.
namespace kavrin::messages {

inline constexpr std::string_view noFile = "Keine Datei angegeben.";
inline constexpr std::string_view badName = "Ungültiger Dateiname. Die Datei muss mit '.tzv' enden.";
inline constexpr std::string_view cannotOpen = "Konnte Datei nicht öffnen.";
inline constexpr std::string_view sizeOrCount
    = "Die Datei entspricht nicht der aktuellen XML-Schnittstellenbeschreibung. Sie enthält mehr als 1000 Scheine "
      "oder ist größer als 4MB.";
inline constexpr std::string_view encoding
    = "Die Datei entspricht nicht dem Datenformat der aktuellen XML-Schnittstellenbeschreibung (UTF-8 oder ASCII).";

// A positioned violation reads: lead-in, " Zeile ", line, ", Spalte ", column, " ", detail.
inline constexpr std::string_view leadIn = "Die Datei enthält in der";
inline constexpr std::string_view elementDetail
    = "Elemente, die nicht der aktuellen XML-Schnittstellenbeschreibung entsprechen. Entweder wurde ein XML-Tag "
      "vergessen, oder falsch geschrieben.";
inline constexpr std::string_view contentDetail
    = "Inhalte, die nicht der aktuellen XML-Schnittstellenbeschreibung entsprechen.";
inline constexpr std::string_view unclosedDetail
    = "einen Inhalt, der nicht XML-konform ist. Ein XML-Tag wurde nicht geschlossen.";
inline constexpr std::string_view markupDetail = "einen Inhalt, der nicht XML-konform ist.";

} // namespace kavrin::messages
