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

constexpr int kMainMarkerColumn = 4;
constexpr int kModeMarkerColumn = 3;

const MenuLayout kMainMenu{kMainLabels, "┏━━━━━━━━━┓", "┗━━━━━━━━━┛", kMainMarkerColumn, true};
// The mode menu always follows the main menu, which has hidden the cursor already.
const MenuLayout kModeMenu{kModeLabels, "┏━━━━━━━━━━━┓", "┗━━━━━━━━━━━┛", kModeMarkerColumn, false};

constexpr int kTitleColumn = 4;
constexpr int kTitleRow = 2;
constexpr std::string_view kTitle = "           윷놀이 게임!!!!           ";

constexpr int kPromptColumn = 10;
constexpr int kPromptRow = 3;
constexpr std::string_view kModePrompt = " 원하는 모드를 선택해주세요";

}  // namespace

int main_menu(Console& con) {
  draw_menu_frame(con);
  con.gotoxy(kTitleColumn, kTitleRow);
  con.print(kTitle);
  draw_menu_boxes(con, kMainMenu);
  return select_menu_item(con, kMainMenu);
}

int mode_menu(Console& con) {
  draw_menu_frame(con);
  con.gotoxy(kPromptColumn, kPromptRow);
  con.print(kModePrompt);
  draw_menu_boxes(con, kModeMenu);
  return select_menu_item(con, kModeMenu);
}

}  // namespace yut
