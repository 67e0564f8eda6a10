#pragma once
// How wide glyphs are: in the game's column model, and on a real terminal.

namespace yut {

// Columns a glyph takes in the game's column model: ASCII one, every other glyph two.
inline int model_width(char32_t ch) {
  return ch < 0x80 ? 1 : 2;
}

// True for glyphs that every terminal draws two columns wide (Hangul, CJK, full-width
// forms). Other non-ASCII glyphs (box drawing, circled letters, "○", "▶") are drawn one
// or two columns wide depending on the terminal.
bool is_east_asian_wide(char32_t ch);

// True for box-drawing glyphs whose line runs on to the right (━ ┏ ┣ ┳ ┗ ┻): a terminal
// that draws them one column wide gets a "━" in the second column so frames stay unbroken.
bool runs_right(char32_t ch);

}  // namespace yut
