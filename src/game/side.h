#pragma once
// Sides, piece numbers and cell codes. Side 0 is played by player code "1"; side 1 by "2"
// and by the computer "c". A piece or stack number is its cell code minus one.

#include "game/state.h"

namespace yut {

inline constexpr int kSides = 2;
inline constexpr int kFirstPieceCode = 2;   // side 0's piece a; side 1 starts 4 higher
inline constexpr int kFirstStackCode = 12;  // side 0's first two-piece stack
inline constexpr int kSideCodeSpan = 4;     // codes of side 1 = codes of side 0 + 4

// Stack codes relative to a side's first stack code.
inline constexpr int kPairOffset = 0;        // "②" / "⑵"
inline constexpr int kTripleOffset = 1;      // "③" / "⑶"
inline constexpr int kQuadOffset = 2;        // "④" / "⑷"
inline constexpr int kSecondPairOffset = 3;  // "②'" / "⑵'"

inline int side_index(const PlayerDescriptor& player) {
  return player.player_code == "1" ? 0 : 1;
}
inline bool is_computer(const PlayerDescriptor& player) {
  return player.player_code == "c";
}
// Added to a typed choice (1..4, 11..14) to get the piece or stack number.
inline constexpr int side_offset(int side) {
  return side * kSideCodeSpan;
}
// A choice as a side names it (1..4 a piece, 11..14 a stack) and the piece or stack
// number (1..8, 11..18) or cell code (number + 1) it stands for; the one place where the
// side's offset is added.
inline constexpr int number_of_choice(int choice, int side) {
  return choice + side_offset(side);
}
inline constexpr int code_of_choice(int choice, int side) {
  return number_of_choice(choice, side) + 1;
}
inline constexpr int number_of_code(int code) {
  return code - 1;
}

inline constexpr int piece_code(int side, int k) {
  return kFirstPieceCode + side_offset(side) + k;
}
inline constexpr int stack_code(int side, int which) {
  return kFirstStackCode + side_offset(side) + which;
}

inline constexpr bool is_piece_code(int code) {
  return code >= kFirstPieceCode && code < kFirstPieceCode + 2 * kSideCodeSpan;
}
inline constexpr bool is_stack_code(int code) {
  return code >= kFirstStackCode && code < kFirstStackCode + 2 * kSideCodeSpan;
}
// Side owning a piece or stack code (meaningful only for such codes).
inline constexpr int side_of_code(int code) {
  return ((is_stack_code(code) ? code - kFirstStackCode : code - kFirstPieceCode) / kSideCodeSpan);
}
inline constexpr bool is_own_code(int side, int code) {
  return (is_piece_code(code) || is_stack_code(code)) && side_of_code(code) == side;
}
// How many pieces a piece or stack code stands for.
inline constexpr int pieces_in(int code) {
  if (!is_stack_code(code)) return 1;
  constexpr int kSizes[] = {2, 3, 4, 2};
  return kSizes[(code - kFirstStackCode) % kSideCodeSpan];
}

}  // namespace yut
