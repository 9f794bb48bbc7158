#include "jsonReader.h"

#include "reasons.h"
#include "utf8.h"

namespace kavrin::cli::json {

namespace {

    // Deeper than any data of a ticket file, and shallow enough for the
    // stack of a recursive reader.
    constexpr int deepest = 64;

    constexpr std::string_view endedEarly = "Die Eingabe endet mitten in einem JSON-Wert.";
    constexpr std::string_view tooDeep = "Die JSON-Werte sind tiefer verschachtelt, als Tippdaten es je sind.";
    constexpr std::string_view controlInString
        = "In einer Zeichenkette steht ein Steuerzeichen; ein Zeilenumbruch wird als \\n geschrieben.";
    constexpr std::string_view notUtf8 = "Eine Zeichenkette ist kein gültiges UTF-8.";
    constexpr std::string_view badEscape = "Eine Zeichenkette enthält eine ungültige Escape-Folge (\\…).";
    constexpr std::string_view keyNotQuoted = "Ein Schlüssel eines JSON-Objekts steht in Anführungszeichen.";
    constexpr std::string_view colonMissing = "Nach einem Schlüssel folgt ein Doppelpunkt.";

    std::string expected(std::string_view what, std::string_view found)
    {
        return std::string(what) + ", gefunden " + reasons::quoted(found) + ".";
    }

    struct failed {
        std::uint32_t line;
        std::string problem;
    };

    class reader {
    public:
        explicit reader(std::string_view text)
            : text(text)
        {
        }

        value document()
        {
            if (text.substr(0, utf8::byteOrderMark.size()) == utf8::byteOrderMark)
                at = utf8::byteOrderMark.size();
            value root = next(0);
            skipBlanks();
            if (at < text.size())
                fail(expected("Nach dem JSON-Wert folgt nichts mehr", rest()));
            return root;
        }

    private:
        std::string_view text;
        std::size_t at = 0;
        std::uint32_t line = 1;

        [[noreturn]] void fail(std::string_view problem) const { throw failed { line, std::string(problem) }; }

        std::string_view rest() const { return text.substr(at, 16); }

        void skipBlanks()
        {
            for (; at < text.size(); ++at) {
                const char c = text[at];
                if (c == '\n')
                    ++line;
                else if (c != ' ' && c != '\t' && c != '\r')
                    break;
            }
        }

        bool take(char wanted)
        {
            skipBlanks();
            if (at < text.size() && text[at] == wanted) {
                ++at;
                return true;
            }
            return false;
        }

        value next(int depth)
        {
            if (depth > deepest)
                fail(tooDeep);
            skipBlanks();
            if (at >= text.size())
                fail(endedEarly);
            value found;
            found.line = line;
            const char c = text[at];
            if (c == '{') {
                ++at;
                found.what = value::kind::object;
                readObject(found, depth);
            } else if (c == '[') {
                ++at;
                found.what = value::kind::array;
                readArray(found, depth);
            } else if (c == '"') {
                found.what = value::kind::string;
                found.text = readString();
            } else if (c == '-' || (c >= '0' && c <= '9')) {
                found.what = value::kind::number;
                found.text = readNumber();
            } else if (word("true") || word("false")) {
                found.what = value::kind::boolean;
            } else if (!word("null")) {
                fail(expected("Hier steht ein JSON-Wert", rest()));
            }
            return found;
        }

        bool word(std::string_view literal)
        {
            if (text.substr(at, literal.size()) != literal)
                return false;
            at += literal.size();
            return true;
        }

        // Between items a comma; after the last the closing bracket.
        bool another(char closing)
        {
            if (take(','))
                return true;
            if (take(closing))
                return false;
            if (at >= text.size())
                fail(endedEarly);
            fail(expected(std::string("Nach einem Wert folgt ein Komma oder „") + closing + "“", rest()));
        }

        void readArray(value& array, int depth)
        {
            if (take(']'))
                return;
            do
                array.items.push_back(next(depth + 1));
            while (another(']'));
        }

        void readObject(value& object, int depth)
        {
            if (take('}'))
                return;
            do {
                skipBlanks();
                if (at >= text.size())
                    fail(endedEarly);
                if (text[at] != '"')
                    fail(keyNotQuoted);
                std::string key = readString();
                if (object.find(key) != nullptr)
                    fail("Der Schlüssel " + reasons::quoted(key) + " steht zweimal im selben Objekt.");
                if (!take(':'))
                    fail(colonMissing);
                value held = next(depth + 1);
                object.members.push_back({ std::move(key), std::move(held) });
            } while (another('}'));
        }

        unsigned hexDigits()
        {
            if (at + 4 > text.size())
                fail(badEscape);
            unsigned unit = 0;
            for (int i = 0; i < 4; ++i) {
                const char c = text[at++];
                const int digit = c >= '0' && c <= '9' ? c - '0'
                    : c >= 'a' && c <= 'f'             ? c - 'a' + 10
                    : c >= 'A' && c <= 'F'             ? c - 'A' + 10
                                                       : -1;
                if (digit < 0)
                    fail(badEscape);
                unit = unit * 16 + static_cast<unsigned>(digit);
            }
            return unit;
        }

        // \uXXXX, a surrogate pair as one character; a lone half is no
        // character.
        char32_t escapedCharacter()
        {
            const unsigned first = hexDigits();
            if (utf8::isLowSurrogate(first))
                fail(badEscape);
            if (!utf8::isHighSurrogate(first))
                return first;
            if (text.substr(at, 2) != "\\u")
                fail(badEscape);
            at += 2;
            const unsigned second = hexDigits();
            if (!utf8::isLowSurrogate(second))
                fail(badEscape);
            return 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
        }

        std::string readString()
        {
            ++at; // the opening quote
            std::string out;
            for (;;) {
                if (at >= text.size())
                    fail(endedEarly);
                const auto c = static_cast<unsigned char>(text[at]);
                if (c == '"') {
                    ++at;
                    return out;
                }
                if (c < 0x20)
                    fail(controlInString);
                if (c >= 0x80) {
                    const std::size_t length = utf8::wellFormedLength(text, at);
                    if (length == 0)
                        fail(notUtf8);
                    out.append(text.substr(at, length));
                    at += length;
                    continue;
                }
                ++at;
                if (c != '\\') {
                    out.push_back(static_cast<char>(c));
                    continue;
                }
                if (at >= text.size())
                    fail(endedEarly);
                const char escape = text[at++];
                constexpr std::string_view escapes = "\"\\/bfnrt";
                constexpr std::string_view meanings = "\"\\/\b\f\n\r\t";
                if (escape == 'u')
                    utf8::appendUtf8(out, escapedCharacter());
                else if (const std::size_t which = escapes.find(escape); which != std::string_view::npos)
                    out.push_back(meanings[which]);
                else
                    fail(badEscape);
            }
        }

        std::size_t digits()
        {
            const std::size_t from = at;
            while (at < text.size() && text[at] >= '0' && text[at] <= '9')
                ++at;
            return at - from;
        }

        // -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?, kept as written.
        std::string readNumber()
        {
            const std::size_t from = at;
            if (text[at] == '-')
                ++at;
            const std::size_t integer = at;
            bool valid = digits() > 0 && !(text[integer] == '0' && at - integer > 1);
            if (valid && at < text.size() && text[at] == '.') {
                ++at;
                valid = digits() > 0;
            }
            if (valid && at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
                ++at;
                if (at < text.size() && (text[at] == '+' || text[at] == '-'))
                    ++at;
                valid = digits() > 0;
            }
            const std::string_view written = text.substr(from, at - from);
            if (!valid)
                fail(reasons::quoted(written) + " ist keine JSON-Zahl.");
            return std::string(written);
        }
    };

} // namespace

const value* value::find(std::string_view key) const
{
    for (const member& each : members)
        if (each.key == key)
            return &each.held;
    return nullptr;
}

parsed parse(std::string_view text)
{
    parsed out;
    try {
        out.root = reader(text).document();
    } catch (const failed& fault) {
        out.line = fault.line;
        out.problem = fault.problem;
    }
    return out;
}

} // namespace kavrin::cli::json
