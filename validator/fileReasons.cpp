#include "reasonText.h"
#include "reasons.h"
#include "utf8.h"

#include <cstring>

namespace kavrin::reasons {

std::string noFileName() { return "Es wurde kein Dateiname eingegeben."; }

std::string wrongFileName(std::string_view name)
{
    return "Der Name " + quoted(utf8::baseName(name))
        + " endet nicht auf „.tzv“ (klein geschrieben, nach mindestens einem Zeichen).";
}

std::string cannotOpen(textReader::openFailure failure, int errorNumber)
{
    switch (failure) {
    case textReader::openFailure::notFound:
        return "Die Datei gibt es nicht. Bitte Ordner und Namen prüfen.";
    case textReader::openFailure::noPermission:
        return "Die Datei darf nicht gelesen werden: es fehlen die Leserechte.";
    case textReader::openFailure::directory:
        return "Der Name bezeichnet einen Ordner, keine Datei.";
    case textReader::openFailure::notRegular:
        return "Der Name bezeichnet keine gewöhnliche Datei, sondern etwa ein Gerät, eine FIFO oder einen Socket.";
    case textReader::openFailure::unreadable:
        return "Die Datei ließ sich nicht lesen: Sie ist ein Ordner oder wurde nach der Auswahl entfernt oder "
               "geändert. Bitte die Datei erneut wählen.";
    default:
        return "Das Betriebssystem meldet: " + std::string(std::strerror(errorNumber)) + " (Fehler "
            + number(static_cast<std::uint64_t>(errorNumber)) + ").";
    }
}

std::string fileTooLarge(std::uint64_t size, std::uint64_t limit, bool sizeKnown)
{
    const std::string allowed = "erlaubt sind höchstens " + grouped(limit) + " Bytes.";
    if (!sizeKnown)
        return "Die Eingabe ist größer als " + grouped(limit) + " Bytes; " + allowed;
    return "Die Datei ist " + grouped(size) + " Bytes groß; " + allowed;
}

std::string tooManyTickets(unsigned limit, std::uint32_t line)
{
    return "Die Datei enthält mehr als " + number(limit) + " Scheine (der " + number(limit + 1u) + ". beginnt in Zeile "
        + number(line) + ").";
}

std::string wrongFirstBytes(int first, int second, int third, std::uint64_t size)
{
    if (first == textReader::endOfInput) {
        if (size == 0)
            return "Die Datei ist leer.";
        return "Die Datei beginnt mit dem Byte 0x1A, das als Dateiende gilt: sie hat keinen Inhalt.";
    }
    if ((first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF))
        return "Die Datei beginnt mit " + hexByte(first) + " " + hexByte(second)
            + ", der Byte-Reihenfolge-Marke von UTF-16: sie wurde als UTF-16 (Unicode) gespeichert. Bitte als UTF-8 "
              "speichern.";
    if (first == 0x00)
        return "Die Datei beginnt mit einem NUL-Byte (0x00): vermutlich wurde sie als UTF-16 oder UTF-32 "
               "gespeichert. Bitte als UTF-8 speichern.";
    if (first == 0xEF)
        return "Die Datei beginnt mit " + hexByte(first) + (second >= 0 ? " " + hexByte(second) : "")
            + (third >= 0 ? " " + hexByte(third) : "")
            + ", aber nicht mit der vollständigen UTF-8-Byte-Reihenfolge-Marke 0xEF 0xBB 0xBF.";
    return "Die Datei beginnt mit dem Byte " + hexByte(first)
        + ", mit dem keine Datei in UTF-8 oder ASCII beginnen kann.";
}

std::string invalidUtf8(int byte, std::uint32_t line, std::uint32_t column, bool atEnd)
{
    const std::string place = "Zeile " + number(line) + ", Spalte " + number(column);
    if (atEnd)
        return "Die Datei endet in " + place + " mitten in einem UTF-8-Zeichen, das mit " + hexByte(byte) + " beginnt.";
    std::string reason = "Das Byte " + hexByte(byte) + " in " + place + " ist kein gültiges UTF-8.";
    // A Windows-1252 umlaut is read as the lead of a sequence that breaks
    // off; other bytes hint at it only when UTF-8 has no use for them at all.
    const char32_t letter = utf8::windows1252(static_cast<unsigned char>(byte));
    constexpr std::u32string_view germanLetters = U"ÄÖÜäöüß";
    const bool neverLead = byte < 0xC2 || byte > 0xF4;
    if (byte >= 0x80 && letter >= 0xA0 && (neverLead || germanLetters.find(letter) != std::u32string_view::npos)) {
        reason += " Vermutlich wurde die Datei als Windows-1252 (ANSI) gespeichert, wo es für „";
        utf8::appendUtf8(reason, letter);
        reason += "“ steht. Bitte als UTF-8 speichern.";
    }
    return reason;
}

std::string nulByte(std::string_view element, std::uint32_t line, std::uint32_t column)
{
    const std::string where = element.empty() ? "in einem Tag" : "im Inhalt von " + tag(element);
    return "Die Datei enthält " + where + " ein NUL-Byte (0x00) in Zeile " + number(line) + ", Spalte " + number(column)
        + "; Text- und XML-Dateien enthalten keine NUL-Bytes.";
}

} // namespace kavrin::reasons
