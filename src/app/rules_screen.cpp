#include <array>

#include "app/menus.h"

namespace yut {

namespace {

struct PlacedText {
  int x;
  int y;
  std::string_view text;
};

// The status panel first, then the rules of the game, then how to go back.
constexpr std::array<PlacedText, 11> kRulesScreen = {{
    {25, 1, "-상황판 설명-\n"},
    {2, 3, "1. 윷놀이 판의 가로,세로,대각선 줄은 7칸씩이다.\n"},
    {2, 4, "2. 대기중인 말은 현재 윷놀이 판에 내보낼 수 있는 말이다.\n"},
    {2, 5, "3. player1의 말은 a,b,c,d 총 4개이다. player2의 말은 e,f,g,h 총 4개 이다.\n"},
    {2, 6, "4. 11번~14번의 숫자표시는 자신이 업은말의 갯수를 나타낸다.\n"},
    {25, 10, "-게임 룰 설명-\n"},
    {2, 11, "1. 모는 5칸,윷은,4칸,걸은 3칸,개는 2칸,도는 1칸,빽도는 뒤로 1칸을 갈 수 있다.\n"},
    {2, 12, "2. 모와 윷이 나오면 한번 더 할수 있다.\n"},
    {2, 13, "3. 상대 player의 말을 잡았을 경우 250점을 얻고 한번 더 할수 있다.\n"},
    {2, 14, "4. 말은 최대 4개까지 업을 수 있다.\n"},
    {2, 19, "-아무키를 누르면 목차화면으로 돌아갑니다-\n"},
}};

}  // namespace

void show_rules(Console& con) {
  for (const PlacedText& line : kRulesScreen) {
    con.gotoxy(line.x, line.y);
    con.print(line.text);
  }
  con.hide_cursor();
}

}  // namespace yut
