#include "reasonText.h"
#include "reasons.h"
#include "textReader.h"
#include "utf8.h"

#include <cerrno>

namespace kavrin::reasons {

namespace {

    std::string unknownCause(int errorNumber)
    {
        return "Das Betriebssystem meldet den Fehler " + number(static_cast<std::uint64_t>(errorNumber)) + ".";
    }

    constexpr std::string_view notFound = "Die Datei gibt es nicht. Bitte Ordner und Namen prüfen.";
    constexpr std::string_view noReadPermission = "Die Datei darf nicht gelesen werden: Es fehlen die Leserechte.";
} // namespace

std::string openCause(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        return std::string(notFound);
    case EACCES:
    case EPERM:
        return std::string(noReadPermission);
    case ENAMETOOLONG:
        return "Der Name ist für das Betriebssystem zu lang; bitte kürzen.";
    case ELOOP:
        return "Der Name führt über zu viele symbolische Verknüpfungen, vermutlich im Kreis.";
    case EIO:
        return "Beim Lesen trat ein Fehler des Datenträgers auf.";
    case EISDIR:
        return "Die Eingabe ist ein Ordner, keine Datei.";
    case EINVAL:
        return "Das Betriebssystem lässt diesen Namen oder diese Datei nicht lesen (ungültiger Name oder "
               "besondere Datei).";
    case EBADF:
        return "Der Name bezeichnet keine lesbare Datei, sondern etwa ein Gerät.";
    case EMFILE:
    case ENFILE:
        return "Es sind zu viele Dateien gleichzeitig geöffnet.";
    case ENOMEM:
        return "Dem Betriebssystem fehlt Speicher.";
    case ENXIO:
    case ENODEV:
        return "Das Gerät hinter diesem Namen ist nicht vorhanden.";
    case EOVERFLOW:
    case EFBIG:
        return "Die Datei ist für das Betriebssystem zu groß.";
    case ETXTBSY:
    case EBUSY:
        return "Die Datei ist gerade in Gebrauch; bitte später erneut prüfen.";
    case EAGAIN:
        return "Die Datei ist gerade gesperrt; bitte später erneut prüfen.";
    case EINTR:
        return "Das Lesen wurde unterbrochen; bitte erneut prüfen.";
    default:
        return unknownCause(errorNumber);
    }
}

std::string writeCause(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        return "Den Ordner gibt es nicht.";
    case EACCES:
    case EPERM:
        return "Es fehlen die Schreibrechte.";
    case EISDIR:
        return "Der Name bezeichnet einen Ordner.";
    case EROFS:
        return "Der Datenträger ist schreibgeschützt.";
    case ENOSPC:
#ifdef EDQUOT // not on Windows
    case EDQUOT:
#endif
        return "Auf dem Datenträger ist kein Platz mehr.";
    case EPIPE:
        return "Der Empfänger der Ausgabe hat geschlossen.";
    case EBADF:
        return "Die Ausgabe ist geschlossen.";
    case EIO:
        return "Beim Schreiben trat ein Fehler des Datenträgers auf.";
    case EFBIG:
        return "Die Ausgabe wäre für das Betriebssystem zu groß.";
    case EAGAIN:
        return "Die Ausgabe nimmt gerade nichts an.";
    default:
        return unknownCause(errorNumber);
    }
}

std::string noFileName() { return "Es wurde kein Dateiname angegeben: Bitte eine .tzv-Datei wählen."; }

std::string wrongFileName(std::string_view name)
{
    const std::string_view base = utf8::baseName(name);
    constexpr std::string_view ending = ".tzv";
    if (base.empty())
        return "Der Dateiname ist leer: Bitte den Namen einer .tzv-Datei angeben.";
    if (base == ending)
        return "Vor „.tzv“ fehlt der Name: Die Datei braucht einen Namen wie „tipps.tzv“.";
    // Blanks at either end of a name are said in words, after it.
    if (trimmed(base).size() != base.size() || base.find_first_of("\r\n") != std::string_view::npos)
        return "Der Name endet nicht auf „.tzv“, " + found(base) + ": Bitte die Datei umbenennen.";
    if (base.size() > ending.size() && utf8::equalIgnoringAsciiCase(base.substr(base.size() - ending.size()), ending))
        return "Der Name " + quoted(base) + " endet auf " + quoted(base.substr(base.size() - ending.size()))
            + ": Die Endung muss klein „.tzv“ lauten.";
    return "Der Name " + quoted(base) + " endet nicht auf „.tzv“: Bitte die Datei umbenennen.";
}

std::string cannotOpen(fileSource::failure failure, int errorNumber)
{
    switch (failure) {
    case fileSource::failure::notFound:
        return std::string(notFound);
    case fileSource::failure::noPermission:
        return std::string(noReadPermission);
    case fileSource::failure::directory:
        return "Der Name bezeichnet einen Ordner, keine Datei.";
    case fileSource::failure::notRegular:
        return "Der Name bezeichnet keine gewöhnliche Datei, sondern etwa ein Gerät, eine FIFO oder einen Socket.";
    case fileSource::failure::readError:
        return "Die Datei ließ sich nicht lesen: " + openCause(errorNumber);
    case fileSource::failure::unreadable:
        return "Die Datei ließ sich nicht lesen: Sie ist ein Ordner oder wurde nach der Auswahl entfernt oder "
               "geändert. Bitte erneut wählen.";
    default:
        return openCause(errorNumber);
    }
}

std::string fileTooLarge(std::uint64_t size, std::uint64_t limit, bool sizeKnown)
{
    const std::string allowed
        = "erlaubt sind " + grouped(limit) + " Bytes (4 MiB): Bitte auf mehrere Dateien verteilen.";
    if (!sizeKnown)
        return "Die Eingabe hat mehr als " + grouped(limit) + " Bytes; " + allowed;
    return "Die Datei hat " + grouped(size) + " Bytes; " + allowed;
}

std::string tooManyTickets(unsigned limit, std::uint32_t line)
{
    return "Eine Datei hat höchstens " + number(limit) + " Scheine; der " + number(limit + 1u) + ". beginnt in Zeile "
        + number(line) + ". Bitte auf zwei Dateien verteilen.";
}

std::string wrongFirstBytes(int first, int second, int third, int fourth, std::uint64_t size)
{
    constexpr std::string_view saveAsUtf8 = " Bitte als UTF-8 speichern.";
    if (first == textReader::endOfInput) {
        if (size == 0)
            return "Die Datei ist leer (0 Bytes): Sie enthält keine Tipps.";
        return "Die Datei beginnt mit dem Byte 0x1A (Strg+Z), das als Dateiende gilt: Bitte dieses Byte löschen.";
    }
    // FF FE 00 00 begins UTF-32 LE; 00 00 FE FF UTF-32 BE.
    if ((first == 0xFF && second == 0xFE && third == 0x00 && fourth == 0x00)
        || (first == 0x00 && second == 0x00 && third == 0xFE && fourth == 0xFF))
        return "Die Datei beginnt mit " + hexByte(first) + " " + hexByte(second) + " " + hexByte(third) + " "
            + hexByte(fourth) + ", dem BOM von UTF-32: Sie wurde als UTF-32 gespeichert." + std::string(saveAsUtf8);
    if ((first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF)) {
        const std::string mark = "Die Datei beginnt mit " + hexByte(first) + " " + hexByte(second);
        // UTF-16 has a 0x00 in every character of the ASCII range: two bytes
        // without one follow a mark that does not belong to them.
        if (third > 0 && fourth > 0)
            return mark + ", einem UTF-16-BOM vor UTF-8-Text: Bitte diese 2 Bytes löschen.";
        return mark + ", dem BOM von UTF-16: Sie wurde als UTF-16 gespeichert." + std::string(saveAsUtf8);
    }
    if (first == 0x00 && second > 0 && second < 0x80 && third == 0x00)
        return "Jedes zweite Byte ist 0x00: Die Datei wurde als UTF-16 ohne BOM gespeichert." + std::string(saveAsUtf8);
    if (first == 0x00)
        return "Die Datei beginnt mit einem NUL-Byte (0x00): vermutlich UTF-16 oder UTF-32." + std::string(saveAsUtf8);
    if (first == 0xEF && second == 0xBB)
        return "Die Datei beginnt mit 0xEF 0xBB, einem unvollständigen UTF-8-BOM: Bitte diese 2 Bytes löschen.";
    if (first == 0xEF)
        return "Die Datei beginnt mit dem Byte 0xEF, dem Rest eines UTF-8-BOM: Bitte dieses Byte löschen.";
    return "Die Datei beginnt mit dem Byte " + hexByte(first)
        + ", das in UTF-8 nie vorkommt: Bitte dieses Byte löschen.";
}

std::string invalidUtf8(const brokenSequence& broken)
{
    const auto lead = static_cast<unsigned char>(broken.bytes.front());
    const auto place = [&broken](std::size_t after) {
        return "Zeile " + number(broken.line) + ", Spalte " + number(broken.column + after);
    };
    std::string bytes;
    for (const char byte : broken.bytes)
        bytes += (bytes.empty() ? "" : " ") + hexByte(static_cast<unsigned char>(byte));
    const std::string cut
        = "Die Datei ist abgeschnitten: Sie endet in " + place(0) + " mitten in einem Zeichen (" + bytes + ")";
    if (broken.atEnd && broken.endOfTextAfter)
        return broken.bytesAfterEndOfText > 0 ? "Ein Byte 0x1A (Strg+Z) in " + place(broken.bytes.size())
                + " schneidet die Datei mitten in einem Zeichen ab: Bitte löschen."
                                              : cut + ", dann 0x1A (Strg+Z).";
    // A Windows-1252 character is read as a stray byte, or as the lead of a
    // sequence that breaks off. Only a text with no UTF-8 of its own can be
    // Windows-1252: there a German letter hints at it, and so does a sign
    // (0x80 to 0xBF) among other such bytes.
    const char32_t letter = utf8::windows1252(lead);
    constexpr std::u32string_view germanLetters = U"ÄÖÜäöüß";
    const bool german = germanLetters.find(letter) != std::u32string_view::npos;
    const bool sign = lead < 0xC0 && letter >= 0xA0;
    if (!broken.utf8Elsewhere && (german || (sign && !broken.alone))) {
        std::string shown;
        utf8::appendUtf8(shown, letter);
        const std::string_view hidden = utf8::hiddenCharacterName(letter);
        return "Byte " + hexByte(lead) + " (" + place(0) + ") ist wohl Windows-1252 "
            + (hidden.empty() ? "für " + quoted(shown) : "(" + std::string(hidden) + ")") + "; als UTF-8 speichern.";
    }
    if (broken.atEnd)
        return cut + ".";
    if (broken.bytes.size() == 1)
        return "Ein einzelnes ungültiges Byte " + bytes + "; bitte das Zeichen in " + place(0) + " neu eingeben.";
    return "Ein abgebrochenes UTF-8-Zeichen (" + bytes + "); bitte das Zeichen in " + place(0) + " neu eingeben.";
}

std::string nulByte(std::string_view elementName, std::uint32_t line, std::uint32_t column, const nulRun& run)
{
    const std::string where = elementName.empty() ? "" : " in " + element(escaped(elementName, 24));
    const std::string bytes = run.length > 1 ? number(run.length) + " NUL-Bytes (0x00)" + where + " ab Zeile "
                                             : "NUL-Byte (0x00)" + where + " in Zeile ";
    return bytes + number(line) + ", Spalte " + number(column)
        + (run.everySecondByte ? ": Jedes zweite Byte ist 0x00 (UTF-16); als UTF-8 speichern."
                               : ": Textdateien enthalten keine; bitte löschen.");
}

} // namespace kavrin::reasons
