#pragma once
// The texts a game prints in the message area of the game screen: the turn's header, throw,
// labels and prompt at column 45, the start banner, and the two-line messages at (44, 19).

#include <string_view>

#include "console/console.h"
#include "game/rules.h"
#include "game/state.h"
#include "game/throw.h"

namespace yut {

inline constexpr int kMessageColumn = 44;
inline constexpr int kMessageFirstRow = 19;
inline constexpr int kMessageColumns = 32;  // up to the frame

void show_message(Console& con, std::string_view first, std::string_view second);

// The turn's texts for a throw of `side` (0 or 1): whose turn, the throw, the extra throw
// of a yut or mo, the labels and the prompt; the cursor is left after the prompt.
void show_turn_texts(Console& con, const PlayerDescriptor& player, int side, const ThrowInfo& info);

// Why a choice was refused; the second line says what follows under `rules`.
void show_refusal_message(Console& con, Refusal why, RuleSet rules);
void show_capture_message(Console& con);
void show_start_banner(Console& con);

}  // namespace yut
