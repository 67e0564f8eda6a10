#pragma once
// Checks on the console's screen model shared by the app tests.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "console/screen/screen.h"

namespace yut::testing {

// Byte sequences a terminal sends for the keys the menus know.
inline constexpr std::string_view kUp = "\x1b[A";
inline constexpr std::string_view kDown = "\x1b[B";
inline constexpr std::string_view kEnter = "\r";

inline std::string keys(std::initializer_list<std::string_view> parts) {
  std::string all;
  for (std::string_view part : parts) {
    all += part;
  }
  return all;
}

// Columns the text occupies in the model: ASCII one, every other glyph two.
inline int column_width(std::string_view utf8) {
  int width = 0;
  for (unsigned char byte : utf8) {
    if (byte < 0x80) {
      width += 1;
    } else if ((byte & 0xC0) != 0x80) {
      width += 2;  // lead byte of a multi-byte glyph
    }
  }
  return width;
}

// The text stands with its first glyph starting exactly at column x of row y.
inline ::testing::AssertionResult text_at(const Screen& screen, int x, int y,
                                          std::string_view text) {
  const int width = column_width(text);
  const std::string got = screen.text_at(x, y, width);
  if (got != text || (x > 0 && screen.at(x, y).ch == 0)) {
    return ::testing::AssertionFailure()
           << "at (" << x << ", " << y << ") expected \"" << text << "\", got \"" << got
           << "\"; row: \"" << screen.row_text(y) << "\"";
  }
  return ::testing::AssertionSuccess();
}

inline bool row_is_blank(const Screen& screen, int y) {
  return screen.row_text(y).find_first_not_of(' ') == std::string::npos;
}

}  // namespace yut::testing
