#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// JSON as RFC 8259 has it, read into values that know the line they start
// on, so that whoever reads the data can say where a value is wrong. Faults
// are said in German.
namespace kavrin::cli::json {

struct member;

struct value {
    enum class kind { null, boolean, number, string, array, object };
    kind what = kind::null;
    std::uint32_t line = 0;
    // A string's characters, or a number as it was written; ticket data has
    // no use for the value of true and false.
    std::string text;
    std::vector<value> items;
    std::vector<member> members; // in the order given, each key once

    const value* find(std::string_view key) const;
};

struct member {
    std::string key;
    value held;
};

struct parsed {
    std::optional<value> root;
    // Else where and why it is not JSON.
    std::uint32_t line = 0;
    std::string problem;
};

// One value, with nothing but white space around it; a UTF-8 byte-order mark
// at the start is passed over.
parsed parse(std::string_view text);

} // namespace kavrin::cli::json
