#pragma once
// Key codes as the menus see them (those of a PC console's single-key read).

namespace yut {

inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyPrefix = 224;  // first code of an arrow key
inline constexpr int kKeyUp = 72;       // second code of the up arrow
inline constexpr int kKeyDown = 80;     // second code of the down arrow

}  // namespace yut
