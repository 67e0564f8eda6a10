#include "app/menu_loop.h"

#include <string_view>

#include "app/game_screen.h"
#include "app/menus.h"
#include "ranking/ranking.h"

namespace yut {

namespace {

enum MainItem { kStartGame = 1, kRules = 2, kRanking = 3, kQuit = 4 };
enum ModeItem { kTwoPlayer = 1, kVersusComputer = 2, kBackToMenu = 3 };

constexpr int kFarewellColumn = 15;
constexpr int kFarewellRow = 5;
constexpr int kFarewellLastRow = 10;  // the shell prompt then starts on the row below
constexpr std::string_view kFarewell = "재밌게 놀으셨나요!? 또 찾아주세요~ \n";

void start_game(Session& session) {
  switch (mode_menu(session.con)) {
    case kTwoPlayer:
      // The game's first board drawing paints over the mode menu, so no clearing here.
      play_two_player_game(session);
      break;
    case kVersusComputer:
      session.con.clear_screen();
      play_versus_computer_game(session);
      break;
    default:
      break;
  }
}

// The key that leaves the rules or ranking screen is read without discarding pending
// input, so the second code of an arrow reaches the main menu that follows.
void wait_for_key(Console& con) {
  static_cast<void>(con.read_key());
}

void show_rules_screen(Console& con) {
  con.clear_screen();
  show_rules(con);
  wait_for_key(con);
}

void show_ranking_screen(Session& session) {
  load_and_show_ranking(session.con, session.ranking, session.ranking_file);
  wait_for_key(session.con);
}

void say_farewell(Console& con) {
  con.clear_screen();
  con.gotoxy(kFarewellColumn, kFarewellRow);
  con.print(kFarewell);
  for (int row = kFarewellRow + 1; row <= kFarewellLastRow; ++row) {
    con.gotoxy(kFarewellColumn, row);
    con.print("\n");
  }
}

}  // namespace

void menu_loop(Session& session) {
  for (;;) {
    switch (main_menu(session.con)) {
      case kStartGame:
        start_game(session);
        break;
      case kRules:
        show_rules_screen(session.con);
        break;
      case kRanking:
        show_ranking_screen(session);
        break;
      case kQuit:
        say_farewell(session.con);
        return;
      default:
        break;
    }
  }
}

}  // namespace yut
