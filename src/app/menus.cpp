#include "app/menus.h"

#include <array>

#include "app/menu_frame.h"

namespace yut {

namespace {

constexpr std::array<std::string_view, 4> kMainLabels = {
    "┃    게임 시작     ┃",
    "┃    게임 설명     ┃",
    "┃    랭     킹     ┃",
    "┃    게임 종료     ┃",
};

constexpr std::array<std::string_view, 3> kModeLabels = {
    "┃      2인용 모드      ┃",
    "┃   컴퓨터와 대련모드  ┃",
    "┃      목차로 이동     ┃",
};

const MenuLayout kMainMenu{
    .header_x = 4,
    .header_y = 2,
    .header = "           윷놀이 게임!!!!           ",
    .labels = kMainLabels,
    .box_top = "┏━━━━━━━━━┓",
    .box_bottom = "┗━━━━━━━━━┛",
    .marker_column = 4,
    .hides_cursor = true,
};

// The mode menu always follows the main menu, which has hidden the cursor already.
const MenuLayout kModeMenu{
    .header_x = 10,
    .header_y = 3,
    .header = " 원하는 모드를 선택해주세요",
    .labels = kModeLabels,
    .box_top = "┏━━━━━━━━━━━┓",
    .box_bottom = "┗━━━━━━━━━━━┛",
    .marker_column = 3,
    .hides_cursor = false,
};

}  // namespace

int main_menu(Console& con) {
  return run_menu(con, kMainMenu);
}

int mode_menu(Console& con) {
  return run_menu(con, kModeMenu);
}

}  // namespace yut
