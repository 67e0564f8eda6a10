#include "display/turn_messages.h"

namespace yut {

namespace {

constexpr int kTextColumn = 45;
constexpr int kHeaderRow = 11;
constexpr int kThrowRow = 13;
constexpr int kExtraThrowRow = 14;
constexpr int kLabelsRow = 15;  // one row lower after yut and mo

constexpr const char* kThrowAgain = "윷을 다시 던집니다.";
constexpr const char* kChooseAgain = "움직일 말을 다시 선택해 주세요.";

const char* refusal_text(Refusal why) {
  switch (why) {
    case Refusal::kWrongPiece:
      return "잘못된 말을 선택하셨습니다.";
    case Refusal::kArrived:
      return "이미 도착한 말을 선택하셨습니다.";
    case Refusal::kCarried:
      return "업혀있는 말을 선택하셨습니다.";
    case Refusal::kBackDoOnTheBoard:
      return "나와 있는 말을 움직이세요.";
    case Refusal::kNone:
      break;
  }
  return "";
}

}  // namespace

void show_message(Console& con, std::string_view first, std::string_view second) {
  con.gotoxy(kMessageColumn, kMessageFirstRow);
  con.print(first);
  con.gotoxy(kMessageColumn, kMessageFirstRow + 1);
  con.print(second);
}

void show_turn_texts(Console& con, const PlayerDescriptor& player, int side,
                     const ThrowInfo& info) {
  con.gotoxy(kTextColumn, kHeaderRow);
  con.printf("player%d의 차례입니다.", side + 1);
  con.gotoxy(kTextColumn, kThrowRow);
  con.print(info.text);
  int row = kLabelsRow;
  if (info.extra_throw) {
    con.gotoxy(kTextColumn, kExtraThrowRow);
    con.print("윷을 한번 더 던질 수 있습니다.");
    ++row;
  }
  const auto& p = player.piece_labels;
  const auto& s = player.stack_labels;
  con.gotoxy(kTextColumn, row);
  con.printf("1.%s, 2.%s, 3.%s, 4.%s", p[0].c_str(), p[1].c_str(), p[2].c_str(), p[3].c_str());
  con.gotoxy(kTextColumn, row + 1);
  con.printf("11.%s, 12.%s, 13.%s, 14.%s", s[0].c_str(), s[1].c_str(), s[2].c_str(), s[3].c_str());
  con.gotoxy(kTextColumn, row + 2);
  con.print("움직일 말을 선택해 주세요 : ");
}

void show_refusal_message(Console& con, Refusal why, RuleSet rules) {
  show_message(con, refusal_text(why), rules == RuleSet::kFair ? kChooseAgain : kThrowAgain);
}

void show_capture_message(Console& con) {
  show_message(con, "상대 말을 잡았습니다.", "윷을 한 번더 던질 수 있습니다.");
}

void show_start_banner(Console& con) {
  con.gotoxy(45, 14);
  con.print("      게임을 시작합니다.");
  con.gotoxy(45, 15);
  con.print("     아무키나 눌러주세요.");
}

}  // namespace yut
