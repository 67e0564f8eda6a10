#include "game/game_loop.h"

#include <gtest/gtest.h>

#include <string>

#include "game_rig.h"

namespace yut {
namespace {

constexpr int kGeol = 60;
constexpr int kGae = 30;
constexpr int kDo = 10;

// Plays until the scripted keys run out; false if the game ended first.
bool play_until_keys_end(GameRig& rig, void (*game)(GameContext&)) {
  try {
    game(rig.ctx);
    return false;
  } catch (const InputClosed&) {
    return true;
  }
}

TEST(GameLoop, StartTextsWaitForAKey) {
  GameRig rig({});
  ASSERT_TRUE(play_until_keys_end(rig, two_player_game));
  EXPECT_EQ(rig.text(45, 14, 24), "      게임을 시작합니다.");
  EXPECT_EQ(rig.text(45, 15, 25), "     아무키나 눌러주세요.");
  EXPECT_EQ(rig.random.draws(), 0);
}

TEST(GameLoop, TwoPlayersAlternateFromSideOne) {
  GameRig rig({kGeol, kGae, kDo}, "k1\n1\n");
  ASSERT_TRUE(play_until_keys_end(rig, two_player_game));
  EXPECT_EQ(rig.text(45, 14, 10), "          ") << "start texts gone";
  EXPECT_EQ(rig.turn_text(11), "player1의 차례입니다.");
  EXPECT_EQ(rig.turn_text(15), "1.ⓐ, 2.ⓑ, 3.ⓒ, 4.ⓓ");
  EXPECT_EQ(rig.at({6, 3}), 2);
  EXPECT_EQ(rig.at({6, 4}), 6);
}

TEST(GameLoop, ComputerPlaysTheSecondSide) {
  // Side 1 geol; computer gae with piece 3 drawn at random; side 1 waits for its choice.
  GameRig rig({kGeol, kGae, 2, kDo}, "k1\n");
  ASSERT_TRUE(play_until_keys_end(rig, versus_computer_game));
  EXPECT_EQ(rig.turn_text(11), "player1의 차례입니다.");
  EXPECT_EQ(rig.at({6, 3}), 2);
  EXPECT_EQ(rig.at({6, 4}), 8);
  EXPECT_EQ(rig.text(4, 31, 32), "player2 대기중인 말 : ⓔ ⓕ   ⓗ");
}

// With a pace, the computer's choice and its move each wait; a key ends a wait early and
// is not typed into the next prompt.
TEST(GameLoop, AKeySkipsThePaceAndIsNotTaken) {
  GameRig rig({kGeol, kGae, 2, kDo, kGeol}, "k1\nab2\n", {.pace_ms = 5000});
  ASSERT_TRUE(play_until_keys_end(rig, versus_computer_game));
  EXPECT_EQ(rig.at({6, 3}), 2);
  EXPECT_EQ(rig.at({6, 5}), 3) << "piece b moved: 'a' and 'b' only ended the waits";
}

TEST(GameLoop, ExtraThrowsDoNotDisturbTheAlternation) {
  // Side 1: yut, then do; side 2: geol; then side 1 again.
  GameRig rig({80, kDo, kGeol, kDo}, "k1\n2\n1\n");
  ASSERT_TRUE(play_until_keys_end(rig, two_player_game));
  EXPECT_EQ(rig.turn_text(11), "player1의 차례입니다.");
  EXPECT_EQ(rig.at({6, 3}), 6);
}

TEST(GameLoop, AFinishedGameReturnsWithTheStateReset) {
  GameRig rig({kDo}, "k4\nlee\n");
  rig.one_piece_from_winning({5, 6});
  ASSERT_FALSE(play_until_keys_end(rig, two_player_game));
  EXPECT_EQ(rig.state.board, GameState().board);
  EXPECT_EQ(rig.state.score[0], 2000);
  EXPECT_EQ(rig.text(44, 32, 26), "            player1 승리!!");
}

}  // namespace
}  // namespace yut
