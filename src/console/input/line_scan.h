#pragma once
// Scanning of a line of typed input the way scanf reads "%d" and "%s".

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace yut {

// Blank characters as scanf skips them.
bool is_blank(char c);

// Reads a whole number at text[pos] (blanks already skipped), like scanf("%d"). On success
// pos moves past it. Text that is no number gives nullopt and pos stays; a number too large
// for an int gives nullopt and pos moves past its digits.
std::optional<int> scan_int(std::string_view text, std::size_t& pos);

// Reads the characters up to the next blank (blanks already skipped), like scanf("%s").
std::string scan_word(std::string_view text, std::size_t& pos);

}  // namespace yut
