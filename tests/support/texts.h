#pragma once

// The texts a user reads, written here again on purpose: a test that took
// them from the validator could not catch a misspelt message.
namespace kavrin::testing {

inline constexpr const char* noFileText = "Keine Datei angegeben.";
inline constexpr const char* nameText = "Ungültiger Dateiname. Die Datei muss mit '.tzv' enden.";
inline constexpr const char* openText = "Konnte Datei nicht öffnen.";
inline constexpr const char* sizeText = "Die Datei entspricht nicht der aktuellen XML-Schnittstellenbeschreibung. "
                                        "Sie enthält mehr als 1000 Scheine oder ist größer als 4MB.";
inline constexpr const char* encodingText = "Die Datei entspricht nicht dem Datenformat der aktuellen "
                                            "XML-Schnittstellenbeschreibung (UTF-8 oder ASCII).";
inline constexpr const char* element = "Elemente, die nicht der aktuellen XML-Schnittstellenbeschreibung "
                                       "entsprechen. Entweder wurde ein XML-Tag vergessen, oder falsch geschrieben.";
inline constexpr const char* content = "Inhalte, die nicht der aktuellen XML-Schnittstellenbeschreibung entsprechen.";
inline constexpr const char* unclosed = "einen Inhalt, der nicht XML-konform ist. Ein XML-Tag wurde nicht geschlossen.";
inline constexpr const char* markup = "einen Inhalt, der nicht XML-konform ist.";

} // namespace kavrin::testing
