#pragma once
#include "game/context.h"

namespace yut {

// At a game's end, after the winner was announced and candidate_score set: brings the
// table up to date from the file, and if the score qualifies asks for the winner's name,
// inserts the entry and saves the file. A failed load or save shows its message in the
// game screen's message area. True when the winner typed a name and everything went well:
// nothing is left on the screen that the player has not answered. Otherwise the final
// board, the winner line and any message still wait to be read.
bool enter_high_score(GameContext& ctx);

}  // namespace yut
