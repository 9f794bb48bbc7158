#pragma once

#include <string_view>

// What each fix of a repair is called, in the German the user reads.
namespace kavrin::repairTexts {

inline constexpr std::string_view savedAsUtf8 = "Als UTF-8 gespeichert";
inline constexpr std::string_view utf8 = "UTF-8";
inline constexpr std::string_view utf16le = "UTF-16 LE";
inline constexpr std::string_view utf16be = "UTF-16 BE";
inline constexpr std::string_view windows1252 = "Windows-1252";
inline constexpr std::string_view declaredUtf8 = "Kodierung der XML-Deklaration auf UTF-8 gesetzt";
inline constexpr std::string_view tailRemoved = "Byte 0x1A (Strg+Z) und alles danach am Dateiende entfernt";
inline constexpr std::string_view secondDocumentRemoved = "zweites Dokument hinter 0x1A entfernt";
inline constexpr std::string_view oneByte = " Byte";
inline constexpr std::string_view bytes = " Bytes";
inline constexpr std::string_view tickets = " <schein>";
inline constexpr std::string_view blanksRemoved = "Leerraum entfernt";
inline constexpr std::string_view linesJoined = "Zeilen der Liste zusammengeführt";
inline constexpr std::string_view leadingZero = "führende Null ergänzt";
inline constexpr std::string_view sortedAscending = "aufsteigend sortiert";
inline constexpr std::string_view capitals = "Großbuchstaben gesetzt";
inline constexpr std::string_view leadingComma = "Komma am Anfang entfernt";
inline constexpr std::string_view trailingComma = "Komma am Ende entfernt";
inline constexpr std::string_view elementCase = "Schreibweise des Elementnamens berichtigt";
inline constexpr std::string_view stepSeparator = ", ";
// By repairSteps::step; the tail's text says how much went.
inline constexpr std::string_view stepTexts[] = { blanksRemoved, linesJoined, leadingComma, trailingComma, leadingZero,
    sortedAscending, capitals, elementCase, declaredUtf8, tailRemoved };

inline constexpr std::string_view line = "Zeile ";
inline constexpr std::string_view column = ", Spalte ";
inline constexpr std::string_view wholeFile = "Ganze Datei";
inline constexpr std::string_view arrow = " → ";
inline constexpr std::string_view nothing = "nichts";
inline constexpr std::string_view copySuffix = "-korrigiert";

inline constexpr std::string_view nothingToRepair = "Nichts zu korrigieren.";
inline constexpr std::string_view oneChange = "1 Korrektur";
inline constexpr std::string_view changesAfterCount = " Korrekturen";
inline constexpr std::string_view copyCorrect = "; die korrigierte Fassung ist korrekt.";
inline constexpr std::string_view oneLeft = "; in der korrigierten Fassung bleibt 1 Verstoß.";
inline constexpr std::string_view leftBeforeCount = "; in der korrigierten Fassung bleiben ";
inline constexpr std::string_view leftAfterCount = " Verstöße.";
inline constexpr std::string_view atLeast = "mindestens ";
inline constexpr std::string_view nothingRepairedLeft = "Nichts ließ sich sicher korrigieren.";
inline constexpr std::string_view nothingRepaired = "Nichts korrigiert";
inline constexpr std::string_view oneLeftOut = "; 1 Korrektur ausgelassen";
inline constexpr std::string_view leftOutBeforeCount = "; ";
inline constexpr std::string_view leftOutAfterCount = " Korrekturen ausgelassen";
inline constexpr std::string_view leftOutWhy = ", weil die korrigierte Fassung sonst größer als 4 MiB würde";
inline constexpr std::string_view fullStop = ".";

} // namespace kavrin::repairTexts
