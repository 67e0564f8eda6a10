"""The title screen and main menu of the real program, read from tmux."""

import unittest

from tmux_screen import ScreenTestCase, width

FRAME_TOP = "┏" + "━" * 21 + "┓"
FRAME_SIDE = "┃" + " " * 42 + "┃"
FRAME_BOTTOM = "┗" + "━" * 21 + "┛"
TITLE = "           윷놀이 게임!!!!           "
MAIN_LABELS = ["┃    게임 시작     ┃", "┃    게임 설명     ┃",
               "┃    랭     킹     ┃", "┃    게임 종료     ┃"]
BOX_TOP = "┏" + "━" * 9 + "┓"
BOX_BOTTOM = "┗" + "━" * 9 + "┛"
MARKER = "▶"
MAIN_MARKER_COLUMN = 4


def label_row(item):
    return 4 * item + 2


def after_marker(item, column=MAIN_MARKER_COLUMN):
    """Where a menu reads its key: right after the marker on the selected item's row."""
    return column + width(MARKER), label_row(item)


def title_screen(marked_item=1):
    """Everything on the title screen, with the marker on the given item."""
    placed = [(0, 0, FRAME_TOP), (0, 22, FRAME_BOTTOM), (4, 2, TITLE),
              (MAIN_MARKER_COLUMN, label_row(marked_item), MARKER)]
    for item, label in enumerate(MAIN_LABELS, start=1):
        placed += [(11, label_row(item) - 1, BOX_TOP), (11, label_row(item), label),
                   (11, label_row(item) + 1, BOX_BOTTOM)]
    return placed


class TitleScreenTest(ScreenTestCase):
    def setUp(self):
        super().setUp()
        self.screen.start_game()
        self.screen.wait_for_texts(title_screen(), cursor=after_marker(1))

    def test_frame_title_and_boxes_stand_on_their_columns(self):
        self.assertTextAt(0, 0, FRAME_TOP)
        for row in range(1, 22):
            with self.subTest(row=row):
                self.assertTextAt(0, row, "┃")
                self.assertTextAt(44, row, "┃")
        self.assertTextAt(0, 22, FRAME_BOTTOM)
        self.assertTextAt(4, 2, TITLE)
        for item, label in enumerate(MAIN_LABELS, start=1):
            with self.subTest(item=item):
                self.assertTextAt(11, label_row(item) - 1, BOX_TOP)
                self.assertTextAt(11, label_row(item), label)
                self.assertTextAt(11, label_row(item) + 1, BOX_BOTTOM)
        # Below the frame nothing is drawn.
        self.assertEqual(self.screen.lines()[23].strip(), "")

    def test_marker_moves_and_wraps_both_ways(self):
        # (key, selected item after it)
        steps = [("Down", 2), ("Down", 3), ("Down", 4), ("Down", 1),
                 ("Up", 4), ("Up", 3), ("Up", 2), ("Up", 1)]
        for key, item in steps:
            with self.subTest(key=key, item=item):
                self.screen.keys(key)
                self.screen.wait_for_input_after(MAIN_MARKER_COLUMN, label_row(item), MARKER)
                for other in range(1, 5):
                    if other != item:
                        self.assertTextAt(MAIN_MARKER_COLUMN, label_row(other), "  ")

    def test_capital_h_and_p_move_like_the_arrows(self):
        self.screen.text("P")
        self.screen.wait_for_input_after(MAIN_MARKER_COLUMN, label_row(2), MARKER)
        self.screen.text("H")
        self.screen.wait_for_input_after(MAIN_MARKER_COLUMN, label_row(1), MARKER)
        self.screen.text("H")
        self.screen.wait_for_input_after(MAIN_MARKER_COLUMN, label_row(4), MARKER)

    def test_other_keys_leave_the_marker_in_place(self):
        self.screen.text("x7 q")
        self.screen.keys("Down")
        # Only the arrow moved it: one step down.
        self.screen.wait_for_input_after(MAIN_MARKER_COLUMN, label_row(2), MARKER)
        self.assertTextAt(MAIN_MARKER_COLUMN, label_row(1), "  ")


if __name__ == "__main__":
    unittest.main()
