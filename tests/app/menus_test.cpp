#include "app/menus.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "app/screen_expect.h"
#include "app/scripted_console.h"

namespace yut {
namespace {

using testing::kDown;
using testing::kEnter;
using testing::keys;
using testing::kUp;
using testing::row_is_blank;
using testing::ScriptedConsole;
using testing::text_at;

constexpr int kMainMarkerColumn = 4;
constexpr int kModeMarkerColumn = 3;
constexpr std::string_view kMarker = "▶";

int label_row(int item) {
  return 4 * item + 2;
}

// The item whose label row carries the marker, 0 when none does; fails on two markers.
int marked_item(const Screen& screen, int column, int items) {
  int found = 0;
  for (int item = 1; item <= items; ++item) {
    if (screen.text_at(column, label_row(item), 2) == kMarker) {
      EXPECT_EQ(found, 0) << "two markers, on items " << found << " and " << item;
      found = item;
    } else {
      EXPECT_EQ(screen.text_at(column, label_row(item), 2), "  ") << "item " << item;
    }
  }
  return found;
}

// The title screen and main menu as it stands while waiting for the first key.
const std::array<std::string_view, 23> kTitleScreen = {
    "┏━━━━━━━━━━━━━━━━━━━━━┓",
    "┃                                          ┃",
    "┃             윷놀이 게임!!!!              ┃",
    "┃                                          ┃",
    "┃                                          ┃",
    "┃         ┏━━━━━━━━━┓           ┃",
    "┃  ▶     ┃    게임 시작     ┃           ┃",
    "┃         ┗━━━━━━━━━┛           ┃",
    "┃                                          ┃",
    "┃         ┏━━━━━━━━━┓           ┃",
    "┃         ┃    게임 설명     ┃           ┃",
    "┃         ┗━━━━━━━━━┛           ┃",
    "┃                                          ┃",
    "┃         ┏━━━━━━━━━┓           ┃",
    "┃         ┃    랭     킹     ┃           ┃",
    "┃         ┗━━━━━━━━━┛           ┃",
    "┃                                          ┃",
    "┃         ┏━━━━━━━━━┓           ┃",
    "┃         ┃    게임 종료     ┃           ┃",
    "┃         ┗━━━━━━━━━┛           ┃",
    "┃                                          ┃",
    "┃                                          ┃",
    "┗━━━━━━━━━━━━━━━━━━━━━┛",
};

const std::array<std::string_view, 23> kModeScreen = {
    "┏━━━━━━━━━━━━━━━━━━━━━┓",
    "┃                                          ┃",
    "┃                                          ┃",
    "┃         원하는 모드를 선택해주세요       ┃",
    "┃                                          ┃",
    "┃         ┏━━━━━━━━━━━┓       ┃",
    "┃ ▶      ┃      2인용 모드      ┃       ┃",
    "┃         ┗━━━━━━━━━━━┛       ┃",
    "┃                                          ┃",
    "┃         ┏━━━━━━━━━━━┓       ┃",
    "┃         ┃   컴퓨터와 대련모드  ┃       ┃",
    "┃         ┗━━━━━━━━━━━┛       ┃",
    "┃                                          ┃",
    "┃         ┏━━━━━━━━━━━┓       ┃",
    "┃         ┃      목차로 이동     ┃       ┃",
    "┃         ┗━━━━━━━━━━━┛       ┃",
    "┃                                          ┃",
    "┃                                          ┃",
    "┃                                          ┃",
    "┃                                          ┃",
    "┃                                          ┃",
    "┃                                          ┃",
    "┗━━━━━━━━━━━━━━━━━━━━━┛",
};

void expect_screen(const Screen& screen, const std::array<std::string_view, 23>& golden) {
  for (int y = 0; y < static_cast<int>(golden.size()); ++y) {
    EXPECT_TRUE(text_at(screen, 0, y, golden[static_cast<size_t>(y)]));
    EXPECT_EQ(screen.text_at(46, y, screen.cols() - 46).find_first_not_of(' '), std::string::npos)
        << "right of the frame, row " << y;
  }
  for (int y = static_cast<int>(golden.size()); y < screen.rows(); ++y) {
    EXPECT_TRUE(row_is_blank(screen, y)) << "row " << y;
  }
}

TEST(MainMenu, DrawsTheTitleScreenOverWhateverWasThere) {
  ScriptedConsole s("");
  s.con.gotoxy(60, 30);
  s.con.print("leftover");
  EXPECT_THROW(main_menu(s.con), InputClosed);
  expect_screen(s.con.screen(), kTitleScreen);
  EXPECT_FALSE(s.con.screen().cursor_visible());
}

TEST(ModeMenu, DrawsThePromptAndThreeBoxesWithoutTitle) {
  ScriptedConsole s("");
  EXPECT_THROW(mode_menu(s.con), InputClosed);
  expect_screen(s.con.screen(), kModeScreen);
}

struct SelectionCase {
  std::string keys;
  int main_item;  // marked item of the main menu once the keys are used up
  int mode_item;  // the same for the mode menu
};

// Arrows are two codes (prefix, then 72 or 80): if the prefix moved the marker, every
// arrow would move it twice.
const std::vector<SelectionCase> kSelectionCases = {
    {"", 1, 1},
    {keys({kDown}), 2, 2},
    {keys({kDown, kDown}), 3, 3},
    {keys({kDown, kDown, kDown}), 4, 1},
    {keys({kDown, kDown, kDown, kDown}), 1, 2},
    {keys({kUp}), 4, 3},
    {keys({kUp, kUp}), 3, 2},
    {keys({kUp, kUp, kUp, kUp}), 1, 3},
    {keys({kUp, kDown}), 1, 1},
    {keys({kDown, kUp, kUp}), 4, 3},
    {"P", 2, 2},
    {"H", 4, 3},
    {"PPH", 2, 2},
    {"x9 q0\t", 1, 1},
    {keys({kDown, "7", "h", "p"}), 2, 2},
};

struct MenuUnderTest {
  const char* name;
  int (*run)(Console&);
  int marker_column;
  int items;
  int SelectionCase::*expected;
  std::string_view first_label;
};

const MenuUnderTest kMenus[] = {
    {"main", main_menu, kMainMarkerColumn, 4, &SelectionCase::main_item, "┃    게임 시작     ┃"},
    {"mode", mode_menu, kModeMarkerColumn, 3, &SelectionCase::mode_item,
     "┃      2인용 모드      ┃"},
};

TEST(Menus, MarkerMovesAndWrapsBothWays) {
  for (const MenuUnderTest& menu : kMenus) {
    for (const SelectionCase& c : kSelectionCases) {
      SCOPED_TRACE(menu.name + (" menu, keys " + ::testing::PrintToString(c.keys)));
      ScriptedConsole s(c.keys);
      EXPECT_THROW(menu.run(s.con), InputClosed);
      EXPECT_EQ(marked_item(s.con.screen(), menu.marker_column, menu.items), c.*menu.expected);
      // The boxes stay intact whatever the marker did.
      EXPECT_TRUE(text_at(s.con.screen(), 11, label_row(1), menu.first_label));
    }
  }
}

struct ChoiceCase {
  std::string keys;
  int main_choice;
  int mode_choice;
};

TEST(Menus, EnterReturnsTheMarkedItemAndErasesTheMarker) {
  const ChoiceCase cases[] = {
      {keys({kEnter}), 1, 1},
      {"\n", 1, 1},
      {keys({kDown, kEnter}), 2, 2},
      {keys({kUp, kEnter}), 4, 3},
      {keys({kDown, kDown, kEnter}), 3, 3},
      {keys({"P", "P", "P", kEnter}), 4, 1},
      {keys({kUp, kUp, kUp, kUp, kUp, kEnter}), 4, 2},
      {keys({"z", kEnter, kDown}), 1, 1},
  };
  for (const ChoiceCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.keys));
    ScriptedConsole main_run(c.keys);
    EXPECT_EQ(main_menu(main_run.con), c.main_choice);
    EXPECT_EQ(marked_item(main_run.con.screen(), kMainMarkerColumn, 4), 0);
    ScriptedConsole mode_run(c.keys);
    EXPECT_EQ(mode_menu(mode_run.con), c.mode_choice);
    EXPECT_EQ(marked_item(mode_run.con.screen(), kModeMarkerColumn, 3), 0);
  }
}

TEST(Menus, EveryShowingStartsOnItemOne) {
  ScriptedConsole s(keys({kDown, kDown, kEnter, kEnter, kUp, kEnter, kEnter}));
  EXPECT_EQ(main_menu(s.con), 3);
  EXPECT_EQ(main_menu(s.con), 1);
  EXPECT_EQ(mode_menu(s.con), 3);
  EXPECT_EQ(mode_menu(s.con), 1);
}

struct PlacedText {
  int x;
  int y;
  std::string_view text;
};

const PlacedText kRules[] = {
    {25, 1, "-상황판 설명-"},
    {2, 3, "1. 윷놀이 판의 가로,세로,대각선 줄은 7칸씩이다."},
    {2, 4, "2. 대기중인 말은 현재 윷놀이 판에 내보낼 수 있는 말이다."},
    {2, 5, "3. player1의 말은 a,b,c,d 총 4개이다. player2의 말은 e,f,g,h 총 4개 이다."},
    {2, 6, "4. 11번~14번의 숫자표시는 자신이 업은말의 갯수를 나타낸다."},
    {25, 10, "-게임 룰 설명-"},
    {2, 11, "1. 모는 5칸,윷은,4칸,걸은 3칸,개는 2칸,도는 1칸,빽도는 뒤로 1칸을 갈 수 있다."},
    {2, 12, "2. 모와 윷이 나오면 한번 더 할수 있다."},
    {2, 13, "3. 상대 player의 말을 잡았을 경우 250점을 얻고 한번 더 할수 있다."},
    {2, 14, "4. 말은 최대 4개까지 업을 수 있다."},
    {2, 19, "-아무키를 누르면 목차화면으로 돌아갑니다-"},
};

TEST(RulesScreen, EveryLineOnItsPositionAndNothingElse) {
  ScriptedConsole s("");
  s.con.clear_screen();
  show_rules(s.con);
  const Screen& screen = s.con.screen();
  std::array<bool, kScreenRows> used{};
  for (const PlacedText& line : kRules) {
    SCOPED_TRACE(line.y);
    used[static_cast<size_t>(line.y)] = true;
    EXPECT_TRUE(text_at(screen, line.x, line.y, line.text));
    const int end = line.x + testing::column_width(line.text);
    EXPECT_EQ(screen.text_at(0, line.y, line.x), std::string(static_cast<size_t>(line.x), ' '));
    EXPECT_EQ(screen.text_at(end, line.y, screen.cols() - end).find_first_not_of(' '),
              std::string::npos);
  }
  for (int y = 0; y < screen.rows(); ++y) {
    if (!used[static_cast<size_t>(y)]) {
      EXPECT_TRUE(row_is_blank(screen, y)) << "row " << y;
    }
  }
  // The longest line fills the row up to column 78 and does not wrap.
  EXPECT_EQ(screen.at(78, 11).ch, U'.');
  // Every line ends in a line break: the cursor is left at the start of row 20.
  EXPECT_EQ(screen.cursor_x(), 0);
  EXPECT_EQ(screen.cursor_y(), 20);
  EXPECT_FALSE(screen.cursor_visible());
}

TEST(RulesScreen, NeitherClearsNorWaits) {
  ScriptedConsole s("");
  s.con.gotoxy(60, 30);
  s.con.print("kept");
  show_rules(s.con);  // would throw InputClosed if it read a key
  EXPECT_TRUE(text_at(s.con.screen(), 60, 30, "kept"));
}

}  // namespace
}  // namespace yut
