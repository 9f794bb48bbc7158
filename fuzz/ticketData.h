#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The data of a ticket file, the header's values and each tip's numbers and
// symbols, without what is only formatting: blanks, leading zeros, the
// order of a number list, letter case, commas that separate nothing, the
// letter case of element names. Written apart from the repair and knowing
// nothing of it, so that a repaired copy can be compared with its input.
namespace kavrin::fuzzing {

struct datum {
    std::string element; // in small letters
    std::string value;
    bool operator==(const datum&) const = default;
};

namespace detail {

    enum class shape { number, list, symbols, codes };

    struct dataElement {
        std::string_view name; // in small letters
        shape form;
    };

    inline constexpr dataElement dataElements[] = {
        { "versionsnr", shape::number },
        { "kundennr", shape::number },
        { "spielid", shape::number },
        { "wsart", shape::number },
        { "tndauer", shape::number },
        { "filter", shape::codes },
        { "anzahlwimbelproschein", shape::number },
        { "maximalewimbelanzahl", shape::number },
        { "ziroplus", shape::number },
        { "zirotipp", shape::list },
        { "vextippzahl", shape::list },
        { "vextippstern", shape::list },
        { "fenutipp", shape::symbols },
        { "brakeltipp", shape::symbols },
    };

    inline std::string lowered(std::string_view text)
    {
        std::string out(text);
        for (char& c : out)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return out;
    }

    inline std::string withoutBlanks(std::string_view text)
    {
        std::string out;
        for (const char c : text)
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
                out.push_back(c);
        return out;
    }

    // The parts between commas, empty ones left out.
    inline std::vector<std::string> parts(const std::string& text)
    {
        std::vector<std::string> out;
        std::size_t start = 0;
        while (start <= text.size()) {
            const std::size_t comma = std::min(text.find(',', start), text.size());
            if (comma > start)
                out.push_back(text.substr(start, comma - start));
            start = comma + 1;
        }
        return out;
    }

    inline std::string normalized(shape form, std::string_view text)
    {
        std::string value = withoutBlanks(text);
        if (form == shape::number)
            return value;
        if (form != shape::list)
            for (char& c : value)
                if (c >= 'a' && c <= 'z')
                    c = static_cast<char>(c - 'a' + 'A');
        if (form == shape::symbols)
            return value;
        std::vector<std::string> each = parts(value);
        if (form == shape::list) {
            for (std::string& number : each)
                if (number.find_first_not_of("0123456789") == std::string::npos)
                    number.erase(0, std::min(number.find_first_not_of('0'), number.size() - 1));
            std::sort(each.begin(), each.end());
        }
        std::string joined;
        for (const std::string& part : each)
            joined += part + ",";
        return joined;
    }

} // namespace detail

// Reads text as far as a check does (to a 0x1A): every element with a
// value, its name in small letters, with the text up to its next tag that
// is not a comment.
inline std::vector<datum> ticketData(std::string_view text)
{
    text = text.substr(0, text.find('\x1A'));
    std::vector<datum> data;
    const detail::dataElement* open = nullptr;
    std::string value;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '<') {
            const std::size_t next = std::min(text.find('<', i), text.size());
            if (open != nullptr)
                value.append(text.substr(i, next - i));
            i = next;
            continue;
        }
        if (text.substr(i, 4) == "<!--") {
            i = std::min(text.find("-->", i + 4), text.size() - 3) + 3;
            continue;
        }
        const std::size_t end = std::min(text.find('>', i), text.size() - 1) + 1;
        if (open != nullptr)
            data.push_back({ std::string(open->name), detail::normalized(open->form, value) });
        open = nullptr;
        value.clear();
        const std::string_view tag = text.substr(i + 1, end - i - 1);
        if (!tag.empty() && tag[0] != '/' && tag[0] != '?') {
            const std::string name = detail::lowered(tag.substr(0, tag.find_first_of(" \t\r\n/>")));
            for (const detail::dataElement& known : detail::dataElements)
                if (known.name == name)
                    open = &known;
        }
        i = end;
    }
    if (open != nullptr)
        data.push_back({ std::string(open->name), detail::normalized(open->form, value) });
    return data;
}

// A text as far as data goes, which is ASCII: each ASCII character as it
// is, any other as '?'. For UTF-8 (or bytes read as Windows-1252, one byte
// each) and UTF-16 with or without its byte-order mark.
inline std::string asciiOf(std::string_view bytes, bool utf8)
{
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80)
            out.push_back(c);
        else if (!utf8 || (byte & 0xC0) != 0x80)
            out.push_back('?');
    }
    return out;
}

inline std::string asciiOfUtf16(std::string_view bytes, bool littleEndian)
{
    if (bytes.substr(0, 2) == (littleEndian ? "\xFF\xFE" : "\xFE\xFF"))
        bytes.remove_prefix(2);
    std::string out;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto low = static_cast<unsigned char>(bytes[i + (littleEndian ? 0 : 1)]);
        const auto high = static_cast<unsigned char>(bytes[i + (littleEndian ? 1 : 0)]);
        // The second unit of a pair is part of the character before it.
        if (high < 0xDC || high > 0xDF)
            out.push_back(high == 0 && low < 0x80 ? static_cast<char>(low) : '?');
    }
    return out;
}

} // namespace kavrin::fuzzing
