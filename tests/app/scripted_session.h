#pragma once
// A whole session through the real menus and game, for tests and benchmarks of what reaches
// the terminal: the title screen, the marker moved down and then up five times, the mode
// menu, and a two-player game with the throws of seed 7 in which both players type a valid
// choice at every prompt. It ends (end of input) at the first prompt after `turns` turns,
// or, for kWholeGame, when the title screen is back after the game. Every refresh and
// every key the players give is noted.

#include <algorithm>
#include <array>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "app/menu_loop.h"
#include "app/session.h"
#include "console/console.h"
#include "console/platform/memory_platform.h"
#include "game/random.h"
#include "game/rules.h"
#include "game/side.h"
#include "game/state.h"
#include "ranking/table.h"

namespace yut::test {

enum class ActionKind { Start, Arrow, MenuEnter, ModeEnter, Pause, Choice, Name };

struct SessionAction {
  ActionKind kind = ActionKind::Start;
  int player = 0;                 // Choice: 1 or 2
  int choice = 0;                 // Choice: what was typed
  bool turn_starts = false;       // Choice: the first prompt of a player's turn
  std::size_t first_refresh = 0;  // index of the first refresh after the key
};

class ScriptedSession : public MemoryPlatform {
 public:
  static constexpr int kWholeGame = 0;

  explicit ScriptedSession(int turns, std::string ranking_file = "/dev/null/no-ranking")
      : turns_(turns), ranking_file_(std::move(ranking_file)) {
    keep_output(false);
  }

  // Called with the bytes of every refresh, while the console's screen shows what they draw.
  std::function<void(std::string_view bytes, const Screen& screen)> on_refresh;

  void run() {
    Console con(*this);
    con_ = &con;
    GameState state;
    state_ = &state;
    RankingTable ranking{};
    SeededRandom random(7);
    Session ctx{con, state, random, ranking, ranking_file_};
    actions_.push_back({ActionKind::Start, 0, 0, false, 0});
    try {
      menu_loop(ctx);
    } catch (const InputClosed&) {
    }
    con_ = nullptr;
    state_ = nullptr;
  }

  const std::vector<SessionAction>& actions() const { return actions_; }
  const std::vector<std::size_t>& refresh_bytes() const { return refresh_bytes_; }
  // The session went all the way back to the title screen.
  bool back_at_title() const { return back_at_title_; }

  void write(std::string_view bytes) override {
    MemoryPlatform::write(bytes);
    refresh_bytes_.push_back(bytes.size());
    if (on_refresh) on_refresh(bytes, con_->screen());
  }

  int read_byte(int timeout_ms) override {
    if (input_left() == 0) {
      if (timeout_ms >= 0) return kReadTimeout;
      if (!next_action()) return kReadEndOfInput;
    }
    return MemoryPlatform::read_byte(timeout_ms);
  }

 private:
  static constexpr int kMarkerSteps = 5;
  static constexpr int kNameRow = 17;
  static constexpr std::size_t kMostActions = 100000;

  void add(ActionKind kind, std::string_view keys, int player = 0, int choice = 0,
           bool turn_starts = false) {
    actions_.push_back({kind, player, choice, turn_starts, refresh_bytes_.size()});
    add_input(keys);
  }

  bool next_action() {
    const int arrows = arrows_++;
    if (arrows < 2 * kMarkerSteps) {
      add(ActionKind::Arrow, arrows < kMarkerSteps ? "\x1b[B" : "\x1b[A");
      return true;
    }
    if (arrows == 2 * kMarkerSteps) {
      add(ActionKind::MenuEnter, "\r");
      return true;
    }
    if (arrows == 2 * kMarkerSteps + 1) {
      add(ActionKind::ModeEnter, "\r");
      return true;
    }
    const Screen& screen = con_->screen();
    if (screen.row_text(2).find("게임!!!!") != std::string::npos) {  // the title
      back_at_title_ = true;
      return false;
    }
    if (actions_.size() > kMostActions) return false;  // lost: the test then fails, not hangs
    // A winner's name is asked for (the prompt stays on the final board while the game
    // waits for a key after the save).
    if (screen.text_at(20, 16, 6) == "고득점" && screen.cursor_y() == kNameRow) {
      add(ActionKind::Name, "yut\r");
      return true;
    }
    const int x = screen.cursor_x();
    const bool prompt = x >= 5 && screen.text_at(x - 5, screen.cursor_y(), 5) == "요 : ";
    if (!prompt) {
      add(ActionKind::Pause, " ");
      return true;
    }
    const int player = screen.text_at(45, 11, 7) == "player2" ? 2 : 1;
    const bool turn_starts = player != last_player_;
    last_player_ = player;
    if (turn_starts && ++turns_started_ > turns_ && turns_ != kWholeGame) return false;
    const int choice = choose(player - 1);
    add(ActionKind::Choice, std::to_string(choice) + "\r", player, choice, turn_starts);
    return true;
  }

  // A valid choice: mostly the side's stack or a piece on the board, now and then a new
  // piece brought on.
  int choose(int side) {
    const GameState& state = *state_;
    const Position position = to_position(state);
    const auto holds = [](const std::array<int, 4>& codes, int code) {
      return std::find(codes.begin(), codes.end(), code) != codes.end();
    };
    int stack = 0;
    int out = 0;
    int waiting = 0;
    for (int k = kPiecesPerSide - 1; k >= 0; --k) {
      const int code = piece_code(side, k);
      if (stack == 0 && is_out(position, stack_code(side, k))) stack = 11 + k;
      if (is_out(position, code)) {
        out = k + 1;
      } else if (!holds(state.arrived[side], code) && !holds(state.stacked[side], code)) {
        waiting = k + 1;
      }
    }
    if (waiting != 0 && ((stack == 0 && out == 0) || engine_() % 3 == 0)) return waiting;
    if (stack != 0) return stack;
    return out != 0 ? out : 1;
  }

  int turns_;
  std::string ranking_file_;
  Console* con_ = nullptr;
  GameState* state_ = nullptr;
  std::mt19937 engine_{7};
  int arrows_ = 0;
  int last_player_ = 0;
  int turns_started_ = 0;
  bool back_at_title_ = false;
  std::vector<SessionAction> actions_;
  std::vector<std::size_t> refresh_bytes_;
};

}  // namespace yut::test
