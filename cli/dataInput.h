#pragma once

#include "ticketData.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A ticket file's data as read from another form (JSON, CSV), with the line
// each part stood on, so that a fault kavrin::write finds in the data is
// said at its line of the input.
namespace kavrin::cli {

struct inputLines {
    std::uint32_t header = 1;
    std::map<std::string, std::uint32_t, std::less<>> elements; // the header's values, by element
    std::vector<std::uint32_t> tickets;
    std::vector<std::vector<std::uint32_t>> tips;
    std::vector<std::uint32_t> goalScoreTips;

    std::uint32_t lineOf(const dataFault& fault) const;
};

struct dataInput {
    ticketFile data;
    inputLines lines;
    // When the input is not data of a ticket file: where and why.
    std::uint32_t faultLine = 0;
    std::string fault;
};

// JSON as kavrin-check --export writes it, or CSV with one tip a line: the
// first character that is not white space tells them apart, '{' for JSON.
dataInput readDataInput(std::string_view text);

dataInput readJsonData(std::string_view text);
dataInput readCsvData(std::string_view text);

// Plain decimal digits of a value up to 4294967295; none for anything else.
std::optional<std::uint32_t> wholeNumber(std::string_view digits);

// The object kavrin-check --export writes for a file's data, on one line.
std::string exportJson(std::string_view file, const ticketFile& data);

} // namespace kavrin::cli
