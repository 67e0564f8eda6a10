#pragma once
// A whole game on the game screen over a MemoryPlatform: scripted keys, scripted throws,
// and the screen model to read back.

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "app/game_screen.h"
#include "console/console.h"
#include "console/platform/memory_platform.h"
#include "game/context.h"
#include "game/routes.h"
#include "game/state.h"
#include "ranking/table.h"
#include "scripted_random.h"

namespace yut {

// A game's context on the game screen of a session, with the throws and the computer
// level a test chooses.
struct ScreenedGame {
  ScreenedGame(Console& con, GameState& state, Random& random, RankingTable& ranking,
               const std::string& ranking_file, ComputerLevel level = ComputerLevel::kBasic,
               GameOptions options = {})
      : session{con, state, random, ranking, ranking_file, options},
        screen(session),
        ctx{state, random, screen, ComputerMind{level}, options.rules} {}
  Session session;
  GameScreen screen;
  GameContext ctx;
};

struct GameRig {
  explicit GameRig(std::vector<int> throws, std::string keys = {}, GameOptions options = {})
      : random(std::move(throws)),
        platform(std::move(keys)),
        ranking_path(testing::TempDir() + "game_rig_lanksave.txt"),
        game(con, state, random, ranking, ranking_path, options.computer, options) {
    std::remove(ranking_path.c_str());
  }
  ~GameRig() { std::remove(ranking_path.c_str()); }
  GameRig(const GameRig&) = delete;
  GameRig& operator=(const GameRig&) = delete;

  void put(BoardPlace at, int code) { state.board[cell_index(at.i, at.j)] = code; }
  // Appends piece codes to a side's arrived or stacked list.
  void arrive(int side, std::initializer_list<int> codes) {
    for (const int code : codes) state.arrived[side][state.arrived_count[side]++] = code;
  }
  void carry(int side, std::initializer_list<int> codes) {
    for (const int code : codes) state.stacked[side][state.stacked_count[side]++] = code;
  }
  // Side 1 with pieces a, b and c home and 1500 points; d stands at `last`.
  void one_piece_from_winning(BoardPlace last) {
    arrive(0, {2, 3, 4});
    state.score[0] = 1500;
    put(last, 5);
  }
  TurnScreen& screen() { return game.screen; }
  int at(BoardPlace s) const { return state.board[cell_index(s.i, s.j)]; }
  std::string text(int x, int y, int columns) const { return con.screen().text_at(x, y, columns); }
  // The message area of the right compartment, row y, without trailing blanks.
  std::string message(int y) const {
    std::string row = con.screen().text_at(44, y, 32);
    while (!row.empty() && row.back() == ' ') row.pop_back();
    return row;
  }
  // Text from column 45 of row y, without trailing blanks.
  std::string turn_text(int y) const {
    std::string row = message(y);
    return row.empty() ? row : row.substr(1);
  }

  ScriptedRandom random;
  MemoryPlatform platform;
  Console con{platform};
  GameState state;
  RankingTable ranking{};
  std::string ranking_path;
  ScreenedGame game;
  GameContext& ctx = game.ctx;
};

}  // namespace yut
