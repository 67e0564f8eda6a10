#pragma once
#include "app/session.h"

namespace yut {

// Title screen, menus and the screens behind them. Returns when the player leaves
// through the farewell (the caller then ends the process with status 0).
void menu_loop(Session& session);

}  // namespace yut
