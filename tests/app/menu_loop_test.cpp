#include "app/menu_loop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/screen_expect.h"
#include "app/scripted_console.h"
#include "game/random.h"
#include "game/state.h"
#include "ranking/ranking.h"

namespace yut {
namespace {

using testing::kDown;
using testing::kEnter;
using testing::keys;
using testing::kUp;
using testing::row_is_blank;
using testing::text_at;

constexpr std::string_view kFarewell = "재밌게 놀으셨나요!? 또 찾아주세요~ ";
constexpr std::string_view kTitle = "           윷놀이 게임!!!!           ";
constexpr std::string_view kModePrompt = " 원하는 모드를 선택해주세요";
constexpr std::string_view kRulesLastLine = "-아무키를 누르면 목차화면으로 돌아갑니다-";

// The main menu's marked item, 0 when no marker stands in column 4.
int main_marker(const Screen& screen) {
  for (int item = 1; item <= 4; ++item) {
    if (screen.text_at(4, 4 * item + 2, 2) == "▶") {
      return item;
    }
  }
  return 0;
}

class MenuLoopTest : public ::testing::Test {
 protected:
  MenuLoopTest() {
    ctx.ranking_file =
        (std::filesystem::temp_directory_path() /
         ("yut_menu_loop_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
          "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt"))
            .string();
    std::filesystem::remove(ctx.ranking_file);
  }
  ~MenuLoopTest() override { std::filesystem::remove(ctx.ranking_file); }

  void type(std::string_view bytes) { console.platform.add_input(bytes); }
  const Screen& screen() const { return console.con.screen(); }

  // Runs the loop until it leaves through the farewell (true) or the keys run out.
  bool run() {
    try {
      menu_loop(ctx);
      return true;
    } catch (const InputClosed&) {
      return false;
    }
  }

  testing::ScriptedConsole console{""};
  GameState state;
  SeededRandom random{1};
  RankingTable ranking{};
  Session ctx{console.con, state, random, ranking};
};

TEST_F(MenuLoopTest, FarewellStandsAtItsPlaceAndLeavesTheCursorOnRow11) {
  type(keys({kUp, kEnter}));
  ASSERT_TRUE(run());
  EXPECT_TRUE(text_at(screen(), 15, 5, kFarewell));
  for (int y = 0; y < screen().rows(); ++y) {
    if (y != 5) {
      EXPECT_TRUE(row_is_blank(screen(), y)) << "row " << y;
    }
  }
  EXPECT_EQ(screen().cursor_x(), 0);
  EXPECT_EQ(screen().cursor_y(), 11);
}

TEST_F(MenuLoopTest, RulesScreenThenMainMenuWithTheArrowsSecondCode) {
  const struct {
    std::string_view key;
    int marked;
  } cases[] = {{kUp, 4}, {kDown, 2}, {"z", 1}, {"P", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.key)));
    testing::ScriptedConsole fresh(keys({kDown, kEnter, c.key}));
    Session fresh_ctx{fresh.con, state, random, ranking, ctx.ranking_file};
    EXPECT_THROW(menu_loop(fresh_ctx), InputClosed);
    EXPECT_TRUE(text_at(fresh.con.screen(), 4, 2, kTitle));
    EXPECT_EQ(main_marker(fresh.con.screen()), c.marked);
  }
}

TEST_F(MenuLoopTest, GameStartShowsTheModeMenu) {
  type(keys({kEnter}));
  EXPECT_FALSE(run());
  EXPECT_TRUE(text_at(screen(), 10, 3, kModePrompt));
  EXPECT_TRUE(row_is_blank(screen(), 23));
}

TEST_F(MenuLoopTest, ModeMenuBackLeadsToTheMainMenuOnItemOne) {
  // Up in the mode menu wraps to "목차로 이동"; in the main menu it would reach the exit.
  type(keys({kEnter, kUp, kEnter}));
  EXPECT_FALSE(run());
  EXPECT_TRUE(text_at(screen(), 4, 2, kTitle));
  EXPECT_EQ(main_marker(screen()), 1);
}

TEST_F(MenuLoopTest, BothModesStartAGameOnTheGameScreen) {
  constexpr std::string_view kStartText = "게임을 시작합니다.";
  const std::string mode_keys[] = {keys({kEnter}), keys({kDown, kEnter})};
  for (const std::string& mode : mode_keys) {
    SCOPED_TRACE(::testing::PrintToString(mode));
    testing::ScriptedConsole fresh(keys({kEnter}) + mode);
    Session fresh_ctx{fresh.con, state, random, ranking, ctx.ranking_file};
    EXPECT_THROW(menu_loop(fresh_ctx), InputClosed);  // the game waits for its first key
    const Screen& game = fresh.con.screen();
    bool started = false;
    for (int y = 0; y < game.rows(); ++y) {
      started = started || game.row_text(y).find(kStartText) != std::string::npos;
    }
    EXPECT_TRUE(started);
    EXPECT_FALSE(row_is_blank(game, 33)) << "the game screen fills all 34 rows";
  }
}

TEST_F(MenuLoopTest, RankingIsReadFromTheFileEachTimeItIsShown) {
  auto save_with_name = [&](const char* name, int score) {
    RankingTable table{};
    std::memcpy(table[0].name.data(), name, std::strlen(name) + 1);
    table[0].score = score;
    ASSERT_TRUE(write_ranking_file(table, ctx.ranking_file));
  };
  auto shown = [&](std::string_view text) {
    for (int y = 0; y < screen().rows(); ++y) {
      if (screen().row_text(y).find(text) != std::string::npos) {
        return true;
      }
    }
    return false;
  };
  save_with_name("alpha", 3000);
  type(keys({kDown, kDown, kEnter}));
  EXPECT_FALSE(run());  // the ranking screen waits for a key
  EXPECT_TRUE(shown("alpha"));
  save_with_name("bravo", 2500);
  type(keys({kDown, kDown, kEnter}));  // a new loop, from the main menu
  EXPECT_FALSE(run());
  EXPECT_TRUE(shown("bravo"));
  EXPECT_FALSE(shown("alpha"));
}

}  // namespace
}  // namespace yut
