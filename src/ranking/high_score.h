#pragma once
#include "game/context.h"

namespace yut {

// At a game's end, after the winner was announced and candidate_score set: brings the
// table up to date from the file, and if the score qualifies asks for the winner's name,
// inserts the entry and saves the file.
void enter_high_score(GameContext& ctx);

}  // namespace yut
