"""The rules screen and the mode menu, reached from the main menu of the real program."""

import unittest

from test_title_screen import MAIN_MARKER_COLUMN, MARKER, after_marker, label_row, title_screen
from tmux_screen import ScreenTestCase

RULES = [
    (25, 1, "-상황판 설명-"),
    (2, 3, "1. 윷놀이 판의 가로,세로,대각선 줄은 7칸씩이다."),
    (2, 4, "2. 대기중인 말은 현재 윷놀이 판에 내보낼 수 있는 말이다."),
    (2, 5, "3. player1의 말은 a,b,c,d 총 4개이다. player2의 말은 e,f,g,h 총 4개 이다."),
    (2, 6, "4. 11번~14번의 숫자표시는 자신이 업은말의 갯수를 나타낸다."),
    (25, 10, "-게임 룰 설명-"),
    (2, 11, "1. 모는 5칸,윷은,4칸,걸은 3칸,개는 2칸,도는 1칸,빽도는 뒤로 1칸을 갈 수 있다."),
    (2, 12, "2. 모와 윷이 나오면 한번 더 할수 있다."),
    (2, 13, "3. 상대 player의 말을 잡았을 경우 250점을 얻고 한번 더 할수 있다."),
    (2, 14, "4. 말은 최대 4개까지 업을 수 있다."),
    (2, 19, "-아무키를 누르면 목차화면으로 돌아갑니다-"),
]
MODE_PROMPT = " 원하는 모드를 선택해주세요"
MODE_LABELS = ["┃      2인용 모드      ┃", "┃   컴퓨터와 대련모드  ┃", "┃      목차로 이동     ┃"]
MODE_BOX_TOP = "┏" + "━" * 11 + "┓"
MODE_BOX_BOTTOM = "┗" + "━" * 11 + "┛"
MODE_MARKER_COLUMN = 3
# The rules screen reads its key at the start of the row below its last line.
RULES_INPUT = (0, 20)


class MenusTest(ScreenTestCase):
    def setUp(self):
        super().setUp()
        self.screen.start_game()
        self.screen.wait_for_texts(title_screen(), cursor=after_marker(1))

    def open_rules(self):
        self.screen.keys("Down", "Enter")
        self.screen.wait_for_texts(RULES, cursor=RULES_INPUT)

    def test_rules_screen_texts_on_their_positions(self):
        self.open_rules()
        for x, y, text in RULES:
            with self.subTest(row=y):
                self.assertTextAt(x, y, text)
                self.assertEqual(self.screen.row(y)[:x], [" "] * x, "nothing left of the text")
        # No frame and nothing else on the screen.
        text_rows = {y for _, y, _ in RULES}
        for y in range(34):
            if y not in text_rows:
                self.assertEqual(self.screen.lines()[y].strip(), "", "row %d" % y)

    def test_any_key_goes_back_to_the_main_menu_with_item_one(self):
        self.open_rules()
        self.screen.text("z")
        self.screen.wait_for_texts(title_screen(1), cursor=after_marker(1))

    def test_arrow_leaving_the_rules_moves_the_next_marker_at_once(self):
        # The wait takes the arrow's first code; the main menu gets the second.
        self.open_rules()
        self.screen.keys("Up")
        self.screen.wait_for_texts(title_screen(4), cursor=after_marker(4))
        self.assertTextAt(MAIN_MARKER_COLUMN, label_row(1), "  ")

    def test_mode_menu_layout_wrap_and_back(self):
        self.screen.keys("Enter")
        mode_screen = [(0, 0, "┏" + "━" * 21 + "┓"), (0, 22, "┗" + "━" * 21 + "┛"),
                       (10, 3, MODE_PROMPT), (MODE_MARKER_COLUMN, label_row(1), MARKER)]
        for item, label in enumerate(MODE_LABELS, start=1):
            mode_screen += [(11, label_row(item) - 1, MODE_BOX_TOP), (11, label_row(item), label),
                            (11, label_row(item) + 1, MODE_BOX_BOTTOM)]
        self.screen.wait_for_texts(mode_screen, cursor=after_marker(1, MODE_MARKER_COLUMN))
        self.assertEqual(self.screen.text_at(2, 2, 42).strip(), "", "no title on this screen")
        for key, item in [("Up", 3), ("Down", 1), ("Down", 2), ("Down", 3)]:
            self.screen.keys(key)
            self.screen.wait_for_input_after(MODE_MARKER_COLUMN, label_row(item), MARKER)
        # "목차로 이동" goes back to the main menu with item 1 selected.
        self.screen.keys("Enter")
        self.screen.wait_for_texts(title_screen(1), cursor=after_marker(1))


if __name__ == "__main__":
    unittest.main()
